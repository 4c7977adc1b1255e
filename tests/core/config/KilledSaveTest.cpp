// A program killed while it saves: the files it was writing must hold the
// old or the new document, whole, and what the kill leaves behind must
// neither stop the next save nor pile up.

#include "core/config/LayoutFile.h"

#include "support/FileBytes.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <set>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

KVM_LAYOUT layoutWith(int32_t base)
{
    KVM_LAYOUT layout;
    for (int n = 1; n <= kScreenCount; ++n) {
        layout.Group[n] = n % 4;
        layout.Port[n] = {base + n, base * 2 + n, 1920 + n, 1080 + n};
        layout.MConfig[n] = {base - n, base + 2 * n};
    }
    for (int p = 1; p <= kPortCount; ++p)
        layout.MTotal[p] = {base * p, base + p};
    return layout;
}

// Two complete versions of each file.
struct Documents {
    SetupSettings settings[2] = {{1, 2, 0, 1, 133, 0}, {20, 4, 1, 3, 10, 255}};
    KVM_LAYOUT layouts[2] = {layoutWith(1000), layoutWith(2000000)};
};

// Saves both files over and over, alternating the two versions, until it is
// killed; a failed save ends it with exit code 1.
[[noreturn]] void saveForever(const QString& settingsPath, const QString& layoutPath, int first)
{
    const Documents documents;
    for (int i = first;; ++i) {
        if (!WriteSetupSection(settingsPath, documents.settings[i % 2]).ok() ||
            !WriteLayoutFile(layoutPath, documents.layouts[i % 2], true).ok())
            _exit(1);
    }
}

TEST(KilledSaveTest, EveryKillLeavesAWholeDocumentAndAtMostOneTemporaryAndLockFilePerFile)
{
    QTemporaryDir dir;
    const QString settingsPath = dir.filePath(QStringLiteral("TORVIK.INI"));
    const QString layoutPath = dir.filePath(QStringLiteral("layout.gxl"));
    const Documents documents;

    // The bytes of each version, as a save writes them.
    std::string settingsBytes[2];
    std::string layoutBytes[2];
    for (int v : {1, 0}) {
        ASSERT_TRUE(WriteSetupSection(settingsPath, documents.settings[v]).ok());
        ASSERT_EQ(WriteLayoutFile(layoutPath, documents.layouts[v], true).status, FileResult::Status::Done);
        settingsBytes[v] = ReadFileBytes(settingsPath);
        layoutBytes[v] = ReadFileBytes(layoutPath);
    }

    // Besides the two files, a kill may leave each file's temporary file and
    // its lock file.
    QSet<QString> allowed;
    for (const QString& name : {QStringLiteral("TORVIK.INI"), QStringLiteral("layout.gxl")})
        allowed << name << name + ".saving" << name + ".lock";

    // Two programs save at once, and both are killed after a random moment.
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
    int killsWithLeftovers = 0;
    std::set<std::string> seen;
    for (int round = 0; round < 120; ++round) {
        pid_t savers[2];
        for (int k = 0; k < 2; ++k) {
            savers[k] = fork();
            ASSERT_GE(savers[k], 0);
            if (savers[k] == 0)
                saveForever(settingsPath, layoutPath, k);
        }
        usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        for (const pid_t saver : savers) {
            kill(saver, SIGKILL);
            int status = 0;
            ASSERT_EQ(waitpid(saver, &status, 0), saver);
            ASSERT_TRUE(WIFSIGNALED(status)) << "a save failed in round " << round;
        }

        const std::string settings = ReadFileBytes(settingsPath);
        const std::string layout = ReadFileBytes(layoutPath);
        ASSERT_TRUE(settings == settingsBytes[0] || settings == settingsBytes[1]) << "round " << round;
        ASSERT_TRUE(layout == layoutBytes[0] || layout == layoutBytes[1]) << "round " << round;
        seen.insert({settings, layout});
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : left)
            ASSERT_TRUE(allowed.contains(name)) << name.toStdString() << " in round " << round;
        killsWithLeftovers += left.size() > 2 ? 1 : 0;
    }
    // The kills did land in the middle of saves, and at different moments.
    EXPECT_GT(killsWithLeftovers, 0);
    EXPECT_EQ(seen.size(), 4u);

    // The next saves succeed and clear what the kills left.
    const FileResult settingsSaved = WriteSetupSection(settingsPath, documents.settings[1]);
    EXPECT_TRUE(settingsSaved.ok()) << settingsSaved.reason.toStdString();
    const FileResult layoutSaved = WriteLayoutFile(layoutPath, documents.layouts[1], true);
    EXPECT_EQ(layoutSaved.status, FileResult::Status::Done) << layoutSaved.reason.toStdString();
    EXPECT_EQ(ReadFileBytes(settingsPath), settingsBytes[1]);
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    EXPECT_EQ(left.join(' ').toStdString(), "layout.gxl TORVIK.INI");
}

}  // namespace
