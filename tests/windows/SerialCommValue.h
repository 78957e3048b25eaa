// SPDX-License-Identifier: Apache-2.0
#pragma once

// A COM port made known to the system as a driver does: a value under
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, taken away again when this ends (or by Remove).

#include <string>

#include <windows.h>

class TSerialCommValue {
public:
    // `device` names the value (\Device\...), `port` is its data (COMn). False from Added() when
    // the system refused.
    TSerialCommValue(std::wstring device, const std::wstring& port) : device_(std::move(device)) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        const auto bytes = static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t));
        added_ =
            RegSetValueExW(key, device_.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(port.c_str()), bytes) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~TSerialCommValue() { Remove(); }
    TSerialCommValue(const TSerialCommValue&) = delete;
    TSerialCommValue& operator=(const TSerialCommValue&) = delete;

    bool Added() const { return added_; }
    void Remove() {
        if (added_)
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM",
                               device_.c_str());
        added_ = false;
    }

private:
    std::wstring device_;
    bool added_ = false;
};
