#include "app/WindowsConsole.h"

#ifdef _WIN32
#include <cstdio>

#include <windows.h>

namespace {

bool redirected(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

bool UseParentConsole()
{
    const bool output = redirected(STD_OUTPUT_HANDLE);
    const bool error = redirected(STD_ERROR_HANDLE);
    if (output && error)
        return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return output || error;
    if (!output && !std::freopen("CONOUT$", "w", stdout))
        return error;
    if (!error && !std::freopen("CONOUT$", "w", stderr))
        return output;
    return true;
}
#else
bool UseParentConsole()
{
    return true;
}
#endif
