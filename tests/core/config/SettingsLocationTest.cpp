// Which settings file the program uses, and that the per-user file's folder
// appears with the first save, not before.
#include "core/config/SettingsLocation.h"

#include "core/config/PortMapping.h"
#include "core/config/ProfileFile.h"
#include "support/FileBytes.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class SettingsLocationTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Reachable by the unprivileged user: a program folder it may only
        // read, and a home of its own.
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("program")) && QDir(dir.path()).mkpath(QStringLiteral("home")));
        ASSERT_EQ(chmod(local(dir.path()), 0755), 0);
        ASSERT_EQ(chmod(local(path("home")), 0777), 0);
    }

    static QByteArray local(const QString& path) { return path.toLocal8Bit(); }
    static int chmod(const QByteArray& path, mode_t mode) { return ::chmod(path.constData(), mode); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QProcessEnvironment environment(const char* configHome, const QString& pathVariable = {}) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), path("home"));
        if (configHome)
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), QLatin1String(configHome));
        if (!pathVariable.isEmpty())
            env.insert(QStringLiteral("PATH"), pathVariable);
        return env;
    }

    QTemporaryDir dir;
};

// The folders of Linux and the XDG rules, and POSIX modes.
#ifndef _WIN32
TEST_F(SettingsLocationTest, ChoosesTheFileBesideTheProgramOrThePerUserFile)
{
    const QString beside = path("program/TORVIK.INI");
    const QString perUser = path("home/.config/torvik-setup/TORVIK.INI");
    const QString configHome = path("config");
    const QByteArray configHomeText = local(configHome);
    struct Case {
        const char* name;
        bool programFolderWritable;
        bool fileBesideProgram;
        bool installedThere;  // the program folder is where the build installs it
        const char* configHome;  // XDG_CONFIG_HOME, or unset
        QString expected;
        const char* program = "program";  // the program's folder
        QString pathVariable = {};        // PATH, or unset
    };
    // A folder outside home on PATH, named through a link and with a trailing
    // slash; and an empty entry, which must not count the folder the program
    // is started from (each row starts it from its own folder).
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("tools")));
    ASSERT_TRUE(QFile::link(path("tools"), path("tools-link")));
    const QString onPath = QStringLiteral("/usr/bin::") + path("tools-link") + QLatin1Char('/');
    const Case cases[] = {
        {"portable copy, no file yet", true, false, false, nullptr, beside},
        {"read-only folder that holds the file", false, true, false, nullptr, beside},
        {"installed, XDG_CONFIG_HOME unset", false, false, false, nullptr, perUser},
        {"installed, XDG_CONFIG_HOME set", false, false, false, configHomeText.constData(),
         configHome + QStringLiteral("/torvik-setup/TORVIK.INI")},
        {"installed, relative XDG_CONFIG_HOME is ignored", false, false, false, "relative/config", perUser},
        {"installed to a writable folder", true, false, true, nullptr, perUser},
        {"installed, with a file beside it", true, true, true, nullptr, beside},
        {"in ~/.local/bin", true, false, false, nullptr, perUser, "home/.local/bin"},
        {"in a folder on PATH outside home", true, false, false, nullptr, perUser, "tools", onPath},
        {"in ~/tools/bin, not on PATH", true, false, false, nullptr, perUser, "home/tools/bin", onPath},
        {"in a writable folder under home, not on PATH", true, false, false, nullptr,
         path("home/work/build/TORVIK.INI"), "home/work/build", onPath},
        {"in a bin folder outside home, not on PATH", true, false, false, nullptr, path("unpacked/bin/TORVIK.INI"),
         "unpacked/bin", onPath},
        {"portable copy in ~/bin with its file", true, true, false, nullptr, path("home/bin/TORVIK.INI"), "home/bin",
         onPath},
    };
    for (const Case& c : cases) {
        const QString program = path(c.program);
        const QString file = program + QStringLiteral("/TORVIK.INI");
        ASSERT_TRUE(QDir().mkpath(program));
        QFile::remove(file);
        if (c.fileBesideProgram) {
            ASSERT_TRUE(WriteFileBytes(file, "[Setup]\r\n"));
        }
        ASSERT_EQ(chmod(local(program), c.programFolderWritable ? 0777 : 0555), 0);
        const QString expected = c.expected;
        const QString installFolder = c.installedThere ? program : path("elsewhere");
        const QProcessEnvironment env = environment(c.configHome, c.pathVariable);
        const QString started = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(program));
        const int chosen =
            RunUnprivileged([&] { return SettingsFilePath(program, installFolder, env) == expected ? 1 : 0; });
        EXPECT_EQ(chosen, 1) << c.name << ": expected " << expected.toStdString() << ", got "
                             << SettingsFilePath(program, installFolder, env).toStdString();
        QDir::setCurrent(started);
    }

    // A program in a system folder uses the per-user file even when it may
    // write there (as root may), unless the file is there already.
    for (const char* system : {"/usr/bin", "/usr/local/bin", "/opt/torvik-setup/bin"}) {
        EXPECT_EQ(SettingsFilePath(QLatin1String(system), {}, environment(nullptr)), perUser) << system;
    }

    // --settings names the file outright, relative to the current folder.
    EXPECT_EQ(SettingsFilePath(path("program"), path("program"), environment(nullptr), QStringLiteral("my.ini")),
              QDir::current().absoluteFilePath(QStringLiteral("my.ini")));
}

TEST_F(SettingsLocationTest, ThePerUserFolderIsMadeByTheFirstSaveOnly)
{
    ASSERT_EQ(chmod(local(path("program")), 0555), 0);
    const QProcessEnvironment env = environment(nullptr);
    // 1: as expected; 2: reading made the folder; 3: the save failed; 4: a
    // folder is not 0700; 5: the file does not read back.
    const int outcome = RunUnprivileged([&] {
        const QString file = SettingsFilePath(path("program"), {}, env);
        const ProfileFile before(file);
        ReadPortsSection(file);
        if (before.readResult().status != FileResult::Status::Missing || QFileInfo::exists(path("home/.config")))
            return 2;
        ProfileFile settings(file);
        settings.writeInteger("Setup", "Start", 3);
        if (!settings.save(MissingFolder::Make).ok())
            return 3;
        for (const char* folder : {"home/.config", "home/.config/torvik-setup"}) {
            struct stat info {};
            if (::stat(local(path(folder)).constData(), &info) != 0 || (info.st_mode & 07777) != 0700)
                return 4;
        }
        return ProfileFile(file).readInteger("Setup", "Start", 0) == 3 ? 1 : 5;
    });
    EXPECT_EQ(outcome, 1);
    EXPECT_EQ(ReadFileBytes(path("home/.config/torvik-setup/TORVIK.INI")), "[Setup]\r\nStart=3\r\n");
}
#endif

#ifdef _WIN32
// Windows' folders: Program Files (any case, either kind) is installed, as
// is a folder on PATH; the per-user file is in %APPDATA%.
TEST_F(SettingsLocationTest, OnWindowsAnInstalledProgramKeepsItsSettingsInAppData)
{
    for (const char* folder : {"Programs/Torvik Setup", "programs x86/Torvik Setup", "tools", "portable"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(QLatin1String(folder)));
    QProcessEnvironment env;
    env.insert(QStringLiteral("ProgramFiles"), path("Programs"));
    env.insert(QStringLiteral("ProgramFiles(x86)"), path("programs x86"));
    env.insert(QStringLiteral("APPDATA"), path("home"));
    env.insert(QStringLiteral("PATH"), QDir::toNativeSeparators(path("tools")) + QStringLiteral(";C:\\windows"));
    const QString perUser = path("home/torvik-setup/TORVIK.INI");
    EXPECT_EQ(SettingsFilePath(path("PROGRAMS/Torvik Setup"), {}, env), perUser);
    EXPECT_EQ(SettingsFilePath(path("programs x86/Torvik Setup"), {}, env), perUser);
    EXPECT_EQ(SettingsFilePath(path("tools"), {}, env), perUser);
    EXPECT_EQ(SettingsFilePath(path("portable"), {}, env), path("portable/TORVIK.INI"));
    EXPECT_EQ(SettingsFilePath(path("Programs"), {}, env), perUser);  // the folder itself
    ASSERT_TRUE(WriteFileBytes(path("Programs/Torvik Setup/TORVIK.INI"), "[Setup]\r\n"));
    EXPECT_EQ(SettingsFilePath(path("Programs/Torvik Setup"), {}, env), path("Programs/Torvik Setup/TORVIK.INI"));
}
#endif

}  // namespace
