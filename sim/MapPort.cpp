// torvik-map-port INI COMn DEVICE: maps a COM port name to a device path in
// section "Ports" of a settings file, leaving every other byte of it alone.
// The file's folder is made when missing, as the program makes the folder of
// its own settings file (~/.config/torvik-setup at its first save).
#include "core/config/ProfileFile.h"
#include "core/serial/PortNames.h"

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::cerr << "usage: torvik-map-port INI COMn DEVICE\n";
        return 2;
    }
    // A COM name in any case; the key is written in upper case.
    const std::optional<int> number = ComNumber(argv[2]);
    const std::string_view device = argv[3];
    if (!number) {
        std::cerr << "torvik-map-port: not a port name from COM1 to COM" << PortNames::kHighestComNumber << ": "
                  << argv[2] << '\n';
        return 2;
    }
    if (device.empty() || device.find_first_of("\r\n") != std::string_view::npos) {
        std::cerr << "torvik-map-port: not a device path: " << device << '\n';
        return 2;
    }
    ProfileFile file(QString::fromLocal8Bit(argv[1]));
    file.writeString("Ports", "COM" + std::to_string(*number), device);
    if (const FileResult saved = file.save(MissingFolder::Make); !saved.ok()) {
        std::cerr << "torvik-map-port: cannot write " << argv[1] << ": " << saved.reason.toLocal8Bit().constData()
                  << '\n';
        return 1;
    }
    return 0;
}
