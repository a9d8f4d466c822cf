#include "progress_meter.h"

#include <cstdio>

#include "console.h"
#include "progress_text.h"

namespace {

constexpr ULONGLONG kRedrawMs = 100;
constexpr int kBarWidth = 20;

}  // namespace

ProgressMeter::ProgressMeter(const std::string& label, unsigned long long total, bool live)
    : label_(label), total_(total), live_(live), start_(GetTickCount64()) {
    // One column stays free: a line that fills the last one wraps on some consoles.
    if (live_) maxWidth_ = static_cast<size_t>(outputWidth() > 1 ? outputWidth() - 1 : 1);
}

unsigned long ProgressMeter::elapsedMs() const { return static_cast<unsigned long>(GetTickCount64() - start_); }

void ProgressMeter::update(unsigned long long done) {
    if (!live_) return;
    const ULONGLONG now = GetTickCount64();
    if (drawnWidth_ != 0 && now - lastDrawn_ < kRedrawMs && (total_ == 0 || done < total_)) return;
    lastDrawn_ = now;
    const std::string figures = formatProgressLine(done, total_, elapsedMs(), kBarWidth);
    const size_t room = maxWidth_ > figures.size() + 1 ? maxWidth_ - figures.size() - 1 : 0;
    const std::string line = (label_.substr(0, room) + " " + figures).substr(0, maxWidth_);
    const size_t pad = drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0;
    std::printf("\r%s%*s", line.c_str(), static_cast<int>(pad), "");
    std::fflush(stdout);
    drawnWidth_ = line.size() + pad;
}

void ProgressMeter::finish() {
    if (live_ && drawnWidth_ != 0) {
        std::printf("\r%*s\r", static_cast<int>(drawnWidth_), "");
        std::fflush(stdout);
    }
    live_ = false;
}
