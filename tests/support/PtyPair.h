// SPDX-License-Identifier: Apache-2.0
#pragma once

// A pseudo-terminal standing in for a serial cable: the code under test opens the slave by
// its port name ("pts/N"), the test plays the display on the master.

#include "ByteString.h"

#include <chrono>
#include <string>
#include <termios.h>

class PtyPair {
public:
    PtyPair(); // slave made raw; the test keeps its own slave fd open (see SlaveFd)
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // "pts/N": what OpenComm takes.
    const std::string& PortName() const { return portName_; }
    std::string SlavePath() const { return "/dev/" + portName_; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }

    // Reads from the master until `count` bytes came or the time-out passed.
    ByteString Read(std::size_t count, std::chrono::milliseconds timeout);
    // Reads whatever arrives until nothing more came for `quiet`.
    ByteString ReadUntilQuiet(std::chrono::milliseconds quiet,
                              std::chrono::milliseconds limit = std::chrono::seconds(5));
    void Write(const ByteString& bytes);

    // The slave's line settings as the code under test left them.
    termios SlaveTermios() const;
    // The slave's input and output speed in bit/s, exact (also for non-standard rates).
    unsigned SlaveSpeed() const;

    // Closes the master (the display "vanishes").
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string portName_;
};
