#include "core/serial/PortDiscovery.h"

#include "core/serial/PortNames.h"

#include <QString>

#include <map>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// GUID_DEVCLASS_PORTS is defined here, not only declared.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

namespace {

// What the device manager shows of a port: friendly name, maker, first hardware id.
struct PortDetails {
    std::string friendlyName;
    std::string manufacturer;
    std::string hardwareId;
};

std::string utf8(const wchar_t* text)
{
    return QString::fromWCharArray(text).toStdString();
}

// The COM names of the serial devices present, as the system lists them for
// programs: the values of HARDWARE\DEVICEMAP\SERIALCOMM ("\Device\Serial0" =
// "COM1"), which it keeps as devices come and go.
std::vector<std::string> presentComNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[16384];  // the registry's longest value name, and its end
        DWORD valueNameSize = std::size(valueName);
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof data[0];  // room for the end the registry may leave out
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, valueName, &valueNameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        // A value whose data is too long is no COM name: the next one
        // follows. Any other error ends the list, as its end does (an
        // error that every index would repeat must not loop for ever).
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            break;
        if (type == REG_SZ)
            names.push_back(utf8(data));
    }
    RegCloseKey(key);
    return names;
}

std::string registryProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    wchar_t text[512] = {};
    DWORD type = 0;
    // One character short of the buffer, so that a text the driver left
    // unterminated still ends; a multi-string gives its first string.
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type, reinterpret_cast<BYTE*>(text),
                                           sizeof text - sizeof text[0], nullptr) ||
        (type != REG_SZ && type != REG_MULTI_SZ))
        return {};
    return utf8(text);
}

// The COM name a port device has been given (its device key's "PortName").
std::string portName(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof name[0];
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                          ERROR_SUCCESS &&
                      type == REG_SZ;
    RegCloseKey(key);
    return read ? utf8(name) : std::string();
}

// The present devices of the class "Ports (COM & LPT)", by COM name.
std::map<std::string, PortDetails> portDetails()
{
    std::map<std::string, PortDetails> details;
    const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return details;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const std::string name = portName(set, device);
        if (ComNumber(name))
            details[name] = {registryProperty(set, device, SPDRP_FRIENDLYNAME), registryProperty(set, device, SPDRP_MFG),
                             registryProperty(set, device, SPDRP_HARDWAREID)};
    }
    SetupDiDestroyDeviceInfoList(set);
    return details;
}

}  // namespace

std::vector<SerialDevice> SystemPortDiscovery::presentDevices() const
{
    const std::map<std::string, PortDetails> details = portDetails();
    std::vector<SerialDevice> devices;
    for (const std::string& name : presentComNames()) {
        if (!ComNumber(name))
            continue;
        const auto found = details.find(name);
        const PortDetails known = found == details.end() ? PortDetails{} : found->second;
        devices.push_back(WindowsComPort(name, known.friendlyName, known.manufacturer, known.hardwareId));
    }
    return devices;
}
