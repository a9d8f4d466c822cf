// A transfer's progress on the console. On a terminal it redraws one line
// ("name [####----] 40% ...", the name cut to fit the console's width) at
// most ten times a second and wipes it when
// the transfer ends, so the command's own line for the file follows on a
// clean line. Elsewhere (a file or a pipe) it prints nothing.
#pragma once

#include <windows.h>

#include <string>

class ProgressMeter {
public:
    // total 0: unknown. live: draw on the console (see outputIsTerminal).
    ProgressMeter(const std::string& label, unsigned long long total, bool live);
    ~ProgressMeter() { finish(); }
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    void update(unsigned long long done);
    // Wipes the line; later updates draw nothing.
    void finish();
    // Milliseconds since the meter was made.
    unsigned long elapsedMs() const;

private:
    std::string label_;
    unsigned long long total_;
    bool live_;
    ULONGLONG start_;
    ULONGLONG lastDrawn_ = 0;
    size_t drawnWidth_ = 0;
    size_t maxWidth_ = 0;
};
