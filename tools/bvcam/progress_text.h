// The text of a transfer's progress: byte counts, rate and time left,
// worked out from the bytes moved so far, the total and the time elapsed.
// Pure, so that the arithmetic is tested without a console.
#pragma once

#include <string>

// "512 B", "11.7 KB", "3.2 MB", "1.5 GB" (1 KB = 1024 bytes).
std::string formatByteCount(unsigned long long bytes);

// "0:07", "12:34", "1:02:03".
std::string formatDuration(unsigned long long seconds);

// "[#####-----]  50%  6.0 KB / 12.0 KB  1.2 MB/s  0:05 left" for a known
// total; "6.0 KB  1.2 MB/s" when total is 0 (unknown). Before any time
// has passed the rate and the time left show as "--". done beyond total
// counts as complete.
std::string formatProgressLine(unsigned long long done, unsigned long long total, unsigned long elapsedMs,
                               int barWidth);

// "1.2 MB/s": bytes over elapsedMs; "--" before any time has passed.
std::string formatRate(unsigned long long bytes, unsigned long elapsedMs);
