#pragma once

// Figures of repeated measurements, and the verdict against a target.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace omnar::bench {

struct Stats {
    double median = 0, p90 = 0, worst = 0;
};

// The median (the mean of the middle two of an even count), the 90th
// percentile and the worst; zeros for no figures.
inline Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.p90 = v[std::min(n - 1, n * 9 / 10)];
    s.worst = v.back();
    return s;
}

inline const char* verdict(bool met)
{
    return met ? "MET" : "MISSED";
}

} // namespace omnar::bench
