#pragma once

#include <QString>

#include <system_error>
#include <utility>

// How an operation on a file ended: what every file operation that can fail
// answers (reading and saving profile, layout and settings files, taking a
// file's lock, checking that a file holds a configuration). `reason` says
// why it was not done, in the system's words where it has them, ready for a
// box or the console; it is empty when it was.
struct FileResult {
    enum class Status {
        Done,     // read, written, locked
        Missing,  // no such file: nothing was read
        Exists,   // the file exists and was not to be replaced: nothing was written
        Denied,   // the folder allows no new file to be made in it
        Failed,   // anything else; a file that was to be written is as it was
    };

    Status status = Status::Done;
    QString reason;

    bool ok() const { return status == Status::Done; }

    static FileResult done() { return {}; }
    static FileResult failed(QString reason) { return {Status::Failed, std::move(reason)}; }
    // `status` with the system's words for `error` (an errno value) as the reason.
    static FileResult systemError(int error, Status status = Status::Failed)
    {
        return {status, QString::fromStdString(std::generic_category().message(error))};
    }
};
