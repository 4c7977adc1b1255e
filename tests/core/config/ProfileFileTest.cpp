#include "core/config/ProfileFile.h"

#include "support/FileBytes.h"
#include "support/QtPrinting.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <sys/stat.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

class ProfileFileTest : public testing::Test {
protected:
    QString path(const char* name = "test.ini") const { return dir.filePath(QLatin1String(name)); }

    void writeBytes(const std::string& bytes, const char* name = "test.ini") const
    {
        ASSERT_TRUE(WriteFileBytes(path(name), bytes));
    }

    std::string readBytes(const char* name = "test.ini") const { return ReadFileBytes(path(name)); }

    ProfileFile load(const std::string& bytes) const
    {
        EXPECT_TRUE(WriteFileBytes(path(), bytes));
        return ProfileFile(path());
    }

    QTemporaryDir dir;
};

TEST_F(ProfileFileTest, FindsSectionsAndKeysAsTheWindowsProfileApiDoes)
{
    const ProfileFile file = load(
        "top=outside any section\r\n"
        "[ Setup ]\r\n"
        "\t COMPort\t=\t 3 \t\r\n"
        "comport=4\r\n"
        "; Start=9\r\n"
        "no equals sign\r\n"
        "Note=v ;not a comment\r\n"
        "Empty=\r\n"
        "[setup]\r\n"
        "Start=5\r\n"
        "[ a]b ]\r\n"
        "k=in a]b\r\n");

    EXPECT_EQ(file.readResult().status, FileResult::Status::Done);
    EXPECT_EQ(file.value("SETUP", "comPORT"), "3");  // first key, trimmed, any case
    EXPECT_EQ(file.value("Setup", "Start"), std::nullopt);  // the first matching section wins; comments are not keys
    EXPECT_EQ(file.value("Setup", "no equals sign"), std::nullopt);
    EXPECT_EQ(file.value("Setup", "Note"), "v ;not a comment");
    EXPECT_EQ(file.value("Setup", "Empty"), "");
    EXPECT_EQ(file.value("a]b", "k"), "in a]b");
    EXPECT_EQ(file.value("", "top"), std::nullopt);
    EXPECT_EQ(file.value("Missing", "k"), std::nullopt);
    EXPECT_EQ(file.readString("Setup", "Missing", "fallback"), "fallback");
}

TEST_F(ProfileFileTest, ValuesLoseOnePairOfQuotesAndAreCutAt2047Characters)
{
    const std::string longValue(3000, 'x');
    const ProfileFile file = load(
        "[S]\n"
        "double=\"quoted\"\n"
        "single='quoted'\n"
        "nested=\"\"twice\"\"\n"
        "mixed=\"one'\n"
        "lone=\"\n"
        "long=" + longValue + "\n");
    EXPECT_EQ(file.value("S", "double"), "quoted");
    EXPECT_EQ(file.value("S", "single"), "quoted");
    EXPECT_EQ(file.value("S", "nested"), "\"twice\"");
    EXPECT_EQ(file.value("S", "mixed"), "\"one'");
    EXPECT_EQ(file.value("S", "lone"), "\"");
    EXPECT_EQ(file.value("S", "long"), std::string(2047, 'x'));
}

TEST_F(ProfileFileTest, LinesEndAtCrLfOrCrLfAndAByteOrderMarkIsSkipped)
{
    const ProfileFile file = load("\xEF\xBB\xBF[A]\rcr=1\nlf=2\r\ncrlf=3\n\r\n[B]\rlast=4");
    EXPECT_EQ(file.value("A", "cr"), "1");
    EXPECT_EQ(file.value("A", "lf"), "2");
    EXPECT_EQ(file.value("A", "crlf"), "3");
    EXPECT_EQ(file.value("B", "last"), "4");
}

TEST_F(ProfileFileTest, IntegersAreDecimalOrHexadecimalWithAPrefix)
{
    const ProfileFile file = load(
        "[S]\nhex=0x85\nHEX=0X1f\ndollar=$85\nneg=-5\nplus=+7\nwrapped=4294967295\n"
        "word=abc\ntrailing=12abc\nempty=\nbare=0x\nquoted=\"12\"\nnegdollar=-$10\n");
    EXPECT_EQ(file.readInteger("S", "hex", 1), 133);
    EXPECT_EQ(file.readInteger("S", "dollar", 1), 133);
    EXPECT_EQ(file.readInteger("S", "neg", 1), -5);
    EXPECT_EQ(file.readInteger("S", "plus", 1), 7);
    EXPECT_EQ(file.readInteger("S", "wrapped", 1), -1);
    EXPECT_EQ(file.readInteger("S", "quoted", 1), 12);
    EXPECT_EQ(file.readInteger("S", "negdollar", 1), -16);
    for (const char* bad : {"word", "trailing", "empty", "bare", "missing"})
        EXPECT_EQ(file.readInteger("S", bad, 133), 133) << bad;

    // A file named on the command line: the number a value starts with,
    // whatever follows it; a value that starts with none is no number.
    const std::pair<const char*, std::optional<int32_t>> leading[] = {
        {"3 ; power-up port", 3}, {"0x85\tspeed 5", 133}, {"-$10;", -16}, {"4294967295 x", -1}, {"7", 7},
        {"4294967296 x", std::nullopt}, {"3abc", 3}, {"0x", 0}, {"", std::nullopt},
        {"; 3", std::nullopt},
    };
    for (const auto& [value, expected] : leading)
        EXPECT_EQ(ProfileFile::LeadingInteger(value), expected) << value;
}

TEST_F(ProfileFileTest, WritingChangesOnlyTheKeyItWrites)
{
    const std::string original =
        "; settings\r\n"
        "[Setup]\r\n"
        "  comport = 3   \r\n"
        "Start=1\r\n"
        "\r\n"
        "[Other]\r\n"
        "keep = me \r\n";
    ProfileFile file = load(original);
    file.writeInteger("setup", "COMPort", 7);     // replaced where it stands, keeping its name
    file.writeInteger("Setup", "HotKey", 2);      // appended after the last key of its section
    file.writeString("Layout", "Group", "1 0");   // a new section at the end
    ASSERT_TRUE(file.save().ok());
    EXPECT_EQ(readBytes(),
              "; settings\r\n"
              "[Setup]\r\n"
              "comport=7\r\n"
              "Start=1\r\n"
              "HotKey=2\r\n"
              "\r\n"
              "[Other]\r\n"
              "keep = me \r\n"
              "\r\n"
              "[Layout]\r\n"
              "Group=1 0\r\n");
}

TEST_F(ProfileFileTest, WritingKeepsTheFileLineEndingsAndByteOrderMark)
{
    ProfileFile lf = load("\xEF\xBB\xBF[A]\nx=1");
    lf.writeString("A", "y", "2");
    lf.writeString("B", "z", "3");
    EXPECT_EQ(lf.text(), "\xEF\xBB\xBF[A]\nx=1\ny=2\n\n[B]\nz=3\n");

    ProfileFile cr = load("[A]\rx=1\r");
    cr.writeString("A", "x", "5");
    EXPECT_EQ(cr.text(), "[A]\rx=5\r");

    // Windows' "Unicode": UTF-16 with a byte-order mark, either way round.
    const auto utf16 = [](std::string_view text, bool littleEndian) {
        std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : text)
            bytes += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
        return bytes;
    };
    for (const bool littleEndian : {true, false}) {
        ProfileFile unicode = load(utf16("[A]\r\nx=12\r\n", littleEndian));
        EXPECT_EQ(unicode.value("A", "x"), "12");
        unicode.writeString("A", "y", "3");
        EXPECT_EQ(unicode.text(), utf16("[A]\r\nx=12\r\ny=3\r\n", littleEndian));
    }

    ProfileFile fresh(path("new.ini"));
    EXPECT_EQ(fresh.readResult().status, FileResult::Status::Missing);
    fresh.writeString("Setup", "Start", "1");
    EXPECT_EQ(fresh.text(), "[Setup]\r\nStart=1\r\n");
}

// Modes and owners are POSIX's.
#ifndef _WIN32
TEST_F(ProfileFileTest, SaveKeepsModeAndOwnerRefusesAProtectedFileAndMakesNoFolder)
{
    // Run as whoever runs the tests, root included: root may write any file,
    // yet one whose mode forbids writing stays as it is. Root hands the files
    // to another user first, which the replacement must keep.
    struct Case {
        const char* name;
        mode_t mode;         // none of these is what the umask gives a new file
        const char* reason;  // nullptr: saved
    };
    const Case cases[] = {
        {"shared.ini", 0640, nullptr},
        {"private.ini", 0600, nullptr},
        {"protected.ini", 0444, "the file is read-only"},
        {"none/missing.ini", 0, "No such file or directory"},  // nothing made for it
    };
    const bool root = geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    const std::string original = "[A]\r\nx=1\r\n";
    for (const Case& c : cases) {
        if (c.mode == 0)
            continue;
        writeBytes(original, c.name);
        const QByteArray name = path(c.name).toLocal8Bit();
        ASSERT_EQ(chmod(name.constData(), c.mode), 0);
        if (root) {
            ASSERT_EQ(chown(name.constData(), kNobody, kNobody), 0);
        }
    }
    for (const Case& c : cases) {
        ProfileFile file(path(c.name));
        file.writeString("A", "x", "2");
        const FileResult saved = file.save();
        EXPECT_EQ(saved.ok(), c.reason == nullptr) << c.name;
        EXPECT_EQ(saved.reason, QLatin1String(c.reason)) << c.name;
        if (c.mode == 0)
            continue;
        EXPECT_EQ(readBytes(c.name), c.reason ? original : "[A]\r\nx=2\r\n") << c.name;
        struct stat info {};
        ASSERT_EQ(stat(path(c.name).toLocal8Bit().constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode) << c.name;
        EXPECT_EQ(info.st_uid, root ? kNobody : getuid()) << c.name;
        EXPECT_EQ(info.st_gid, root ? kNobody : getgid()) << c.name;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"private.ini", "protected.ini", "shared.ini"}));
}
#endif

// Folder modes are POSIX's.
#ifndef _WIN32
TEST_F(ProfileFileTest, InAReadOnlyFolderAWritableFileIsWrittenInPlaceAndAProtectedOneIsLeftIntact)
{
    // No temporary file can be made beside these files; the one that may be
    // written is written over its old content, the others stay as they are.
    // A limit on file sizes stands in for a full disk: the new content does
    // not fit, and the old one must not be torn.
    struct Case {
        const char* name;
        int mode;  // -1: no such file
        const char* reason;
        rlim_t sizeLimit = RLIM_INFINITY;
    };
    const Case cases[] = {
        {"writable.ini", 0666, nullptr},
        {"protected.ini", 0644, "the file is read-only"},  // only its owner, root, may write it
        {"missing.ini", -1, "Permission denied"},
        {"full.ini", 0666, "File too large", 40},
    };
    const std::string original = "[A]\r\nx=1\r\n";
    const std::string longer(40, '2');
    for (const Case& c : cases) {
        if (c.mode >= 0) {
            writeBytes(original, c.name);
            ASSERT_EQ(chmod(path(c.name).toLocal8Bit().constData(), static_cast<mode_t>(c.mode)), 0);
        }
    }
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0555), 0);
    for (const Case& c : cases) {
        // 1: saved; 0: not saved, for the expected reason; 2: anything else.
        const int outcome = RunUnprivileged([&] {
            ProfileFile file(path(c.name));
            file.writeString("A", "x", c.sizeLimit == RLIM_INFINITY ? "2" : longer);
            rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            const rlimit smaller{c.sizeLimit, limit.rlim_max};
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &smaller);
            const FileResult saved = file.save();
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, oldHandler);
            if (saved.ok())
                return 1;
            return c.reason && saved.reason == QLatin1String(c.reason) ? 0 : 2;
        });
        EXPECT_EQ(outcome, c.reason ? 0 : 1) << c.name;
    }
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0755), 0);
    EXPECT_EQ(readBytes("writable.ini"), "[A]\r\nx=2\r\n");
    EXPECT_EQ(readBytes("protected.ini"), original);
    EXPECT_EQ(readBytes("full.ini"), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"full.ini", "protected.ini", "writable.ini"}));
}
#endif

TEST_F(ProfileFileTest, WhatCannotBeReadGivesItsReasonAndIsNeverReplaced)
{
    // Each would be replaced by a document that lacks its content, or a
    // link by a file, if saving did not refuse it.
    struct Case {
        const char* name;
        const char* readReason;
        const char* saveReason;
    };
    const std::string huge = "[A]\nx=1\n" + std::string(static_cast<std::size_t>(ProfileFile::kMaxFileSize), ';');
    writeBytes(huge, "huge.ini");
    writeBytes(std::string("\xFF\xFE[\0A\0]", 7), "odd.ini");  // UTF-16 cut in a character
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ini")));
    const char* const notReplaced = "it could not be read, so it was not replaced";
    std::vector<Case> cases = {
        {"huge.ini", "over 1 MiB, too large for a settings or layout file", notReplaced},
        {"odd.ini", "not valid UTF-16 text", notReplaced},
        {"folder.ini", "Is a directory", "not a regular file"},
    };
#ifndef _WIN32
    ASSERT_TRUE(QFile::link(path("loop2.ini"), path("loop.ini")));
    ASSERT_TRUE(QFile::link(path("loop.ini"), path("loop2.ini")));
    cases.push_back({"loop.ini", "Too many levels of symbolic links", "not a regular file"});
#endif
    for (const Case& c : cases) {
        const std::string before = readBytes(c.name);
        ProfileFile file(path(c.name), ProfileFile::Source::AnyFile);
        EXPECT_EQ(file.readResult().status, FileResult::Status::Failed) << c.name;
        EXPECT_EQ(file.readResult().reason, QLatin1String(c.readReason)) << c.name;
        file.writeString("A", "x", "2");
        const FileResult saved = file.save();
        EXPECT_EQ(saved.status, FileResult::Status::Failed) << c.name;
        EXPECT_EQ(saved.reason, QLatin1String(c.saveReason)) << c.name;
        EXPECT_EQ(readBytes(c.name), before) << c.name;
    }
#ifndef _WIN32
    EXPECT_TRUE(QFileInfo(path("loop.ini")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("loop2.ini")).isSymLink());
#endif
}

// Pipes named by a path are POSIX's.
#ifndef _WIN32
TEST_F(ProfileFileTest, AFileNamedOnTheCommandLineMayBeAPipeUpToTheSizeLimit)
{
    // What `--write <(cat f.ini)` names: a pipe's end as /dev/fd/N.
    const auto readPipe = [](const std::string& content, ProfileFile::Source source) {
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        std::thread writer([&] {
            if (source == ProfileFile::Source::AnyFile) {
                EXPECT_EQ(write(ends[1], content.data(), content.size()), static_cast<ssize_t>(content.size()));
            }
            close(ends[1]);
        });
        ProfileFile file(QStringLiteral("/dev/fd/%1").arg(ends[0]), source);
        writer.join();
        close(ends[0]);
        return file;
    };
    const ProfileFile piped = readPipe("[Setup]\nStart=3\n", ProfileFile::Source::AnyFile);
    EXPECT_EQ(piped.value("Setup", "Start"), "3");
    const std::string limit(static_cast<std::size_t>(ProfileFile::kMaxFileSize), ';');
    EXPECT_TRUE(readPipe(limit, ProfileFile::Source::AnyFile).readResult().ok());
    EXPECT_EQ(readPipe(limit + ";", ProfileFile::Source::AnyFile).readResult().reason,
              "over 1 MiB, too large for a settings or layout file");
    // A file that may be saved again is never read from a pipe.
    EXPECT_EQ(readPipe("", ProfileFile::Source::RegularFile).readResult().reason, "not a regular file");
}
#endif

// Symbolic links are POSIX's (Windows makes shortcuts).
#ifndef _WIN32
TEST_F(ProfileFileTest, SavingThroughASymbolicLinkUpdatesItsTarget)
{
    writeBytes("[A]\r\nx=1\r\n", "target.ini");
    ASSERT_TRUE(QFile::link(path("target.ini"), path("link.ini")));
    ProfileFile file(path("link.ini"));
    file.writeString("A", "x", "2");
    ASSERT_TRUE(file.save().ok());
    EXPECT_EQ(readBytes("target.ini"), "[A]\r\nx=2\r\n");
    EXPECT_TRUE(QFileInfo(path("link.ini")).isSymLink());
}
#endif

}  // namespace
