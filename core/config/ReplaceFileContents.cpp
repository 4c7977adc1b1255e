#include "core/config/ReplaceFileContents.h"

#include "core/config/FileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
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

FileResult writeAll(QFile& file, std::string_view bytes)
{
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.flush())
        return FileResult::failed(file.errorString());
    // On the disk before a rename makes it the file's content, so that a
    // power failure cannot leave an empty file in its place.
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = fsync(file.handle()) == 0;
#endif
    return synced ? FileResult::done() : FileResult::systemError(errno);
}

// Creates the folder that is to hold `file` and any missing folder above it,
// each readable by its owner only, as per-user configuration folders are
// (a settings file's folder under ~/.config is made by its first save).
FileResult makeFolderFor(const QString& file)
{
    QStringList missing;
    for (QDir folder = QFileInfo(file).absoluteDir(); !folder.exists(); folder.setPath(QFileInfo(folder.path()).path())) {
        missing.prepend(folder.path());
        if (folder.isRoot())
            break;
    }
    for (const QString& folder : missing) {
        if (!QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) && !QFileInfo(folder).isDir())
            return FileResult::failed(QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    }
    return FileResult::done();
}

// Whether the file's mode forbids the caller to write it. The rename would
// replace a write-protected file as readily as any other, so this is asked
// first. Root passes every access() test, so for root a file is protected
// when its mode has no write bit at all; for anyone else the system decides
// by the effective user and groups, as it does for an open() for writing.
bool writeForbidden(const QString& file)
{
#ifdef Q_OS_WIN
    return !QFileInfo(file).isWritable();
#else
    const QByteArray name = QFile::encodeName(file);
    if (geteuid() == 0) {
        struct stat info {};
        return ::stat(name.constData(), &info) == 0 && (info.st_mode & 0222) == 0;
    }
    return ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0;
#endif
}

// Gives the new `file` the mode of the one at `target`, and on POSIX systems
// its owner and group as far as the caller may give them away: root always,
// others the group when they belong to it. The owner goes first, since a
// change of owner clears the set-id bits. A new file keeps what the umask gave.
FileResult keepModeAndOwner(const QString& target, QFile& file)
{
#ifdef Q_OS_WIN
    if (QFileInfo::exists(target))
        file.setPermissions(QFile::permissions(target));
    return FileResult::done();
#else
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) != 0)
        return FileResult::done();
    const int fd = file.handle();
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Neither may be given away: the file becomes the caller's, as any
        // file it makes does, and the save goes on.
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0)
        return FileResult::systemError(errno);
    return FileResult::done();
#endif
}

FileResult writeInPlace(const QString& target, std::string_view bytes)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return FileResult::failed(file.errorString());
    return writeAll(file, bytes);
}

// Runs with the file's lock held.
FileResult writeAndRename(const QString& target, std::string_view bytes)
{
    const QString temporary = target + QStringLiteral(".saving");
    // Left by a save that was killed: removed rather than reused, so that the
    // new file is certainly ours and no link planted under that name is followed.
    QFile::remove(temporary);
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return FileResult::failed(file.errorString());
    FileResult result = keepModeAndOwner(target, file);
    if (result.ok())
        result = writeAll(file, bytes);
    file.close();
    if (result.ok()) {
        std::error_code error;
        std::filesystem::rename(QFileInfo(temporary).filesystemFilePath(), QFileInfo(target).filesystemFilePath(), error);
        if (error)
            result = FileResult::failed(QString::fromStdString(error.message()));
    }
    if (!result.ok())
        QFile::remove(temporary);
    return result;
}

}  // namespace

FileResult ReplaceFileContents(const QString& path, std::string_view bytes, MissingFolder missingFolder)
{
    const QFileInfo given(path);
    QString target = given.absoluteFilePath();
    if (given.isSymbolicLink())
        target = given.exists() ? given.canonicalFilePath() : given.symLinkTarget();
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        return FileResult::failed(QStringLiteral("not a regular file"));
    if (info.exists() && writeForbidden(target))
        return FileResult::failed(QStringLiteral("the file is read-only"));
    // Without its folder, taking the lock fails with the system's reason.
    if (missingFolder == MissingFolder::Make) {
        if (FileResult made = makeFolderFor(target); !made.ok())
            return made;
    }

    FileLock lock(QFileInfo(target + QStringLiteral(".lock")).filesystemFilePath());
    const FileResult locked = lock.lock(kLockWait);
    if (locked.ok())
        return writeAndRename(target, bytes);
    // The folder allows no new files, so neither a lock nor a temporary file:
    // the one way left to save is over the old content.
    if (locked.status == FileResult::Status::Denied)
        return writeInPlace(target, bytes);
    return locked;
}
