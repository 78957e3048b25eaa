// SPDX-License-Identifier: Apache-2.0
#include "untComErrors.h"

#include "TComPort.h"
#include "untWideText.h"

#include <cerrno>

#include <windows.h>

namespace {

struct TErrorRow {
    unsigned long Win32;
    int Link;
};

// A port held by another program is ERROR_ACCESS_DENIED on Windows (serial drivers open
// exclusively) and ERROR_SHARING_VIOLATION under Wine. A USB adapter pulled out leaves its
// handle answering with the "device gone" family below.
constexpr TErrorRow ErrorTable[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},       {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},         {ERROR_ACCESS_DENIED, EBUSY},
    {ERROR_SHARING_VIOLATION, EBUSY},     {ERROR_BUSY, EBUSY},
    {ERROR_PRIVILEGE_NOT_HELD, EACCES},   {ERROR_NOT_READY, ENODEV},
    {ERROR_BAD_COMMAND, ENODEV},          {ERROR_INVALID_HANDLE, ENODEV},
    {ERROR_DEVICE_NOT_CONNECTED, ENODEV}, {ERROR_DEVICE_REMOVED, ENODEV},
    {ERROR_INVALID_PARAMETER, EINVAL},    {ERROR_NOT_SUPPORTED, EINVAL},
};

} // namespace

int LinkErrorOf(unsigned long win32Error) {
    for (const TErrorRow& row : ErrorTable)
        if (row.Win32 == win32Error)
            return row.Link;
    return EIO;
}

void RaiseWin32Error(unsigned long win32Error) {
    throw EComError(SystemErrorText(win32Error), LinkErrorOf(win32Error));
}
