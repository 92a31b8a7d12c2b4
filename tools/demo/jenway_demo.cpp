// Loads one build of the driver as a host program does and shows what it
// gives: title, description, channel names, one reading of each analog
// input and the reply log. Also a quick check of the cable and the port
// on a real instrument.
//
//   jenway_demo [port 1-5] [--set <nanometres>]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The driver's register convention, as a host binds it.
#define VJ_REGISTER __attribute__((regparm(3), stdcall))
typedef double(VJ_REGISTER* reading_fn)(int);
typedef int(VJ_REGISTER* integer_fn)(int);
typedef const char*(VJ_REGISTER* name_fn)(int);
typedef const char*(VJ_REGISTER* text_fn)();
typedef int(VJ_REGISTER* setting_fn)(int, int);

template <class F>
F bind(HMODULE dll, const char* name) {
    F f = reinterpret_cast<F>(GetProcAddress(dll, name));
    if (!f) {
        std::fprintf(stderr, "export %s missing\n", name);
        std::exit(2);
    }
    return f;
}

void show_memo() {
    std::printf("memo.txt:          \"");
    if (FILE* f = std::fopen("memo.txt", "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) {
            if (c >= 32 && c < 127) std::putchar(c);
            else std::printf("\\x%02X", c);
        }
        std::fclose(f);
    }
    std::printf("\"\n");
}

}  // namespace

int main(int argc, char** argv) {
    int port = 1;
    int set_nm = 0;
    bool set = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--set") == 0 && i + 1 < argc) {
            set = true;
            set_nm = std::atoi(argv[++i]);
        } else {
            port = std::atoi(argv[i]);
        }
    }
    if (port < 1 || port > 5) {
        std::fprintf(stderr, "usage: jenway_demo [port 1-5] [--set <nanometres>]\n");
        return 2;
    }
    char name[32];
    std::snprintf(name, sizeof name, "vantor_jenway_com%d.dll", port);
    HMODULE dll = LoadLibraryA(name);
    if (!dll) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", name, GetLastError());
        return 1;
    }

    std::printf("title:             %s\n", bind<text_fn>(dll, "titre")());
    std::printf("description:       %s\n", bind<text_fn>(dll, "detail")());
    const name_fn nead = bind<name_fn>(dll, "nead");
    const name_fn nsad = bind<name_fn>(dll, "nsad");
    for (int channel = 0; channel < 3; ++channel) std::printf("input %d:           %s\n", channel, nead(channel));
    std::printf("output 0:          %s\n", nsad(0));

    if (set) {
        bind<setting_fn>(dll, "sa")(0, set_nm);
        std::printf("set wavelength:    %d nm\n", set_nm);
    }
    const reading_fn ead = bind<reading_fn>(dll, "ead");
    const integer_fn ea = bind<integer_fn>(dll, "ea");
    for (int channel = 0; channel < 3; ++channel) {
        const double value = ead(channel);
        std::printf("%-18s %.6g%s\n", nead(channel), value, value == -777.0 ? "  (no reply: check cable and port)" : "");
    }
    std::printf("integer form:      %d nm, %d, %d (hundredths)\n", ea(0), ea(1), ea(2));
    show_memo();
    return 0;
}
