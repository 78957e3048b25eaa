// SPDX-License-Identifier: Apache-2.0
// What SetupAPI tells about a COM port: the device in the Ports class whose PortName is the
// port, its friendly name, manufacturer and USB ids.
#include "untPortDetails.h"
#include "untHardwareId.h"
#include "untPortList.h"
#include "untWideText.h"

#include <cwctype>

#include <windows.h>
// GUID_DEVCLASS_PORTS is defined where initguid.h comes first.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

namespace {

std::wstring RegistryProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type,
                                           reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr))
        return {};
    // A multi-string (the hardware ids) is read up to its first member.
    return buffer;
}

std::wstring PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD bytes = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS status =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(name) : std::wstring();
}

// Four hex digits after `tag`, lower case; empty when there are none.
std::string HexAfter(std::wstring_view id, std::wstring_view tag) {
    const std::size_t at = id.find(tag);
    if (at == std::wstring_view::npos || id.size() < at + tag.size() + 4)
        return {};
    std::string digits;
    for (const wchar_t c : id.substr(at + tag.size(), 4)) {
        if (!std::iswxdigit(c))
            return {};
        digits += static_cast<char>(std::towlower(c));
    }
    return digits;
}

} // namespace

std::string UsbIdOfHardwareId(std::wstring_view hardwareId) {
    std::wstring upper(hardwareId);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    const std::string vendor = HexAfter(upper, L"VID_");
    const std::string product = HexAfter(upper, L"PID_");
    if (vendor.empty() || product.empty())
        return {};
    return vendor + ":" + product;
}

TPortDetails PortDetailsOf(const std::string& name) {
    TPortDetails details;
    details.Name = name;
    details.DevicePath = PortDevicePath(name);
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return details;
    const std::wstring wanted = WideFromUtf8(name);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        if (_wcsicmp(PortNameOf(set, device).c_str(), wanted.c_str()) != 0)
            continue;
        details.Product = Utf8FromWide(RegistryProperty(set, device, SPDRP_FRIENDLYNAME));
        details.Manufacturer = Utf8FromWide(RegistryProperty(set, device, SPDRP_MFG));
        details.UsbId = UsbIdOfHardwareId(RegistryProperty(set, device, SPDRP_HARDWAREID));
        break;
    }
    SetupDiDestroyDeviceInfoList(set);
    return details;
}
