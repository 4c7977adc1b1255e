#include "core/config/FileLock.h"

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FileResult FileLock::lock(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // Reading is enough for flock(), and lets anyone who may save the
        // file take over a lock file another user's program left behind.
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            const int error = errno;
            const bool folderDenied = (error == EACCES || error == EPERM || error == EROFS) &&
                                      !std::filesystem::exists(std::filesystem::symlink_status(path_));
            return FileResult::systemError(error, folderDenied ? FileResult::Status::Denied : FileResult::Status::Failed);
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us may have removed the file between our
            // open() and flock(): then this lock guards nothing, and the
            // file that has the name now is the one to lock.
            struct stat held {};
            struct stat named {};
            if (::fstat(fd, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino) {
                fd_ = fd;
                return FileResult::done();
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            return FileResult::systemError(error);
        if (std::chrono::steady_clock::now() >= deadline)
            return FileResult::failed(QStringLiteral("another program is saving it"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so whoever opens the name next makes a new
    // lock file rather than waiting on this one.
    ::unlink(path_.c_str());
    ::close(fd_);
}
