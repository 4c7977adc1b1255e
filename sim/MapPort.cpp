// torvik-map-port INI COMn DEVICE: maps a COM port name to a device path in
// section "Ports" of a settings file, leaving every other byte of it alone.
#include "setup/ProfileFile.h"

#include <charconv>
#include <iostream>
#include <string>
#include <string_view>

namespace {

// "COM1" to "COM20", any case, as the upper-case key; empty for anything else.
std::string portKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (!key.starts_with("COM") || key.size() < 4 || key[3] == '0')
        return {};
    int number = 0;
    const char* end = key.data() + key.size();
    const auto [stop, error] = std::from_chars(key.data() + 3, end, number);
    if (error != std::errc{} || stop != end || number < 1 || number > 20)
        return {};
    return key;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << "usage: torvik-map-port INI COMn DEVICE\n";
        return 2;
    }
    const std::string key = portKey(argv[2]);
    const std::string_view device = argv[3];
    if (key.empty()) {
        std::cerr << "torvik-map-port: not a port name from COM1 to COM20: " << argv[2] << '\n';
        return 2;
    }
    if (device.empty() || device.find_first_of("\r\n") != std::string_view::npos) {
        std::cerr << "torvik-map-port: not a device path: " << device << '\n';
        return 2;
    }
    ProfileFile file(QString::fromLocal8Bit(argv[1]));
    file.writeString("Ports", key, device);
    if (!file.save()) {
        std::cerr << "torvik-map-port: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
