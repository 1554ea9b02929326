// The program's front door, without Qt, so that choosing costs nothing: a
// command (list, query …, help) and --help or --version go to parcelio-cli,
// which needs no display and no Qt Widgets; anything else starts the window,
// parcelio-window. Either takes over this process (exec), so the caller sees
// its exit status and its signals.
// Plain C library calls only: the C++ library would be one more to load
// before the real program starts.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {
bool goesToCommands(int argc, char *argv[])
{
    if (argc < 2)
        return false;
    const char *first = argv[1];
    // A word is a command (or a mistake the commands explain).
    if (first[0] != '-')
        return true;
    for (const char *own : {"-h", "--help", "-v", "--version"})
        if (std::strcmp(first, own) == 0)
            return true;
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        std::fprintf(stderr, "parcelio: cannot find its own folder: %s\n", std::strerror(errno));
        return 1;
    }
    self[n] = '\0';
    char dir[PATH_MAX];
    std::memcpy(dir, self, size_t(n) + 1);
    *std::strrchr(dir, '/') = '\0';
    // Where the user's files live is decided by this folder, not by the
    // one the window or the commands are installed in.
    setenv("PARCELIO_PROGRAM_DIR", dir, 1);
    const char *name = goesToCommands(argc, argv) ? "parcelio-cli" : "parcelio-window";
    // Beside this program in a build or portable folder; installed, in the
    // program's own library folder.
    for (const char *format : {"%s/%s", "%s/" PARCELIO_MODULE_RELDIR "/%s"}) {
        char candidate[PATH_MAX];
        const int length = std::snprintf(candidate, sizeof candidate, format, dir, name);
        if (length < 0 || size_t(length) >= sizeof candidate || access(candidate, X_OK) != 0)
            continue;
        execv(candidate, argv);
        std::fprintf(stderr, "parcelio: cannot start %s: %s\n", candidate, std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "parcelio: %s is missing beside %s\n", name, self);
    return 1;
}
