// instrument_sim --link PATH --control-file FILE [--verbose]
//
// Plays the spectrophotometer on a pseudo-terminal whose slave PATH links
// to, and takes control requests on a TCP port of 127.0.0.1 whose number
// it writes to FILE. Runs until SIGTERM, a "quit" request or the death of
// its parent; then removes the link.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "pty_line.hpp"
#include "simulator.hpp"

namespace {

struct options {
    std::string link;
    std::string control_file;
    bool verbose = false;
};

bool parse(int argc, char** argv, options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verbose") {
            o.verbose = true;
        } else if ((arg == "--link" || arg == "--control-file") && i + 1 < argc) {
            (arg == "--link" ? o.link : o.control_file) = argv[++i];
        } else {
            return false;
        }
    }
    return !o.link.empty() && !o.control_file.empty();
}

// Stop signals arrive through a descriptor the poll loop watches; the
// parent's death becomes one of them.
int stop_signals() {
    const pid_t parent = getppid();
    sigset_t stop;
    sigemptyset(&stop);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stop, s);
    if (sigprocmask(SIG_BLOCK, &stop, nullptr) != 0) throw std::runtime_error("sigprocmask");
    signal(SIGPIPE, SIG_IGN);
    const int fd = signalfd(-1, &stop, SFD_CLOEXEC);
    if (fd < 0) throw std::runtime_error("signalfd");
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) raise(SIGTERM);  // it died before we asked
    return fd;
}

int listen_local(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 16) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error(std::string("control socket: ") + std::strerror(errno));
    port = ntohs(addr.sin_port);
    return fd;
}

// Written under a temporary name and renamed, so a reader sees all or nothing.
void write_port(const std::string& file, int port) {
    const std::string temp = file + ".new" + std::to_string(getpid());
    {
        std::ofstream out(temp);
        out << port << "\n";
        if (!out.flush()) throw std::runtime_error("cannot write " + temp);
    }
    if (rename(temp.c_str(), file.c_str()) != 0) {
        unlink(temp.c_str());
        throw std::runtime_error("cannot rename " + temp + " to " + file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: %s --link PATH --control-file FILE [--verbose]\n", argv[0]);
        return 2;
    }
    try {
        const int signals = stop_signals();
        int port = 0;
        const int listener = listen_local(port);
        pty_line line(o.link);
        write_port(o.control_file, port);
        simulator(line, listener, signals, o.verbose).run();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "instrument_sim: %s\n", e.what());
        return 1;
    }
}
