#include "core/platform/ExceptionReport.h"

#include <QCoreApplication>
#include <QThread>
#include <QtDebug>

namespace {

ExceptionReporter& reporter()
{
    static ExceptionReporter instance;
    return instance;
}

void report(const QString& message)
{
    if (reporter())
        reporter()(message);
    else
        qWarning("%s", qPrintable(message));
}

}  // namespace

void SetExceptionReporter(ExceptionReporter newReporter)
{
    reporter() = std::move(newReporter);
}

void ReportException(const std::exception& error)
{
    const QString message = QString::fromLocal8Bit(error.what());
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread())
        QMetaObject::invokeMethod(app, [message] { report(message); }, Qt::QueuedConnection);
    else
        report(message);
}
