#include "bench_samples.h"

#include <algorithm>

namespace bvbench {

double nowUs() {
    static const double perUs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1e6;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / perUs;
}

// The value below which the fraction q of the samples lie (nearest rank).
double Samples::quantile(double q) const {
    if (values_.empty()) return 0;
    std::vector<double> sorted(values_);
    const size_t rank = std::min(sorted.size() - 1, static_cast<size_t>(q * sorted.size()));
    std::nth_element(sorted.begin(), sorted.begin() + rank, sorted.end());
    return sorted[rank];
}

}  // namespace bvbench
