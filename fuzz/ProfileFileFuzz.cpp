// Arbitrary bytes as a settings or layout file. Besides crashes and undefined
// behaviour this checks what a user relies on:
// - reading never changes a byte: the document re-serialises to the input;
// - writing the layout back keeps every other section as it was;
// - the layout written reads back as written (negative numbers as 0).

#include "setup/LayoutFile.h"
#include "setup/ProfileFile.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const QString& scratchPath()
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("torvik-fuzz-%1.ini").arg(static_cast<qint64>(getpid())));
    return path;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

int32_t asRead(int32_t written)
{
    return written < 0 ? 0 : written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString& path = scratchPath();
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) == static_cast<qint64>(size));
    }

    const std::string input(reinterpret_cast<const char*>(data), size);
    check(ProfileFile(path).text() == input);

    const SetupSettings settings = ReadSetupSection(path);
    KVM_LAYOUT layout;
    check(ReadLayoutFile(path, layout) == 0);

    check(WriteLayoutFile(path, layout, true) == 0);
    check(ReadSetupSection(path) == settings);
    KVM_LAYOUT reread;
    check(ReadLayoutFile(path, reread) == 0);
    for (int n = 1; n <= kScreenCount; ++n) {
        check(reread.Group[n] == asRead(layout.Group[n]));
        check(reread.Port[n].X == asRead(layout.Port[n].X) && reread.Port[n].Y == asRead(layout.Port[n].Y));
        check(reread.Port[n].Width == asRead(layout.Port[n].Width));
        check(reread.Port[n].Height == asRead(layout.Port[n].Height));
        check(reread.MConfig[n].X == asRead(layout.MConfig[n].X) && reread.MConfig[n].Y == asRead(layout.MConfig[n].Y));
    }
    for (int p = 1; p <= kPortCount; ++p) {
        check(reread.MStyle[p] == asRead(layout.MStyle[p]));
        check(reread.MTotal[p].Width == asRead(layout.MTotal[p].Width));
        check(reread.MTotal[p].Height == asRead(layout.MTotal[p].Height));
    }
    return 0;
}
