#pragma once

// Small helpers shared by the benchmark programs: a clock, medians and the
// one-line result format that bench/run collects.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

// "NAME: app A ms, floor F ms, ratio R" — the line bench/run collects.
inline void PrintCase(const std::string& name, double app, double floor)
{
    const double ratio = floor > 0.0 ? app / floor : 0.0;
    // Small figures (per-row times) keep enough digits to be read.
    const char* format = app < 0.1 ? "%s: app %.6f ms, floor %.6f ms, ratio %.2f\n"
                                   : "%s: app %.1f ms, floor %.1f ms, ratio %.2f\n";
    std::printf(format, name.c_str(), app, floor, ratio);
    std::fflush(stdout);
}

} // namespace bench
