#include "setup/ReplaceFileContents.h"

#include "setup/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

// Why one fixed temporary name under a lock, not randomly named temporary
// files (as QSaveFile makes): a save killed half-way leaves its temporary
// file behind, and with random names nothing tells such a leftover from a
// file of the user's that happens to match the pattern ("TORVIK.INI.backup"),
// so leftovers could only pile up. The fixed name is this file's own: every
// save replaces what a killed save left there, so at most one temporary file
// and one lock file per file remain, and the next save removes both. Two
// programs saving the same file at once take turns through the lock, so
// neither can rename the other's half-written temporary file into place.

namespace {

constexpr std::chrono::milliseconds kLockWait(3000);

bool writeAll(QFile& file, std::string_view bytes, QString& reason)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.flush()) {
        reason = file.errorString();
        return false;
    }
    // On the disk before a rename makes it the file's content, so that a
    // power failure cannot leave an empty file in its place.
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = fsync(file.handle()) == 0;
#endif
    if (!synced)
        reason = QString::fromStdString(std::generic_category().message(errno));
    return synced;
}

// Creates the folder that is to hold `file` and any missing folder above it,
// each readable by its owner only, as per-user configuration folders are
// (a settings file's folder under ~/.config is made by its first save).
bool makeFolderFor(const QString& file, QString& reason)
{
    QStringList missing;
    for (QDir folder = QFileInfo(file).absoluteDir(); !folder.exists(); folder.setPath(QFileInfo(folder.path()).path())) {
        missing.prepend(folder.path());
        if (folder.isRoot())
            break;
    }
    for (const QString& folder : missing) {
        if (!QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) && !QFileInfo(folder).isDir()) {
            reason = QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
            return false;
        }
    }
    return true;
}

bool writeInPlace(const QString& target, std::string_view bytes, QString& reason)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = file.errorString();
        return false;
    }
    return writeAll(file, bytes, reason);
}

// Runs with the file's lock held.
bool writeAndRename(const QString& target, std::string_view bytes, QString& reason)
{
    const QString temporary = target + QStringLiteral(".saving");
    // Left by a save that was killed: removed rather than reused, so that the
    // new file is certainly ours and no link planted under that name is followed.
    QFile::remove(temporary);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        reason = file.errorString();
        return false;
    }
    if (QFileInfo::exists(target))
        file.setPermissions(QFile::permissions(target));
    bool done = writeAll(file, bytes, reason);
    file.close();
    if (done) {
        std::error_code error;
        std::filesystem::rename(QFileInfo(temporary).filesystemFilePath(), QFileInfo(target).filesystemFilePath(), error);
        done = !error;
        if (error)
            reason = QString::fromStdString(error.message());
    }
    if (!done)
        QFile::remove(temporary);
    return done;
}

}  // namespace

bool ReplaceFileContents(const QString& path, std::string_view bytes, QString& reason)
{
    const QFileInfo given(path);
    QString target = given.absoluteFilePath();
    if (given.isSymbolicLink())
        target = given.exists() ? given.canonicalFilePath() : given.symLinkTarget();
    const QFileInfo info(target);
    if (info.exists() && !info.isFile()) {
        reason = QStringLiteral("not a regular file");
        return false;
    }
    // The rename would replace a write-protected file as well; it stays.
    if (info.exists() && !info.isWritable()) {
        reason = QStringLiteral("the file is read-only");
        return false;
    }
    if (!makeFolderFor(target, reason))
        return false;

    FileLock lock(QFileInfo(target + QStringLiteral(".lock")).filesystemFilePath());
    std::string lockReason;
    switch (lock.lock(kLockWait, lockReason)) {
    case FileLock::Result::Locked:
        return writeAndRename(target, bytes, reason);
    case FileLock::Result::Denied:
        // The folder allows no new files, so neither a lock nor a temporary
        // file: the one way left to save is over the old content.
        return writeInPlace(target, bytes, reason);
    case FileLock::Result::Busy:
    case FileLock::Result::Failed:
        break;
    }
    reason = QString::fromStdString(lockReason);
    return false;
}
