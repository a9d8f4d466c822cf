#include "bench_figures.h"

namespace bvbench {
namespace {

const char* compareName(Compare c) {
    switch (c) {
    case Compare::Difference: return "difference";
    case Compare::Rate: return "ratio";
    case Compare::TailRatio: return "p99 ratio";
    default: return "difference";
    }
}

// The result with its unit, and the target with its sense.
std::string resultText(const Figure& f) {
    char text[64];
    if (f.compare == Compare::Difference || f.compare == Compare::Shown)
        std::snprintf(text, sizeof text, "%+.2f %s", f.result(), f.unit);
    else
        std::snprintf(text, sizeof text, "%.3f", f.result());
    return text;
}

std::string targetText(const Figure& f) {
    char text[64];
    switch (f.compare) {
    case Compare::Difference: std::snprintf(text, sizeof text, "<= %g %s", f.target, f.unit); break;
    case Compare::Rate: std::snprintf(text, sizeof text, ">= %g", f.target); break;
    case Compare::TailRatio: std::snprintf(text, sizeof text, "<= %g", f.target); break;
    default: return "-";
    }
    return text;
}

const char* verdict(const Figure& f) {
    if (f.compare == Compare::Shown) return "";
    return f.met() ? "met" : "MISSED";
}

}  // namespace

double Figure::result() const {
    switch (compare) {
    case Compare::Rate: return floor.median() / library.median();
    case Compare::TailRatio: return library.p99() / floor.p99();
    case Compare::Shown:
        if (unitsPerOp > 0) return shown(library.median()) - shown(floor.median());
        return (library.median() - floor.median()) / timeDivisor;
    default: return (library.median() - floor.median()) / timeDivisor;
    }
}

bool Figure::met() const {
    switch (compare) {
    case Compare::Rate: return result() >= target;
    case Compare::Shown: return true;
    default: return result() <= target;
    }
}

double Figure::shown(double us) const {
    if (unitsPerOp > 0) return us > 0 ? unitsPerOp * rateFactor / us : 0;
    return us / timeDivisor;
}

void printTable(const std::vector<Figure>& figures, std::FILE* out) {
    std::fprintf(out, "bvbench, %s build; library and floor: median / p99\n", buildName());
    std::fprintf(out, "%-36s %-24s %-24s %-9s %-12s %-11s %s\n", "figure", "library", "floor",
                 "unit", "result", "target", "");
    for (const Figure& f : figures) {
        char library[48], floor[48];
        std::snprintf(library, sizeof library, "%.2f / %.2f", f.shown(f.library.median()),
                      f.shown(f.library.p99()));
        std::snprintf(floor, sizeof floor, "%.2f / %.2f", f.shown(f.floor.median()), f.shown(f.floor.p99()));
        std::fprintf(out, "%-36s %-24s %-24s %-9s %-12s %-11s %s\n", f.name.c_str(), library, floor,
                     f.unit, resultText(f).c_str(), targetText(f).c_str(), verdict(f));
        std::fprintf(out, "  against %s (%zu samples each)\n", f.against.c_str(), f.library.size());
    }
}

void printJson(const std::vector<Figure>& figures, std::FILE* out) {
    std::fprintf(out, "{\"build\": \"%s\", \"figures\": [\n", buildName());
    for (size_t i = 0; i < figures.size(); ++i) {
        const Figure& f = figures[i];
        std::fprintf(out,
                     "  {\"name\": \"%s\", \"against\": \"%s\", \"unit\": \"%s\", \"samples\": %zu,"
                     " \"library\": {\"median\": %.4f, \"p99\": %.4f},"
                     " \"floor\": {\"median\": %.4f, \"p99\": %.4f},"
                     " \"compare\": \"%s\", \"result\": %.4f, \"target\": %g, \"met\": %s}%s\n",
                     f.name.c_str(), f.against.c_str(), f.unit, f.library.size(),
                     f.shown(f.library.median()), f.shown(f.library.p99()), f.shown(f.floor.median()),
                     f.shown(f.floor.p99()), compareName(f.compare), f.result(), f.target,
                     f.met() ? "true" : "false", i + 1 < figures.size() ? "," : "");
    }
    std::fprintf(out, "]}\n");
}

const char* buildName() { return sizeof(void*) == 8 ? "x86_64" : "i686"; }

}  // namespace bvbench
