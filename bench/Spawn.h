#pragma once
// A program run as a process of its own: its wall time and peak memory, and
// the median of several runs. Shared by the start-up and command benchmarks.
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

struct Run {
    double ms;
    long peakKb;
};

// quiet: stdout goes to /dev/null, so that a program is timed making its
// text, not a terminal drawing it. A program that fails ends the benchmark.
inline Run runOnce(const QString &program, const QStringList &args, bool quiet = false)
{
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString &a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (auto &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t io;
    posix_spawn_file_actions_init(&io);
    if (quiet)
        posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &io, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ms = t.nsecsElapsed() / 1e6;
    posix_spawn_file_actions_destroy(&io);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return {ms, usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
