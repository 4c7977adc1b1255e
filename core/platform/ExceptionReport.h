#pragma once

#include <QString>

#include <exception>
#include <functional>

// The application's central exception report: an exception that escapes an
// event handler ends here, and the reporter shows its message to the user.
using ExceptionReporter = std::function<void(const QString& message)>;

// Installs the reporter (main: an error box; tests: a recorder).
void SetExceptionReporter(ExceptionReporter reporter);

// Reports on the user-interface thread; from another thread the report is
// queued to it. Without a reporter the message goes to the log.
void ReportException(const std::exception& error);
