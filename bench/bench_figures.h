// A figure of the benchmark: the library's samples and those of the floor
// that the simulated device allows, how the two compare, and the target.
// Printed as a table or as JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "bench_samples.h"

namespace bvbench {

enum class Compare {
    Difference,  // median(library) - median(floor), in the figure's time unit; at most target
    Rate,        // median(floor) / median(library), a ratio of rates; at least target
    TailRatio,   // p99(library) / p99(floor); at most target
    Shown,       // the difference (of rates, for a figure of rates), with no target
};

struct Figure {
    std::string name;     // what the caller does
    std::string against;  // the floor
    Samples library, floor;  // microseconds per operation
    Compare compare = Compare::Difference;
    double target = 0;
    // A figure of rates shows unitsPerOp * rateFactor / microseconds
    // (bytes and 1 give MB/s, frames and 1e6 frames per second); one of
    // times shows microseconds divided by timeDivisor.
    double unitsPerOp = 0, rateFactor = 1, timeDivisor = 1;
    const char* unit = "us";

    double result() const;
    bool met() const;
    // A median or a p99 of either side as the figure shows it.
    double shown(double us) const;
};

void printTable(const std::vector<Figure>& figures, std::FILE* out);
void printJson(const std::vector<Figure>& figures, std::FILE* out);

// "x86_64" or "i686": the build this program is.
const char* buildName();

}  // namespace bvbench
