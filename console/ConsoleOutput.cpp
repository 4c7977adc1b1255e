#include "console/ConsoleOutput.h"

#include "core/link/TransferMessages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool standardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace

ConsoleOutput::ConsoleOutput(bool quiet) : quiet_(quiet), showProgress_(!quiet && standardErrorIsTerminal()) {}

void ConsoleOutput::error(const QString& text)
{
    print(text);
}

void ConsoleOutput::warning(const QString& text)
{
    print(text);
}

void ConsoleOutput::info(const QString& text)
{
    if (!quiet_)
        print(text);
}

void ConsoleOutput::progress(const QString& what, int done, int total)
{
    if (!showProgress_)
        return;
    const QString text =
        total > 0 ? QStringLiteral("%1: %2").arg(what, LinesText(QString::number(done), QString::number(total))) : what;
    if (text == progressLine_)
        return;
    // Spaces cover what is left of a longer line before.
    std::fprintf(stderr, "\r%s", text.leftJustified(progressLine_.size()).toLocal8Bit().constData());
    std::fflush(stderr);
    progressLine_ = text;
}

void ConsoleOutput::endProgress()
{
    if (progressLine_.isEmpty())
        return;
    std::fprintf(stderr, "\r%s\r", QString(progressLine_.size(), QLatin1Char(' ')).toLocal8Bit().constData());
    std::fflush(stderr);
    progressLine_.clear();
}

void ConsoleOutput::print(const QString& text)
{
    endProgress();
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

QString WriteStandardOutput(const QByteArray& bytes)
{
    errno = 0;
    const auto size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stdout) == size && std::fflush(stdout) == 0)
        return QString();
    return errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("write error");
}
