#pragma once

#include "core/config/FileResult.h"

#include <chrono>
#include <filesystem>
#include <utility>

// An exclusive lock through a lock file, held while a program saves the file
// the lock belongs to, so that programs saving the same file take turns.
// Releasing it removes the lock file. The system releases the lock of a
// program that dies, however it dies; the next program takes over a lock
// file it left behind.
class FileLock {
public:
    explicit FileLock(std::filesystem::path path) : path_(std::move(path)) {}
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits up to `wait` for the lock: Done once it is held; Denied when the
    // folder allows no lock file to be made; Failed when another program
    // held the lock for the whole wait, or the system refused it.
    FileResult lock(std::chrono::milliseconds wait);

private:
    std::filesystem::path path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};
