#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// A pseudo-terminal pair standing in for a serial line: the test holds the
// master side and the code under test opens slavePath(). The terminal starts
// in raw mode, so bytes pass unchanged and nothing is echoed even before the
// code under test configures it.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // False when no pseudo-terminal could be made.
    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes all bytes unless `limit` passes first; true when all went out.
    bool write(std::string_view bytes, std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Reads until `count` bytes have arrived or `limit` has passed, and
    // returns what arrived. A limit of 0 takes only what is there.
    std::string read(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5));

    // The far end hangs up: the master side is closed.
    void closeMaster();

private:
    int master_ = -1;
    std::string slavePath_;
};
