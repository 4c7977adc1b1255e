// Arbitrary bytes as a settings or layout file, parsed in memory. Besides
// crashes and undefined behaviour this checks what a user relies on:
// - reading never changes a byte: the document re-serialises to the input;
// - writing a layout key keeps the "Setup" section as it was;
// - the layout numbers written read back as written (negative numbers as 0).
// Per input it reads and writes one layout key, as the layout file does for
// each of its keys, so that the target runs tens of thousands of inputs a
// second.

#include "core/config/LayoutFile.h"
#include "core/config/ProfileFile.h"
#include "core/config/Tokens.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

std::array<int32_t, 4> readPort(const ProfileFile& file)
{
    std::array<int32_t, 4> numbers{};
    TokenScanner().ReadNumbers(file.readString("Layout", "Port1", ""), numbers);
    return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ProfileFile file(QString(), input);
    if (!file.readResult().ok())
        return 0;
    check(file.text() == input);
    const SetupSettings settings = ReadSetup(file);

    const std::array<int32_t, 4> port = readPort(file);
    std::string written;
    for (const int32_t number : port)
        written += (written.empty() ? "" : " ") + std::to_string(number);
    file.writeString("Layout", "Port1", written);

    // Read again from the bytes that would be saved.
    const ProfileFile saved(QString(), file.text());
    check(ReadSetup(saved) == settings);
    const std::array<int32_t, 4> reread = readPort(saved);
    for (std::size_t i = 0; i < port.size(); ++i)
        check(reread[i] == (port[i] < 0 ? 0 : port[i]));
    return 0;
}
