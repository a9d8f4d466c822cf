#include "host_file_stream.h"

#include "console_interrupt.h"

HostFileStream::HostFileStream() : stream_() {
    stream_.context = reinterpret_cast<UINT_PTR>(this);
    stream_.progressMode = BVL_PROGRESS_NONE;
}

DWORD HostFileStream::fail(DWORD libraryCode) {
    hostError_ = GetLastError();
    return libraryCode;
}

bool HostFileStream::interrupted(DWORD* count, DWORD* error) {
    if (!ConsoleInterrupt::raised()) return false;
    *count = 0;
    *error = kInterruptedCode;
    return true;
}
