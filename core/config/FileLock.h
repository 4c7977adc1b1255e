#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>

// An exclusive lock through a lock file, held while a program saves the file
// the lock belongs to, so that programs saving the same file take turns.
// Releasing it removes the lock file. The system releases the lock of a
// program that dies, however it dies; the next program takes over a lock
// file it left behind.
class FileLock {
public:
    enum class Result {
        Locked,
        Busy,    // another program held the lock for the whole wait
        Denied,  // the folder allows no lock file to be made
        Failed,
    };

    explicit FileLock(std::filesystem::path path) : path_(std::move(path)) {}
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits up to `wait` for the lock; unless it is Locked, `reason` says why.
    Result lock(std::chrono::milliseconds wait, std::string& reason);

private:
    std::filesystem::path path_;
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};
