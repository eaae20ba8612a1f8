// SPDX-License-Identifier: MIT
#pragma once

// Small helpers shared by the benchmark programs: a clock, medians and the
// one-line result format that bench/run collects.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
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

// "NAME: app A ms, floor F ms, ratio R (min m, max M)" for runs timed in
// pairs (floor and program one after the other). A load that comes and goes
// hits both halves of a pair alike, so the median of the per-pair ratios
// holds still where the ratio of two medians would not; min and max show
// the spread that remains.
inline void PrintPairs(const std::string& name, const std::vector<double>& apps,
                       const std::vector<double>& floors)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < apps.size() && i < floors.size(); ++i)
        if (floors[i] > 0.0)
            ratios.push_back(apps[i] / floors[i]);
    const double app = Median(apps);
    const double floor = Median(floors);
    const double ratio = Median(ratios);
    const auto [least, most] = ratios.empty()
                                   ? std::pair<double, double>(0.0, 0.0)
                                   : std::pair<double, double>(
                                         *std::min_element(ratios.begin(), ratios.end()),
                                         *std::max_element(ratios.begin(), ratios.end()));
    const char* format = app < 0.1
                             ? "%s: app %.6f ms, floor %.6f ms, ratio %.2f (min %.2f, max %.2f)\n"
                             : "%s: app %.1f ms, floor %.1f ms, ratio %.2f (min %.2f, max %.2f)\n";
    std::printf(format, name.c_str(), app, floor, ratio, least, most);
    std::fflush(stdout);
}

} // namespace bench
