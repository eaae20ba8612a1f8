// SPDX-License-Identifier: MIT
// veltrum-catalog check against SQLite's own PRAGMA quick_check on the same
// catalog: time and peak memory, each run as a child process.
//
//   bench_catalog_check <veltrum-catalog> <catalog-dir> [pairs]
//
// Runs the pairs (quick_check first, then the tool), each a fresh process
// whose peak resident size comes from wait4. Prints
//   catalog_check_<blocks>: tool T ms, quick_check Q ms, ratio R (min, max);
//     peak memory tool M MiB, quick_check N MiB
// The ratio is the median over the pairs of the tool's time over
// quick_check's. Informational: bench/run rates no target on it. The same
// program, started as "bench_catalog_check --quick-check <db>", is the
// floor's child.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int QuickCheck(const char* path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return 1;
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &statement, nullptr);
    bool ok = rc == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW &&
              std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))) == "ok";
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ok ? 0 : 1;
}

struct ChildRun {
    double ms = 0;
    long peakKiB = 0;
    int status = -1;
};

// Runs argv as a child with standard output thrown away.
ChildRun RunChild(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    ChildRun run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

long BlockCount(const std::string& db)
{
    sqlite3* handle = nullptr;
    sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    long count = -1;
    if (sqlite3_prepare_v2(handle, "SELECT count(*) FROM BLOCKS", -1, &statement, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = static_cast<long>(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return count;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--quick-check")
        return QuickCheck(argv[2]);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_catalog_check <veltrum-catalog> <catalog-dir> [pairs]\n");
        return 2;
    }
    const std::string tool = argv[1], dir = argv[2], db = dir + "/VELTRUM.db";
    const int pairs = argc > 3 ? std::atoi(argv[3]) : 5;
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return 1;
    self[length] = 0;

    std::vector<double> toolMs, floorMs, ratios;
    long toolPeak = 0, floorPeak = 0;
    for (int i = 0; i < pairs; ++i) {
        const ChildRun floor = RunChild({self, "--quick-check", db});
        const ChildRun checked = RunChild({tool, "check", dir});
        // 0: no errors, 1: errors found; both are a finished check.
        if (floor.status != 0 || (checked.status != 0 && checked.status != 1)) {
            std::fprintf(stderr, "bench_catalog_check: quick_check %d, check %d\n", floor.status,
                         checked.status);
            return 1;
        }
        floorMs.push_back(floor.ms);
        toolMs.push_back(checked.ms);
        ratios.push_back(checked.ms / floor.ms);
        toolPeak = std::max(toolPeak, checked.peakKiB);
        floorPeak = std::max(floorPeak, floor.peakKiB);
    }
    std::printf("catalog_check_%ld: tool %.1f ms, quick_check %.1f ms, ratio %.2f (min %.2f, max "
                "%.2f); peak memory tool %.1f MiB, quick_check %.1f MiB\n",
                BlockCount(db), Median(toolMs), Median(floorMs), Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), toolPeak / 1024.0,
                floorPeak / 1024.0);
    return 0;
}
