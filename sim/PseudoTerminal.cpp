#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string failure(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(std::string& error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = failure("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || (name = ptsname(master_)) == nullptr) {
        error = failure("pseudo-terminal set-up");
        close();
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = failure(slavePath_.c_str());
        close();
        return false;
    }
    // Raw 8-bit line at the switch's speed: no echo, no line editing, no
    // CR/LF translation, no signals from control characters.
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0) {
        error = failure("tcgetattr");
        close();
        return false;
    }
    cfmakeraw(&settings);
    cfsetispeed(&settings, B115200);
    cfsetospeed(&settings, B115200);
    if (tcsetattr(slave_, TCSANOW, &settings) != 0 ||
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0 ||
        fcntl(master_, F_SETFD, FD_CLOEXEC) != 0) {
        error = failure("pseudo-terminal settings");
        close();
        return false;
    }
    return true;
}

bool PseudoTerminal::link(const std::string& path, std::string& error)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return false;
        }
        unlink(path.c_str());
    }
    if (symlink(slavePath_.c_str(), path.c_str()) != 0) {
        error = failure(path.c_str());
        return false;
    }
    linkPath_ = path;
    return true;
}

void PseudoTerminal::close()
{
    if (!linkPath_.empty()) {
        // Only our own link: another simulator may have taken the path over.
        char target[4096];
        const ssize_t length = readlink(linkPath_.c_str(), target, sizeof target);
        if (length >= 0 && slavePath_ == std::string(target, static_cast<std::size_t>(length)))
            unlink(linkPath_.c_str());
        linkPath_.clear();
    }
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = master_ = -1;
}

std::size_t PseudoTerminal::unreadAtSlave() const
{
    // Polling the slave first makes the terminal driver take in what is
    // still on its way from the master, so the count that follows is whole.
    pollfd entry{slave_, POLLIN, 0};
    poll(&entry, 1, 0);
    int unread = 0;
    if (ioctl(slave_, FIONREAD, &unread) != 0 || unread < 0)
        return 0;
    return static_cast<std::size_t>(unread);
}
