#pragma once

// Serial port component: settings objects, the port class and its event thread.
// (Declarations of the enums and the error type are fixed; the class body is the link's.)

#include "ByteString.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

enum class TBaudRate {
    brDefault, br50, br75, br110, br134_5, br150, br300, br600, br1200, br1800, br2000, br2400,
    br3600, br4800, br7200, br9600, br10400, br14400, br15625, br19200, br28800, br38400,
    br56000, br57600, br115200, br128000, br256000, brCustom
};
enum class TDataBits { dbDefault, db4, db5, db6, db7, db8, db9, db16, db16x };
enum class TParity { paDefault, paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits { sbDefault, sb1, sb1_5, sb2 };
enum class TDTRControl { dcDefault, dcDisable, dcEnable, dcHandshake };
enum class TRTSControl { rcDefault, rcDisable, rcEnable, rcHandshake, rcToggle };
enum class TXOnXOffControl { xcDefault, xcDisable, xcInput, xcOutput, xcInputOutput };

class EComError : public std::runtime_error {
public:
    EComError(const std::string& message, int errorCode)
        : std::runtime_error(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

class TCustomComPort; // defined by the link (TComPort.cpp and friends)
class TComPort;
