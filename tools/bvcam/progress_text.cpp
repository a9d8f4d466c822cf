#include "progress_text.h"

#include <cstdio>

std::string formatByteCount(unsigned long long bytes) {
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    char text[32];
    if (bytes < 1024) {
        std::snprintf(text, sizeof text, "%llu B", bytes);
        return text;
    }
    double value = bytes / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string formatDuration(unsigned long long seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", seconds / 60, seconds % 60);
    return text;
}

std::string formatRate(unsigned long long bytes, unsigned long elapsedMs) {
    if (elapsedMs == 0) return "--";
    return formatByteCount(bytes * 1000 / elapsedMs) + "/s";
}

std::string formatProgressLine(unsigned long long done, unsigned long long total, unsigned long elapsedMs,
                               int barWidth) {
    if (total == 0) return formatByteCount(done) + "  " + formatRate(done, elapsedMs);
    if (done > total) done = total;
    const int filled = static_cast<int>(done * barWidth / total);
    std::string line = "[" + std::string(filled, '#') + std::string(barWidth - filled, '-') + "]";
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3u%%", static_cast<unsigned>(done * 100 / total));
    line += std::string("  ") + percent + "  " + formatByteCount(done) + " / " + formatByteCount(total);
    line += "  " + formatRate(done, elapsedMs);
    if (done == 0 || elapsedMs == 0) return line + "  -- left";
    const unsigned long long leftMs = (total - done) * elapsedMs / done;
    return line + "  " + formatDuration((leftMs + 999) / 1000) + " left";
}
