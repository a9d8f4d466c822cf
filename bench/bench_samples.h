// Timing for the benchmark: the performance counter in microseconds, and
// sets of samples with their median and 99th percentile.
#pragma once

#include <windows.h>

#include <cstdio>
#include <vector>

namespace bvbench {

// Microseconds on the performance counter, which every process of the
// machine shares: a time taken in one process compares with another's.
double nowUs();

class Samples {
public:
    void reserve(size_t n) { values_.reserve(n); }
    void add(double us) { values_.push_back(us); }
    size_t size() const { return values_.size(); }
    double median() const { return quantile(0.5); }
    double p99() const { return quantile(0.99); }
    // Every value as a double, in the order taken.
    void write(std::FILE* file) const { std::fwrite(values_.data(), sizeof(double), values_.size(), file); }

private:
    double quantile(double q) const;
    std::vector<double> values_;
};

// Times one call of body in microseconds.
template <class Body>
double timeUs(Body body) {
    const double start = nowUs();
    body();
    return nowUs() - start;
}

// Runs rounds of a library path and its floor, each round timing both,
// the order alternating so that neither profits from a warmer cache.
// between runs before each round, untimed. One round first warms up and
// is not kept.
template <class Library, class Floor, class Between>
void alternate(int rounds, Samples& library, Samples& floor, Library runLibrary, Floor runFloor,
               Between between) {
    library.reserve(rounds);
    floor.reserve(rounds);
    for (int round = 0; round <= rounds; ++round) {
        between(round);
        double l, f;
        if (round % 2 == 0) {
            l = timeUs(runLibrary);
            f = timeUs(runFloor);
        } else {
            f = timeUs(runFloor);
            l = timeUs(runLibrary);
        }
        if (round == 0) continue;
        library.add(l);
        floor.add(f);
    }
}

}  // namespace bvbench
