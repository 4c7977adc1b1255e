#include "core/config/FileLock.h"

#include <system_error>
#include <thread>

#include <windows.h>

FileLock::Result FileLock::lock(std::chrono::milliseconds wait, std::string& reason)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // Opened without sharing, so no one else can open it while it is
        // held, and deleted when the handle closes: when the program ends,
        // however it ends, the system closes the handle and the file goes.
        const HANDLE handle = CreateFileW(path_.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = handle;
            return Result::Locked;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION) {
            reason = std::system_category().message(static_cast<int>(error));
            return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? Result::Denied : Result::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            reason = "another program is saving it";
            return Result::Busy;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock()
{
    if (handle_)
        CloseHandle(handle_);
}
