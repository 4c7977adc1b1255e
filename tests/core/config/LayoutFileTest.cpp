#include "core/config/LayoutFile.h"

#include "core/config/ProfileFile.h"
#include "support/FileBytes.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A layout with a distinct non-negative value in every entry.
KVM_LAYOUT sampleLayout()
{
    KVM_LAYOUT layout;
    for (int n = 1; n <= kScreenCount; ++n) {
        layout.Group[n] = n % 3;
        layout.Port[n] = {n * 100, n * 7, 1920 + n, 1080 - n};
        layout.MConfig[n] = {n * 11, n * 13};
    }
    for (int p = 1; p <= kPortCount; ++p) {
        layout.MStyle[p] = p % 8;
        layout.MTotal[p] = {p * 1000, p * 500};
    }
    return layout;
}

// "from from+1 ... to"
std::string numbers(int from, int to)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += (text.empty() ? "" : " ") + std::to_string(i);
    return text;
}

class LayoutFileTest : public testing::Test {
protected:
    QString path(const char* name = "layout.gxl") const { return dir.filePath(QLatin1String(name)); }

    void writeBytes(const std::string& bytes, const char* name = "layout.gxl") const
    {
        ASSERT_TRUE(WriteFileBytes(path(name), bytes));
    }

    std::string readBytes(const char* name = "layout.gxl") const { return ReadFileBytes(path(name)); }

    QTemporaryDir dir;
};

TEST_F(LayoutFileTest, WrittenLayoutReadsBackUnchanged)
{
    const KVM_LAYOUT written = sampleLayout();
    ASSERT_EQ(WriteLayoutFile(path(), written, false).status, FileResult::Status::Done);
    KVM_LAYOUT read;
    ASSERT_EQ(ReadLayoutFile(path(), read).status, FileResult::Status::Done);
    EXPECT_EQ(read, written);
}

TEST_F(LayoutFileTest, KeysAreWrittenInOrderWithDecimalNumbers)
{
    KVM_LAYOUT layout;
    layout.Group[1] = 1;
    layout.Group[80] = -2;
    layout.Port[1] = {-10, 0, 1920, 1080};
    layout.MStyle[20] = 7;
    layout.MTotal[2] = {3840, 1080};
    layout.MConfig[22] = {1920, 0};
    ASSERT_EQ(WriteLayoutFile(path(), layout, true).status, FileResult::Status::Done);

    const std::string text = readBytes();
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    ASSERT_EQ(lines.size(), 183u);  // the section header and 182 keys
    EXPECT_EQ(lines[0], "[Layout]");
    std::string group = "Group=1";
    for (int n = 2; n <= 79; ++n)
        group += " 0";
    EXPECT_EQ(lines[1], group + " -2");
    EXPECT_EQ(lines[2], "Port1=-10 0 1920 1080");
    EXPECT_EQ(lines[81], "Port80=0 0 0 0");
    EXPECT_EQ(lines[82], "MStyle=0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 7");
    EXPECT_EQ(lines[83], "MTotal1=0 0");
    EXPECT_EQ(lines[84], "MTotal2=3840 1080");
    EXPECT_EQ(lines[103], "MConfig1=0 0");
    EXPECT_EQ(lines[124], "MConfig22=1920 0");
    EXPECT_EQ(lines[182], "MConfig80=0 0");

    // Negative numbers are written, but read back as 0.
    KVM_LAYOUT read;
    ASSERT_EQ(ReadLayoutFile(path(), read).status, FileResult::Status::Done);
    EXPECT_EQ(read.Port[1], (PortRect{0, 0, 1920, 1080}));
    EXPECT_EQ(read.Group[80], 0);
}

TEST_F(LayoutFileTest, ReadingReplacesEveryEntryAndToleratesShortAndLongLists)
{
    writeBytes("[layout]\nGROUP=" + numbers(1, 60) + "\nPort5=-10 20 640\nMTotal3=100 200 300\n");
    KVM_LAYOUT layout = sampleLayout();  // stale values must all go
    ASSERT_EQ(ReadLayoutFile(path(), layout).status, FileResult::Status::Done);
    for (int n = 1; n <= kScreenCount; ++n) {
        EXPECT_EQ(layout.Group[n], n <= 60 ? n : 0) << n;
        EXPECT_EQ(layout.Port[n], (n == 5 ? PortRect{0, 20, 640, 0} : PortRect{})) << n;
        EXPECT_EQ(layout.MConfig[n], DeskOffset{}) << n;
    }
    for (int p = 1; p <= kPortCount; ++p) {
        EXPECT_EQ(layout.MStyle[p], 0);
        EXPECT_EQ(layout.MTotal[p], (p == 3 ? DeskSize{100, 200} : DeskSize{})) << p;
    }

    writeBytes("[Layout]\nGroup=" + numbers(1, 90) + "\n");
    ASSERT_EQ(ReadLayoutFile(path(), layout).status, FileResult::Status::Done);
    EXPECT_EQ(layout.Group[80], 80);

    // Without a "Layout" section everything reads as 0.
    writeBytes("[Setup]\nStart=2\n");
    layout = sampleLayout();
    ASSERT_EQ(ReadLayoutFile(path(), layout).status, FileResult::Status::Done);
    EXPECT_EQ(layout, KVM_LAYOUT{});
}

TEST_F(LayoutFileTest, AFileWithoutOffsetsImportsEveryOtherTable)
{
    KVM_LAYOUT written = sampleLayout();
    ASSERT_EQ(WriteLayoutFile(path(), written, false).status, FileResult::Status::Done);
    std::string text = readBytes();
    text.erase(text.find("MConfig1="));
    writeBytes(text);

    KVM_LAYOUT read;
    ASSERT_EQ(ReadLayoutFile(path(), read).status, FileResult::Status::Done);
    for (int n = 1; n <= kScreenCount; ++n)
        written.MConfig[n] = {};
    EXPECT_EQ(read, written);
}

TEST_F(LayoutFileTest, MissingFileAndExistingFileWithoutOverwrite)
{
    KVM_LAYOUT layout = sampleLayout();
    EXPECT_EQ(ReadLayoutFile(path("missing.gxl"), layout).status, FileResult::Status::Missing);
    EXPECT_EQ(layout, sampleLayout());

    writeBytes("[Layout]\nGroup=1\n");
    EXPECT_EQ(WriteLayoutFile(path(), layout, false).status, FileResult::Status::Exists);
    EXPECT_EQ(readBytes(), "[Layout]\nGroup=1\n");
}

TEST_F(LayoutFileTest, LayoutAndSettingsSectionsLeaveEachOtherAndEverythingElseAsTheyWere)
{
    const std::string head =
        "; written by hand\r\n"
        "[Setup]\r\n"
        "COMPort=3\r\n"
        "Start=2\r\n"
        "\r\n"
        "[Ports]\r\n"
        "COM3=/dev/ttyUSB0\r\n"
        "\r\n";
    writeBytes(head + "[Layout]\r\nGroup=1\r\n", "TORVIK.INI");
    ASSERT_EQ(WriteLayoutFile(path("TORVIK.INI"), sampleLayout(), true).status, FileResult::Status::Done);
    const std::string withLayout = readBytes("TORVIK.INI");
    EXPECT_EQ(withLayout.substr(0, head.size()), head);

    SetupSettings settings;
    settings.COMPort = 5;
    settings.MouseSlider = 138;
    ASSERT_TRUE(WriteSetupSection(path("TORVIK.INI"), settings).ok());
    const std::string withSettings = readBytes("TORVIK.INI");
    const std::size_t layoutAt = withSettings.find("[Layout]");
    EXPECT_EQ(withSettings.substr(layoutAt), withLayout.substr(withLayout.find("[Layout]")));
    EXPECT_NE(withSettings.find("[Ports]\r\nCOM3=/dev/ttyUSB0\r\n"), std::string::npos);
    EXPECT_EQ(ReadSetupSection(path("TORVIK.INI")), settings);
}

TEST_F(LayoutFileTest, SettingsAreWrittenInOrderAndReadWithDefaults)
{
    SetupSettings settings{7, 4, 1, 3, 5, 255};
    ASSERT_TRUE(WriteSetupSection(path("TORVIK.INI"), settings).ok());
    EXPECT_EQ(readBytes("TORVIK.INI"),
              "[Setup]\r\nCOMPort=7\r\nStart=4\r\nGlidex=1\r\nHotKey=3\r\nMouseSlider=5\r\nSwitchPosition=255\r\n");

    EXPECT_EQ(ReadSetupSection(path("missing.ini")), SetupSettings{});
    writeBytes("[setup]\nmouseslider=0x85\nStart=abc\nHotKey=$2\nGlidex=-1\n", "TORVIK.INI");
    const SetupSettings read = ReadSetupSection(path("TORVIK.INI"));
    EXPECT_EQ(read.MouseSlider, 133);
    EXPECT_EQ(read.Start, 1);
    EXPECT_EQ(read.HotKey, 2);
    EXPECT_EQ(read.Glidex, -1);
}

TEST_F(LayoutFileTest, AFileNamedOnTheCommandLineIsReadStrictly)
{
    // What the lenient readers would turn into something else than the file
    // says is refused, naming the line, the key and what it needs; what is
    // read gives the value of `read`.
    const QString fourNumbers = "expected 4 whole numbers of 0 or more, separated by spaces";
    const QString aNumber = "expected a number of up to 32 bits (decimal, or hexadecimal after 0x or $)";
    struct Row {
        std::string setup;
        std::string layout;
        QString reason;  // empty: read
        int32_t (*read)(const SetupSettings&, const KVM_LAYOUT&) = nullptr;
        int32_t expected = 0;
    };
    const auto x2 = [](const SetupSettings&, const KVM_LAYOUT& layout) { return layout.Port[2].X; };
    const auto height2 = [](const SetupSettings&, const KVM_LAYOUT& layout) { return layout.Port[2].Height; };
    const auto style20 = [](const SetupSettings&, const KVM_LAYOUT& layout) { return layout.MStyle[20]; };
    const auto start = [](const SetupSettings& settings, const KVM_LAYOUT&) { return settings.Start; };
    const Row rows[] = {
        {"", "Port2=4480 0 1080x1920", "line 5: Port2: " + fourNumbers},
        {"", "Port2=4480,0,1080,1920", "line 5: Port2: " + fourNumbers},
        {"", "Port2=4480\t0\t1080\t1920", "line 5: Port2: " + fourNumbers},
        {"", "Port2=4480 0 1080", "line 5: Port2: " + fourNumbers},
        {"", "Port2=4480 0 1080 1920 1", "line 5: Port2: " + fourNumbers},
        {"", "Port2=-10 0 1080 1920", "line 5: Port2: " + fourNumbers},
        {"", "Port2=2147483648 0 1080 1920", "line 5: Port2: " + fourNumbers},
        {"", "Port2=2147483647  0 1080 1920", "", x2, 2147483647},
        {"", "Port2=4480 0 1080 01920", "", height2, 1920},
        {"", "MTotal3=3840", "line 5: MTotal3: expected 2 whole numbers of 0 or more, separated by spaces"},
        {"", "MStyle=" + numbers(1, 21),
         "line 5: MStyle: expected up to 20 whole numbers of 0 or more, separated by spaces"},
        {"", "MStyle=" + numbers(1, 20), "", style20, 20},
        {"Start=3 ; power-up port", "", "", start, 3},
        {"Start=0x4", "", "", start, 4},
        {"Start=3abc", "", "", start, 3},
        {"Start=", "", "line 3: Start: " + aNumber},
        {"HotKey=one", "", "line 3: HotKey: " + aNumber},
        {"COMPort=one", "", "", start, 1},  // never sent
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.setup + row.layout);
        // Line 1 "[Setup]", line 2 "COMPort=2", line 3 `setup`, line 4 "[Layout]", line 5 `layout`.
        const ProfileFile file(path(), "[Setup]\nCOMPort=2\n" + row.setup + "\n[Layout]\n" + row.layout + "\n");
        SetupSettings settings;
        KVM_LAYOUT layout;
        FileResult result = ReadSetupStrictly(file, settings);
        if (result.ok())
            result = ReadLayoutStrictly(file, layout);
        EXPECT_EQ(result.reason, row.reason);
        if (row.read) {
            EXPECT_EQ(row.read(settings, layout), row.expected);
        }
    }
}

// Folder modes are POSIX's.
#ifndef _WIN32
TEST_F(LayoutFileTest, AFailedWriteLeavesTheFileAsItWas)
{
    const std::string original = "[Setup]\r\nCOMPort=3\r\n";
    writeBytes(original, "TORVIK.INI");
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0555), 0);
    const int result = RunUnprivileged(
        [this] { return static_cast<int>(WriteLayoutFile(path("TORVIK.INI"), sampleLayout(), true).status); });
    const int settingsSaved = RunUnprivileged([this] { return WriteSetupSection(path("TORVIK.INI"), {}).ok() ? 1 : 0; });
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    EXPECT_EQ(result, static_cast<int>(FileResult::Status::Failed));
    EXPECT_EQ(settingsSaved, 0);
    EXPECT_EQ(readBytes("TORVIK.INI"), original);

    // A folder in place of the file: nothing to read, nothing written.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.gxl")));
    KVM_LAYOUT layout = sampleLayout();
    EXPECT_EQ(ReadLayoutFile(path("folder.gxl"), layout).status, FileResult::Status::Missing);
    const FileResult written = WriteLayoutFile(path("folder.gxl"), layout, false);
    EXPECT_EQ(written.status, FileResult::Status::Failed);
    EXPECT_EQ(written.reason, "not a regular file");
    EXPECT_EQ(layout, sampleLayout());
}
#endif

}  // namespace
