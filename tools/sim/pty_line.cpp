#include "pty_line.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string baud_text(speed_t speed) {
    static const struct {
        speed_t code;
        const char* baud;
    } rates[] = {
        {B0, "0"},         {B50, "50"},         {B75, "75"},         {B110, "110"},
        {B134, "134"},     {B150, "150"},       {B200, "200"},       {B300, "300"},
        {B600, "600"},     {B1200, "1200"},     {B1800, "1800"},     {B2400, "2400"},
        {B4800, "4800"},   {B9600, "9600"},     {B19200, "19200"},   {B38400, "38400"},
        {B57600, "57600"}, {B115200, "115200"}, {B230400, "230400"}, {B460800, "460800"},
    };
    for (const auto& r : rates)
        if (r.code == speed) return r.baud;
    return "other";
}

// A Linux pty clears PARENB whatever the Windows side asks, but keeps
// PARODD, CMSPAR and INPCK; Wine sets INPCK exactly when it asks for parity.
std::string parity_text(const termios& t) {
    if (!(t.c_cflag & PARENB) && !(t.c_iflag & INPCK)) return "none";
    if (t.c_cflag & CMSPAR) return t.c_cflag & PARODD ? "mark" : "space";
    return t.c_cflag & PARODD ? "odd" : "even";
}

// A Linux pty reports 8 whatever the Windows side asks.
std::string data_text(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5: return "5";
        case CS6: return "6";
        case CS7: return "7";
        default: return "8";
    }
}

}  // namespace

pty_line::pty_line(const std::string& link) : link_(link) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) fail("posix_openpt");
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0)
        fail("pty setup");
    slave_path_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) fail("open " + slave_path_);
    termios raw{};
    if (tcgetattr(slave_, &raw) != 0) fail("tcgetattr");
    cfmakeraw(&raw);
    if (tcsetattr(slave_, TCSANOW, &raw) != 0) fail("tcsetattr");

    // A rename replaces an old link in one step, so a reader never finds none.
    rmdir(link_.c_str());  // the placeholder of an unplugged port, if any
    const std::string temp = link_ + ".new" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(slave_path_.c_str(), temp.c_str()) != 0) fail("symlink " + temp);
    if (rename(temp.c_str(), link_.c_str()) != 0) {
        unlink(temp.c_str());
        fail("rename to " + link_);
    }
}

pty_line::~pty_line() {
    if (master_ >= 0) {
        if (owns_link()) unlink(link_.c_str());
        ::close(master_);
        ::close(slave_);
    } else if (placeholder_) {
        rmdir(link_.c_str());
    }
}

std::string pty_line::settings() const {
    // On Linux the master reports the slave's settings.
    termios t{};
    if (tcgetattr(master_, &t) != 0) return "unknown";
    return "baud=" + baud_text(cfgetospeed(&t)) + " data=" + data_text(t.c_cflag) +
           " parity=" + parity_text(t) + " stop=" + (t.c_cflag & CSTOPB ? "2" : "1");
}

void pty_line::discard_pending() {
    tcflush(slave_, TCIFLUSH);   // bytes sent to the Windows side, not yet read there
    tcflush(master_, TCIFLUSH);  // bytes the Windows side sent, not yet read here
}

void pty_line::unplug() {
    if (master_ < 0) return;
    // Checked while our pty still holds its number, which no other can reuse yet.
    if (owns_link()) {
        unlink(link_.c_str());
        placeholder_ = mkdir(link_.c_str(), 0755) == 0;
    }
    ::close(master_);
    ::close(slave_);
    master_ = slave_ = -1;
}

// Another simulator may have taken the name since.
bool pty_line::owns_link() const {
    char target[256];
    const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
    return n >= 0 && slave_path_ == std::string(target, static_cast<std::size_t>(n));
}
