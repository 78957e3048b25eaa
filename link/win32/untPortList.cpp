// SPDX-License-Identifier: Apache-2.0
// The ports Windows lists: the values under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, each a COM name.
#include "untPortList.h"
#include "untComm.h"
#include "untWideText.h"

#include <windows.h>

std::string PortDevicePath(const std::string& portName) {
    // "\\.\COM10": the device namespace, without which COM10 and up do not open.
    if (portName.rfind("\\\\", 0) == 0)
        return portName;
    return "\\\\.\\" + portName;
}

bool ListComPorts(std::vector<std::string>& target) {
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                                         KEY_QUERY_VALUE, &key);
    // The key exists only while some serial port does.
    if (opened == ERROR_FILE_NOT_FOUND) {
        target.clear();
        return true;
    }
    if (opened != ERROR_SUCCESS)
        return false;
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr,
                                             &type, reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;
        // The data need not end in a zero.
        std::wstring name(data, dataBytes / sizeof(wchar_t));
        while (!name.empty() && name.back() == L'\0')
            name.pop_back();
        if (!name.empty())
            names.push_back(Utf8FromWide(name));
    }
    RegCloseKey(key);
    SortPortNames(names);
    target = std::move(names);
    return true;
}
