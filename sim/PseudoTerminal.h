#pragma once

#include <cstddef>
#include <string>

// A pseudo-terminal pair standing in for a serial line. The slave end is set
// to raw mode and held open by this process, so the program on the other
// side can open and close the slave path at will while the master stays
// usable. The master is non-blocking.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with a message in `error` when the pair could not be made.
    bool open(std::string& error);

    // Makes `path` a symbolic link to the slave, replacing an earlier
    // symbolic link there but nothing else. The link is removed by close().
    bool link(const std::string& path, std::string& error);

    // Removes the link (if it still points here) and closes both ends: the
    // other side sees a hang-up.
    void close();

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Bytes written to the master that wait unread at the slave end, as far
    // as they fit the terminal's line buffer.
    std::size_t unreadAtSlave() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};
