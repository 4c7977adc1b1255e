#pragma once

#include "core/config/FileResult.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// File names as the system spells them, and a file opened by such a name.
//
// On POSIX systems a name is bytes, and they need not be valid UTF-8 (a
// Latin-1 "B\xFCro.ini" under a UTF-8 locale), while Qt decodes names as
// UTF-8 and turns such bytes into U+FFFD, so that the name leads to another
// file. A name from the command line is therefore decoded with each byte
// that is not part of valid UTF-8 kept as the code point U+DC00 + byte (a
// lone surrogate, which no decoded name holds), and the file code reaches
// the system through NativePath(), which gives these bytes back. On Windows
// names are UTF-16 and Qt's own decoding keeps them.

#ifndef _WIN32
// `bytes` as a name: UTF-8, with the bytes that are not valid UTF-8 kept.
QString FileNameFromBytes(std::string_view bytes);
#endif

// The name as the system takes it: the bytes given (POSIX), or UTF-16 (Windows).
std::filesystem::path NativePath(const QString& name);
// The path as a person reads it, in the system's separators.
QString DisplayName(const std::filesystem::path& path);

// A file descriptor, closed when it goes. Every failure answers the
// system's words for its error.
class NativeFile {
public:
    NativeFile() = default;
    ~NativeFile();
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    enum class Mode {
        Read,       // an existing file, or pipe, for reading
        Write,      // a file for writing, made when missing; its content kept until written over
        CreateNew,  // a new file for writing; fails when the name is taken
    };
    FileResult open(const std::filesystem::path& path, Mode mode);

    // Appends up to `most` bytes to `bytes`, reading until the end or the limit.
    FileResult readUpTo(std::string& bytes, std::size_t most);
    FileResult writeAll(std::string_view bytes);
    // Makes the file at least `size` bytes long, its space taken from the
    // disk, so that writing `size` bytes over it cannot meet a full disk
    // half-way. On failure the file is as it was.
    FileResult reserve(int64_t size);
    FileResult truncate(int64_t size);
    // On the disk, not only in the system's cache.
    FileResult sync();

    int handle() const { return fd_; }

private:
    int fd_ = -1;
};
