// A stand-in for torvik-setup.exe that crashes: an access violation nobody
// handles. The filter keeps Wine's debugger (Windows' error report) away, so
// the process ends at once with the exception's code as its status.

#include <windows.h>

int main()
{
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return 0;
}
