// Collects the texts sent to the debugger output (OutputDebugStringA)
// while it lives, through a vectored exception handler.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bvtest {

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    const std::vector<std::string>& texts() const;

private:
    static LONG CALLBACK onException(EXCEPTION_POINTERS* info);
    PVOID handler_;
};

}  // namespace bvtest
