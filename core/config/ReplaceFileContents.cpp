#include "core/config/ReplaceFileContents.h"

#include "core/config/FileLock.h"
#include "core/config/NativeFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef Q_OS_WIN
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

namespace fs = std::filesystem;

constexpr std::chrono::milliseconds kLockWait(3000);

// Symbolic links followed one by one, as the system follows them.
constexpr int kMostLinks = 40;

// Writes `bytes` over the start of `file` and ends it there. The space is
// reserved first, so that a full disk stops the save before anything is
// written, and the content is on the disk before the call returns: a
// rename must not make an empty file the file's content after a power
// failure.
FileResult writeAll(NativeFile& file, std::string_view bytes)
{
    const auto size = static_cast<int64_t>(bytes.size());
    FileResult result = file.reserve(size);
    if (result.ok())
        result = file.writeAll(bytes);
    if (result.ok())
        result = file.truncate(size);
    if (result.ok())
        result = file.sync();
    return result;
}

// Creates the folder that is to hold `file` and any missing folder above it,
// each readable by its owner only, as per-user configuration folders are
// (a settings file's folder under ~/.config is made by its first save).
FileResult makeFolderFor(const fs::path& file)
{
    std::vector<fs::path> missing;
    std::error_code error;
    for (fs::path folder = file.parent_path(); !folder.empty() && !fs::exists(folder, error);
         folder = folder.parent_path()) {
        missing.push_back(folder);
        if (folder == folder.parent_path())
            break;
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
#ifdef Q_OS_WIN
        const bool made = fs::create_directory(*folder, error);
#else
        const bool made = ::mkdir(folder->c_str(), 0700) == 0;
#endif
        if (!made && !fs::is_directory(*folder, error))
            return FileResult::failed(QStringLiteral("cannot create the folder %1")
                                          .arg(DisplayName(*folder)));
    }
    return FileResult::done();
}

// Whether the file's mode forbids the caller to write it. The rename would
// replace a write-protected file as readily as any other, so this is asked
// first. Root passes every access() test, so for root a file is protected
// when its mode has no write bit at all; for anyone else the system decides
// by the effective user and groups, as it does for an open() for writing.
bool writeForbidden(const fs::path& file)
{
#ifdef Q_OS_WIN
    std::error_code error;
    return (fs::status(file, error).permissions() & fs::perms::owner_write) == fs::perms::none;
#else
    if (geteuid() == 0) {
        struct stat info {};
        return ::stat(file.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
    }
    return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
#endif
}

// Gives the new `file` the mode of the one at `target`, and on POSIX systems
// its owner and group as far as the caller may give them away: root always,
// others the group when they belong to it. The owner goes first, since a
// change of owner clears the set-id bits. A new file keeps what the umask gave.
FileResult keepModeAndOwner(const fs::path& target, const fs::path& temporary, const NativeFile& file)
{
#ifdef Q_OS_WIN
    Q_UNUSED(file);
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    if (!error)
        fs::permissions(temporary, old.permissions(), error);
    return FileResult::done();
#else
    Q_UNUSED(temporary);
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0)
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

FileResult writeInPlace(const fs::path& target, std::string_view bytes)
{
    NativeFile file;
    FileResult result = file.open(target, NativeFile::Mode::Write);
    return result.ok() ? writeAll(file, bytes) : result;
}

// Runs with the file's lock held.
FileResult writeAndRename(const fs::path& target, std::string_view bytes)
{
    fs::path temporary = target;
    temporary += ".saving";
    // Left by a save that was killed: removed rather than reused, so that the
    // new file is certainly ours and no link planted under that name is followed.
    std::error_code error;
    fs::remove(temporary, error);
    FileResult result;
    {
        NativeFile file;
        result = file.open(temporary, NativeFile::Mode::CreateNew);
        if (!result.ok())
            return result;
        result = keepModeAndOwner(target, temporary, file);
        if (result.ok())
            result = writeAll(file, bytes);
    }
    if (result.ok()) {
        fs::rename(temporary, target, error);
        if (error)
            result = FileResult::failed(QString::fromStdString(error.message()));
    }
    if (!result.ok())
        fs::remove(temporary, error);
    return result;
}

// The file a save through `given` writes: the file itself, or the end of its
// chain of symbolic links, which need not exist yet. A loop of links leads
// to no file.
FileResult resolveLinks(fs::path given, fs::path& target)
{
    std::error_code error;
    given = fs::absolute(given, error);
    for (int link = 0; link <= kMostLinks; ++link) {
        if (!fs::is_symlink(fs::symlink_status(given, error))) {
            target = given;
            return FileResult::done();
        }
        const fs::path next = fs::read_symlink(given, error);
        if (error)
            return FileResult::failed(QString::fromStdString(error.message()));
        given = next.is_absolute() ? next : given.parent_path() / next;
    }
    return FileResult::systemError(ELOOP);
}

}  // namespace

FileResult ReplaceFileContents(const QString& path, std::string_view bytes, MissingFolder missingFolder)
{
    fs::path target;
    if (FileResult resolved = resolveLinks(NativePath(path), target); !resolved.ok())
        return resolved;
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_regular_file(status))
        return FileResult::failed(QStringLiteral("not a regular file"));
    if (exists && writeForbidden(target))
        return FileResult::failed(QStringLiteral("the file is read-only"));
    // Without its folder, taking the lock fails with the system's reason.
    if (missingFolder == MissingFolder::Make) {
        if (FileResult made = makeFolderFor(target); !made.ok())
            return made;
    }

    fs::path lockPath = target;
    lockPath += ".lock";
    FileLock lock(lockPath);
    const FileResult locked = lock.lock(kLockWait);
    if (locked.ok())
        return writeAndRename(target, bytes);
    // The folder allows no new files, so neither a lock nor a temporary file:
    // the one way left to save is over the old content.
    if (locked.status == FileResult::Status::Denied)
        return writeInPlace(target, bytes);
    return locked;
}
