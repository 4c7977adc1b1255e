#include "gui/platform/ProbeDisplay.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstring>

namespace {

bool x11Answers(const QString& name)
{
    // xcb_connect always answers a connection, one in error when the
    // display cannot be reached or refuses us; either is disconnected.
    xcb_connection_t* connection = xcb_connect(name.toLocal8Bit().constData(), nullptr);
    const bool answered = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answered;
}

// The compositor's socket where libwayland looks for it: the name itself
// when it is a path, else in XDG_RUNTIME_DIR. Connected to directly, as
// libwayland would print its own reasons to standard error.
bool waylandAnswers(const QString& name)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(name) && runtime.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(QDir::isAbsolutePath(name) ? name : runtime + QLatin1Char('/') + name);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const bool answered = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(socket);
    return answered;
}

}  // namespace

bool ProbeDisplay(DisplayServer server, const QString& name)
{
    return server == DisplayServer::X11 ? x11Answers(name) : waylandAnswers(name);
}
