// The instrument's end of the serial line: the master of a pseudo-terminal
// whose slave, reached through a symbolic link, is the device that the
// Windows side opens as its COM port.
#pragma once

#include <string>

class pty_line {
public:
    // Opens the pty, puts the slave in raw mode and points `link` at it,
    // replacing an old link. Throws std::runtime_error on failure.
    explicit pty_line(const std::string& link);
    ~pty_line();
    pty_line(const pty_line&) = delete;
    pty_line& operator=(const pty_line&) = delete;

    bool is_open() const { return master_ >= 0; }
    int master() const { return master_; }

    // The settings the Windows side gave its end, as
    // "baud=<n> data=<5..8> parity=<none|odd|even|mark|space> stop=<1|2>".
    std::string settings() const;

    // Throws away bytes not yet read on either end.
    void discard_pending();

    // Plays an unplugged adapter: both ends close and an empty directory
    // takes the link's place. Under Wine a port whose device is missing
    // still opens, as a dead device that can bring the process down; a
    // directory makes the open fail instead.
    void unplug();

private:
    bool owns_link() const;

    int master_ = -1;
    // Held open so that the master never sees a hang-up when the Windows
    // side closes its end.
    int slave_ = -1;
    std::string slave_path_;
    std::string link_;
    bool placeholder_ = false;  // the directory that unplug() left
};
