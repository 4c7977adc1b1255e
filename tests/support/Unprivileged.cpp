#include "support/Unprivileged.h"

#ifdef _WIN32
// No user there writes past a read-only attribute.
int RunUnprivileged(const std::function<int()>& body)
{
    return body();
}
#else
#include <sys/wait.h>
#include <unistd.h>

int RunUnprivileged(const std::function<int()>& body)
{
    if (geteuid() != 0)
        return body();
    const pid_t child = fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
            _exit(100);
        _exit(static_cast<unsigned char>(body()));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 101;
    return static_cast<signed char>(WEXITSTATUS(status));
}
#endif
