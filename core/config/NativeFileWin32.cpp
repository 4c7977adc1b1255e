#include "core/config/NativeFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

std::filesystem::path NativePath(const QString& name)
{
    return std::filesystem::path(name.toStdWString());
}

QString DisplayName(const std::filesystem::path& path)
{
    return QString::fromStdWString(path.wstring()).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

NativeFile::~NativeFile()
{
    if (fd_ >= 0)
        ::_close(fd_);
}

FileResult NativeFile::open(const std::filesystem::path& path, Mode mode)
{
    int flags = _O_BINARY | _O_NOINHERIT;
    switch (mode) {
    case Mode::Read:
        flags |= _O_RDONLY;
        break;
    case Mode::Write:
        flags |= _O_WRONLY | _O_CREAT;
        break;
    case Mode::CreateNew:
        flags |= _O_WRONLY | _O_CREAT | _O_EXCL;
        break;
    }
    fd_ = ::_wopen(path.c_str(), flags, _S_IREAD | _S_IWRITE);
    return fd_ >= 0 ? FileResult::done() : FileResult::systemError(errno);
}

FileResult NativeFile::readUpTo(std::string& bytes, std::size_t most)
{
    char buffer[65536];
    while (most > 0) {
        const int got = ::_read(fd_, buffer, static_cast<unsigned>(std::min(sizeof buffer, most)));
        if (got < 0)
            return FileResult::systemError(errno);
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        most -= static_cast<std::size_t>(got);
    }
    return FileResult::done();
}

FileResult NativeFile::writeAll(std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX));
        const int written = ::_write(fd_, bytes.data(), chunk);
        if (written < 0)
            return FileResult::systemError(errno);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return FileResult::done();
}

FileResult NativeFile::reserve(int64_t size)
{
    // Growing a file allocates its clusters.
    const int64_t current = ::_filelengthi64(fd_);
    if (current < 0)
        return FileResult::systemError(errno);
    if (size <= current)
        return FileResult::done();
    const errno_t error = ::_chsize_s(fd_, size);
    if (error == 0)
        return FileResult::done();
    ::_chsize_s(fd_, current);
    return FileResult::systemError(error);
}

FileResult NativeFile::truncate(int64_t size)
{
    const errno_t error = ::_chsize_s(fd_, size);
    return error == 0 ? FileResult::done() : FileResult::systemError(error);
}

FileResult NativeFile::sync()
{
    return ::_commit(fd_) == 0 ? FileResult::done() : FileResult::systemError(errno);
}
