#include "core/config/FileLock.h"

#include <system_error>
#include <thread>

#include <windows.h>

FileResult FileLock::lock(std::chrono::milliseconds wait)
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
            return FileResult::done();
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION) {
            const bool folderDenied = error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
            return {folderDenied ? FileResult::Status::Denied : FileResult::Status::Failed,
                    QString::fromStdString(std::system_category().message(static_cast<int>(error)))};
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return FileResult::failed(QStringLiteral("another program is saving it"));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock()
{
    if (handle_)
        CloseHandle(handle_);
}
