// SPDX-License-Identifier: Apache-2.0
// The Win32 errors the port component meets, as the reasons the layers above tell apart, and
// the USB ids read from a device's hardware id.
#include "TComPort.h"
#include "untComErrors.h"
#include "untHardwareId.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <windows.h>

TEST(ComErrors, Win32ErrorsAsTheLinksReasons) {
    const struct {
        unsigned long Win32;
        int Link;
    } cases[] = {
        // A port held by another program: Windows' drivers say 5, Wine says 32.
        {ERROR_ACCESS_DENIED, EBUSY},
        {ERROR_SHARING_VIOLATION, EBUSY},
        // No such port.
        {ERROR_FILE_NOT_FOUND, ENOENT},
        {ERROR_PATH_NOT_FOUND, ENOENT},
        // A USB adapter pulled out: the handle's calls fail with these.
        {ERROR_BAD_COMMAND, ENODEV},
        {ERROR_DEVICE_REMOVED, ENODEV},
        {ERROR_INVALID_HANDLE, ENODEV},
        {ERROR_NOT_READY, ENODEV},
        // Anything else on a read or write means the line is gone, as EIO on Linux; the far
        // end of a pseudo-terminal closing is 109 under Wine.
        {ERROR_BROKEN_PIPE, EIO},
        {ERROR_OPERATION_ABORTED, EIO},
        {ERROR_GEN_FAILURE, EIO},
        {ERROR_INVALID_PARAMETER, EINVAL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkErrorOf(c.Win32), c.Link) << c.Win32;
}

TEST(ComErrors, RaisedErrorCarriesTheSystemsTextAndCode) {
    try {
        RaiseWin32Error(ERROR_ACCESS_DENIED);
        FAIL() << "nothing raised";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode, EBUSY);
        const std::string text = e.what();
        EXPECT_NE(text.find("(error 5)"), std::string::npos) << text;
        // The system's own words come first, without the line break it ends them with.
        EXPECT_GT(text.find("(error 5)"), 1u) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    }
}

TEST(ComErrors, OpeningAMissingPortSaysSo) {
    TComPort port;
    port.SetDeviceName("COM199");
    try {
        port.Open();
        FAIL() << "COM199 opened";
    } catch (const EComError& e) {
        EXPECT_EQ(e.ErrorCode, ENOENT) << e.what();
    }
    EXPECT_FALSE(port.Active());
}

TEST(HardwareId, UsbVendorAndProduct) {
    const struct {
        const wchar_t* Id;
        const char* UsbId;
    } cases[] = {
        {L"USB\\VID_0403&PID_6001&REV_0600", "0403:6001"},
        {L"FTDIBUS\\VID_0403+PID_6015+DN01ABCD\\0000", "0403:6015"},
        {L"usb\\vid_067b&pid_2303", "067b:2303"},
        {L"USB\\VID_1A86&PID_7523", "1a86:7523"},
        {L"ACPI\\PNP0501", ""},
        {L"USB\\VID_04&PID_6001", ""},
        {L"USB\\VID_0403", ""},
        {L"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsbIdOfHardwareId(c.Id), c.UsbId);
}
