// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ByteString.h"

#include <stdexcept>
#include <string>
#include <string_view>

class EAESError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// AES-128-CBC without padding: a short last block is filled with zero bytes. The key is cut
// or zero-filled to 16 bytes; the vector is 16 bytes. The result is upper-case hex.
std::string EncryptToHex(const ByteString& plain, const ByteString& key, const ByteString& vector);

// Reads hex of either case (EHexError on a non-hex character); a byte count that is not a
// multiple of 16 raises EAESError "Invalid Buffer Size for Decryption".
ByteString DecryptFromHex(std::string_view cipherHex, const ByteString& key,
                          const ByteString& vector);

// Frees what the cipher library keeps for the calling thread. A thread that used the cipher
// calls it as it finishes: the library would free that state only after the thread is gone,
// which a program that ends at once (a command line) can beat, leaving it to a leak check.
void ReleaseCipherThreadState();
