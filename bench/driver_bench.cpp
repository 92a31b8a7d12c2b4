// Times the com1 build as a host sees it, against the simulated instrument
// (run under tools/run-under-wine.sh, which starts the simulators):
//  1. one measurement end to end with every byte paced at 1200 baud both
//     ways, against the time its bytes need on the line;
//  2. the library's own cost per call with an instrument that answers at
//     once, wall and CPU;
//  3. that cost split by step, timing on com2 the same Win32 operations
//     each step performs (the build holds com1).
// Goal: median of measured / line time at most 1.02. Prints Markdown.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "channels/reply_fields.hpp"
#include "driver_call.hpp"
#include "sim_control.hpp"

namespace {

constexpr int kPacedSamples = 100;
constexpr int kUnpacedCalls = 400;
constexpr int kPrimitiveCalls = 2000;
constexpr double kCharSeconds = 10.0 / 1200.0;  // 10 bit times a character

struct channel_case {
    int32_t channel;
    const char* command;  // what the driver sends
    const char* reply;    // what the instrument answers, CR included
    double value;         // what ead must give
};
const channel_case kChannels[] = {
    {0, "A\r", " 0.452  546\r", 546.0},
    {1, "A\r", " 0.452  546\r", 0.452},
    {2, "T\r", " 35.31\r", 35.31},
};

volatile double sink;

double now_us() {
    static const double us_per_tick = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1e6 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * us_per_tick;
}

double filetime_us(const FILETIME& f) {
    return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10.0;
}

// User plus kernel time of the calling thread, in microseconds.
double thread_cpu_us() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return filetime_us(kernel) + filetime_us(user);
}

double process_cpu_us() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return filetime_us(kernel) + filetime_us(user);
}

// Nearest-rank percentile, p in (0, 100].
double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const std::size_t rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(v.size())));
    return v[std::max<std::size_t>(rank, 1) - 1];
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Mean wall time of one run of `body`, in microseconds.
template <class F>
double mean_us(int calls, F&& body) {
    const double t0 = now_us();
    for (int i = 0; i < calls; ++i) body();
    return (now_us() - t0) / calls;
}

bool ead_once(const driver& d, const channel_case& c) {
    call_args a;
    a.eax = static_cast<uint32_t>(c.channel);
    const call_outcome r = call(d.fn("ead"), a, true);
    return !r.raised && r.st0 == static_cast<long double>(c.value);
}

bool set_replies(sim_control& sim) {
    return sim.reply('A', kChannels[0].reply) && sim.reply('T', kChannels[2].reply);
}

void end_to_end(const driver& d) {
    std::printf("## One measurement at 1200 baud, end to end\n\n");
    std::printf("Simulator paces every byte both ways (10 bit times each) and answers at once. "
                "Line time = (command + reply bytes incl. CR) x 10/1200 s. %d measurements per channel.\n\n",
                kPacedSamples);
    std::printf("| channel | bytes on the line | line time ms | median ms | median / line | p99 / line "
                "(nearest rank) | wrong |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const channel_case& c : kChannels) {
        const std::size_t bytes = std::strlen(c.command) + std::strlen(c.reply);
        const double line_ms = static_cast<double>(bytes) * kCharSeconds * 1000.0;
        ead_once(d, c);  // warm-up
        std::vector<double> ms, ratio;
        int wrong = 0;
        for (int i = 0; i < kPacedSamples; ++i) {
            const double t0 = now_us();
            wrong += !ead_once(d, c);
            const double took = (now_us() - t0) / 1000.0;
            ms.push_back(took);
            ratio.push_back(took / line_ms);
        }
        std::printf("| %d | %zu | %.2f | %.2f | %.4f | %.4f | %d |\n", c.channel, bytes, line_ms, median(ms),
                    median(ratio), percentile(ratio, 99), wrong);
    }
    std::printf("\nGoal: median / line at most 1.02.\n\n");
}

// Returns the median wall time of ead on channel 1.
double library_cost(const driver& d) {
    std::printf("## Library cost per call, instrument answering at once (unpaced)\n\n");
    std::printf("Wall: median of %d calls. CPU: user+kernel time of the calling thread (GetThreadTimes) and of "
                "the process (GetProcessTimes) over all calls, divided by the count; their clock ticks coarsely "
                "(10-16 ms), hence the many calls. `ead` polls without pause while it waits, so its CPU time "
                "includes the wait for the simulator's answer.\n\n",
                kUnpacedCalls);
    std::printf("| call | median wall us | mean wall us | thread CPU us | process CPU us | wrong |\n");
    std::printf("|---|---|---|---|---|---|\n");
    auto row = [](const char* name, auto&& once) {
        once();
        std::vector<double> wall;
        int wrong = 0;
        const double t0 = now_us(), thread0 = thread_cpu_us(), process0 = process_cpu_us();
        for (int i = 0; i < kUnpacedCalls; ++i) {
            const double s = now_us();
            wrong += !once();
            wall.push_back(now_us() - s);
        }
        const double n = kUnpacedCalls;
        std::printf("| %s | %.1f | %.1f | %.1f | %.1f | %d |\n", name, median(wall), (now_us() - t0) / n,
                    (thread_cpu_us() - thread0) / n, (process_cpu_us() - process0) / n, wrong);
        return median(wall);
    };
    double absorbance_us = 0;
    for (const channel_case& c : kChannels) {
        const std::string name = "ead channel " + std::to_string(c.channel);
        const double us = row(name.c_str(), [&] { return ead_once(d, c); });
        if (c.channel == 1) absorbance_us = us;
    }
    row("sad channel 0, 546.0 (sends G546 CR)", [&] {
        call_args a;
        push_double(a.words, 546.0);
        const call_outcome r = call(d.fn("sad"), a, true);
        return !r.raised && r.st0 == -777.0L;
    });
    std::printf("\n");
    return absorbance_us;
}

// com2 opened and set up as the driver sets up its port.
HANDLE open_like_the_driver(const char* name) {
    HANDLE port = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (port == INVALID_HANDLE_VALUE) return port;
    SetupComm(port, 256, 256);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    BuildCommDCBA("baud=1200 parity=o data=7 stop=1", &dcb);
    SetCommState(port, &dcb);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 1000;
    timeouts.WriteTotalTimeoutConstant = 1000;
    SetCommTimeouts(port, &timeouts);
    return port;
}

DWORD waiting(HANDLE port) {
    DWORD errors = 0;
    COMSTAT stat{};
    ClearCommError(port, &errors, &stat);
    return stat.cbInQue;
}

// The reply's bytes, read as the driver reads them: one poll and a
// one-byte read each. Returns the count read.
int read_reply(HANDLE port, const char* reply) {
    const std::size_t length = std::strlen(reply);
    std::size_t got = 0;
    const DWORD t0 = GetTickCount();
    while (got < length && GetTickCount() - t0 <= 1000) {
        uint8_t byte;
        DWORD n = 0;
        if (waiting(port) != 0 && ReadFile(port, &byte, 1, &n, nullptr) && n == 1) ++got;
    }
    return static_cast<int>(got);
}

void step_split(sim_control& sim, double ead_us) {
    std::printf("## Cost by step\n\n");
    std::printf("The same Win32 operations as each step of `ead`, timed on com2 (its own simulator, unpaced), "
                "the log in the working directory; conversion timed on the reply line in process. Mean of "
                "%d runs each, except where noted.\n\n",
                kPrimitiveCalls);
    HANDLE port = open_like_the_driver("com2:");
    if (port == INVALID_HANDLE_VALUE || !sim.reset() || !set_replies(sim)) {
        std::printf("com2 or its simulator is not available: no split.\n\n");
        if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
        return;
    }
    std::printf("| step | what is timed | us |\n|---|---|---|\n");

    const double poll = mean_us(kPrimitiveCalls, [&] { sink = waiting(port); });
    const double tick = mean_us(kPrimitiveCalls, [] { sink = GetTickCount(); });
    std::printf("| drain, line quiet | one ClearCommError that finds nothing waiting | %.2f |\n", poll);
    std::printf("| deadline check | one GetTickCount (every poll of a wait) | %.3f |\n", tick);

    // A command, then its whole reply once it has arrived: the reading
    // cost without the wait for the instrument.
    const channel_case& a = kChannels[1];
    const int exchanges = 100;
    double write_us = 0, read_us = 0, exchange_us = 0;
    int short_replies = 0;
    for (int i = 0; i < exchanges; ++i) {
        const double t0 = now_us();
        DWORD written = 0;
        WriteFile(port, a.command, 2, &written, nullptr);
        const double t1 = now_us();
        short_replies += read_reply(port, a.reply) != static_cast<int>(std::strlen(a.reply));
        exchange_us += now_us() - t0;
        write_us += t1 - t0;

        WriteFile(port, a.command, 2, &written, nullptr);
        for (const DWORD since = GetTickCount(); waiting(port) < std::strlen(a.reply) && GetTickCount() - since < 1000;)
            Sleep(1);
        const double t2 = now_us();
        read_reply(port, a.reply);
        read_us += now_us() - t2;
    }
    std::printf("| command | WriteFile of \"A\" CR (%d runs) | %.1f |\n", exchanges, write_us / exchanges);
    std::printf("| reply, already queued | %zu x (ClearCommError + ReadFile of 1 byte), \"A\" reply (%d runs) "
                "| %.1f |\n",
                std::strlen(a.reply), exchanges, read_us / exchanges);
    std::printf("| command and reply | WriteFile, then polling until the reply's CR: includes the simulator's "
                "turnaround (%d runs, %d short) | %.1f |\n",
                exchanges, short_replies, exchange_us / exchanges);

    const char line[] = " 0.452  546\r\n";
    const double log = mean_us(kPrimitiveCalls / 4, [&] {
        HANDLE f = CreateFileA("memo.txt", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(f, line, sizeof line - 1, &written, nullptr);
        CloseHandle(f);
    });
    std::printf("| log rewrite | CreateFileA + WriteFile of 13 bytes + CloseHandle of memo.txt (%d runs) | %.1f |\n",
                kPrimitiveCalls / 4, log);

    double absorbance_convert = 0;
    for (const channel_case& c : kChannels) {
        const std::size_t length = std::strlen(c.reply) - 1;
        const double convert = mean_us(kPrimitiveCalls * 50, [&] {
            sink = channels::field_value(c.channel, reinterpret_cast<const uint8_t*>(c.reply), length);
        });
        if (c.channel == 1) absorbance_convert = convert;
        std::printf("| conversion, channel %d | field cut%s + parse_number (channels::field_value, %d runs) | "
                    "%.3f |\n",
                    c.channel, c.channel == 0 ? " + keep_numeric" : "", kPrimitiveCalls * 50, convert);
    }
    const double sum = poll + write_us / exchanges + read_us / exchanges + log + absorbance_convert;
    std::printf("| sum, channel 1 | drain + command + queued reply + log rewrite + conversion | %.1f |\n", sum);
    std::printf("| ead channel 1 | measured through the build (median, previous table) | %.1f |\n", ead_us);
    CloseHandle(port);
    std::printf("\n");
}

}  // namespace

int main() {
    sim_control sim1("VJ_SIM1_PORT"), sim2("VJ_SIM2_PORT");
    if (!sim1.reset() || !set_replies(sim1)) {
        std::fprintf(stderr, "driver_bench: no simulator on com1 (%s); run under tools/run-under-wine.sh\n",
                     sim1.last_response().c_str());
        return 1;
    }
    try {
        driver d(1);
        std::printf("# Driver benchmark (vantor_jenway_com1.dll)\n\n");
        if (!sim1.pace(true)) return 1;
        end_to_end(d);
        if (!sim1.pace(false)) return 1;
        step_split(sim2, library_cost(d));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "driver_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
