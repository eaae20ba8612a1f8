// SPDX-License-Identifier: MIT
// Start-up benchmark driver: starts the program's start-up (bench_app_startup)
// and an empty Qt main window (bench_empty_window) as child processes, one
// after the other, and times each whole process from fork to exit.
//
//   bench_startup <app-startup> <empty-window> <catalog-dir> [runs [text-window]]
//
// Prints "startup: app A ms, floor F ms, ratio R" with the medians; exits 1
// when a child fails (a catalog that did not open, a crash). Given a
// text-window program (bench_text_window), it is timed in the same rounds
// and printed for reference: the part of the start-up ratio that drawing
// any text at all costs.

#include "BenchCommon.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Wall time of one child run in ms, or a negative value when it failed.
double RunChild(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const double t0 = bench::NowMs();
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    const double elapsed = bench::NowMs() - t0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup: %s ended with status %d\n", args[0].c_str(), status);
        return -1;
    }
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: bench_startup <app-startup> <empty-window> <catalog-dir> [runs]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 15;
    const char* textWindow = argc > 5 ? argv[5] : nullptr;
    std::vector<double> app;
    std::vector<double> floor;
    std::vector<double> text;
    // One warm-up of each loads the libraries into the page cache.
    for (int run = 0; run <= runs; ++run) {
        const double f = RunChild({argv[2]});
        const double a = RunChild({argv[1], argv[3]});
        const double t = textWindow ? RunChild({textWindow}) : 0.0;
        if (a < 0 || f < 0 || t < 0)
            return 1;
        if (run == 0)
            continue;
        app.push_back(a);
        floor.push_back(f);
        text.push_back(t);
    }
    bench::PrintPairs("startup", app, floor);
    if (textWindow)
        std::printf("startup_text_window: %.1f ms, %.2f x the empty window "
                    "(reference: one label of Cyrillic text, no catalog)\n",
                    bench::Median(text), bench::Median(text) / bench::Median(floor));
    return 0;
}
