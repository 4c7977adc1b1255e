#pragma once

#include <QByteArray>
#include <QString>

// Standard error as the command line uses it: messages one line each (only
// errors and warnings when quiet), and while it is a terminal a progress
// line that each report rewrites in place.
class ConsoleOutput {
public:
    explicit ConsoleOutput(bool quiet);

    void error(const QString& text);
    // Printed under quiet too, as errors are.
    void warning(const QString& text);
    void info(const QString& text);
    // "Sending configuration: 45 of 191 lines".
    void progress(const QString& what, int done, int total);
    // Takes the progress line away.
    void endProgress();

private:
    void print(const QString& text);

    bool quiet_;
    bool showProgress_;
    QString progressLine_;  // on the terminal now
};

// Writes `bytes` to standard output whole and flushes it: empty when done,
// else the system's reason ("No space left on device"), so that a script
// never takes a cut answer for a whole one.
QString WriteStandardOutput(const QByteArray& bytes);
