#include "core/config/NativeFile.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapedByte = 0xDC00;

// The length of the valid UTF-8 sequence `text` starts with, or 0: no
// overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t validSequence(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

}  // namespace

QString FileNameFromBytes(std::string_view bytes)
{
    QString name;
    while (!bytes.empty()) {
        if (const std::size_t length = validSequence(bytes)) {
            name += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(length));
            bytes.remove_prefix(length);
        } else {
            name += QChar(static_cast<char16_t>(kEscapedByte + static_cast<unsigned char>(bytes.front())));
            bytes.remove_prefix(1);
        }
    }
    return name;
}

std::filesystem::path NativePath(const QString& name)
{
    std::string bytes;
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        bytes += name.mid(start, end - start).toStdString();
        start = end + 1;
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool escaped = unit >= kEscapedByte + 0x80 && unit <= kEscapedByte + 0xFF &&
                             !(i > 0 && name[i - 1].isHighSurrogate());
        if (escaped) {
            flush(i);
            bytes += static_cast<char>(unit - kEscapedByte);
        }
    }
    flush(name.size());
    return std::filesystem::path(bytes);
}

QString DisplayName(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

NativeFile::~NativeFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FileResult NativeFile::open(const std::filesystem::path& path, Mode mode)
{
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::Write:
        flags |= O_WRONLY | O_CREAT;
        break;
    case Mode::CreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    }
    fd_ = ::open(path.c_str(), flags, 0666);
    return fd_ >= 0 ? FileResult::done() : FileResult::systemError(errno);
}

FileResult NativeFile::readUpTo(std::string& bytes, std::size_t most)
{
    char buffer[65536];
    while (most > 0) {
        const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, most));
        if (got < 0 && errno == EINTR)
            continue;
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
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return FileResult::systemError(errno);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return FileResult::done();
}

FileResult NativeFile::reserve(int64_t size)
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return FileResult::systemError(errno);
    // Returns the error rather than setting errno.
    const int error = size > 0 ? ::posix_fallocate(fd_, 0, static_cast<off_t>(size)) : 0;
    if (error == 0)
        return FileResult::done();
    // A reservation that failed part-way may have grown the file.
    if (::ftruncate(fd_, info.st_size) != 0) {
        // The first error is the one to report.
    }
    return FileResult::systemError(error);
}

FileResult NativeFile::truncate(int64_t size)
{
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? FileResult::done() : FileResult::systemError(errno);
}

FileResult NativeFile::sync()
{
    return ::fsync(fd_) == 0 ? FileResult::done() : FileResult::systemError(errno);
}
