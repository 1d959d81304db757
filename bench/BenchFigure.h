#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

// What a figure must reach: at most `ratio` times the bare way, and, where it
// has one, under an absolute `limit` in the figure's unit.
struct Target {
    double ratio = 1.5;
    double limit = std::numeric_limits<double>::infinity();
};

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? std::nan("") : values[values.size() / 2];
}

// One line per figure: operation, bare, project, their ratio, the target, PASS or
// OVER. A bare figure of NaN means there is none; the limit alone then judges,
// and without a limit nothing does ("-").
inline bool printFigure(const char* operation, double bare, double project, Target target = {},
                        const char* unit = "ms")
{
    const bool hasBare = !std::isnan(bare);
    const double ratio = hasBare ? project / bare : std::nan("");
    const bool pass = (!hasBare || ratio <= target.ratio) && project < target.limit;
    char wanted[64] = "";
    int at = 0;
    if (std::isfinite(target.ratio))
        at = std::snprintf(wanted, sizeof wanted, "<=%.2fx", target.ratio);
    if (std::isfinite(target.limit))
        std::snprintf(wanted + at, sizeof wanted - at, "%s<%g %s", at ? " & " : "", target.limit, unit);
    const bool judged = hasBare || std::isfinite(target.limit);
    std::printf("%-38s bare %9.2f %-2s  project %9.2f %-2s  ratio %5.2f  target %-16s %s\n", operation, bare, unit,
                project, unit, ratio, wanted, !judged ? "-" : pass ? "PASS" : "OVER");
    return pass;
}
