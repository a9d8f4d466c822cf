// A bvlStream that collects everything written to it in memory.
#pragma once

#include <functional>
#include <vector>

#include "bvcl2sti.h"

class MemoryStream {
public:
    MemoryStream();
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    bvlStream* stream() { return &stream_; }
    const std::vector<BYTE>& bytes() const { return bytes_; }
    // Asks for percentages along the way and hands each to report.
    void reportProgress(std::function<void(DWORD percent)> report);
    // From the moment *stop turns true every write fails, which ends the
    // library's transfer at once with its stream error.
    void stopWhen(const bool* stop) { stop_ = stop; }

private:
    static void WINAPI onOpen(UINT_PTR context, DWORD mode, DWORD* error);
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onProgress(UINT_PTR context, DWORD percent, DWORD* error);
    bvlStream stream_;
    std::vector<BYTE> bytes_;
    std::function<void(DWORD)> report_;
    const bool* stop_ = nullptr;
};
