// Error code layout and the one-line error report sent to the debugger.
//
// Bit 31 marks a specific (component-private) number, bits 30..24 hold the
// component and bits 15..0 the number; generic numbers share one list of
// names.
#pragma once

#include <windows.h>
#include <cstddef>

namespace bv {

constexpr std::size_t kReportBufferSize = 256;

// Process-wide switch for error reports: 0 at load, and nothing in the
// library sets it, so reports appear only where a host turns it on.
extern WORD reportSwitch;

// Name of a component (1..9), or null when it has none.
const char* componentName(unsigned component);

// Name of a generic error number (1..195), or null when it has none.
const char* errorName(unsigned number);

// Name of a status of the message transport, component 12 (1..7), or null.
const char* messageErrorName(unsigned number);

// True when an exception built with these values prints a report.
bool shouldReport(WORD reportSwitchValue, const char* file, DWORD line);

// Formats "\nbvError [<component> <kind>: <error>]  <file> line <line>\n"
// into out (always NUL-terminated, cut to fit).
void formatErrorReport(DWORD code, const char* file, DWORD line, char* out, std::size_t outSize);

// Sends the report to the debugger output when reportSwitch is on and a
// file and line are given.
void printErrorReport(DWORD code, const char* file, DWORD line);

}  // namespace bv
