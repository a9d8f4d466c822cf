// The destination of a download: a bvlStream that writes to a temporary
// file beside the destination. commit() renames it into place once every
// byte has arrived, so a failed download never leaves a partial file and
// never harms a file already there.
#pragma once

#include <string>

#include "bvcl2sti.h"
#include "host_files.h"
#include "progress_meter.h"

class DownloadFile {
public:
    // meter, when given, is lent: it must outlive the transfer.
    explicit DownloadFile(ProgressMeter* meter = nullptr);
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    // Creates the temporary file; 0 or a Win32 error.
    DWORD create(const std::string& destination);
    bvlStream* stream() { return &stream_; }
    // Closes the file and moves it over the destination; 0 or a Win32
    // error, in which case the temporary file is removed.
    DWORD commit();

    unsigned long long size() const { return written_; }
    // The Win32 error a write met (the library then reports a stream
    // error of its own); 0 when none did.
    DWORD hostError() const { return hostError_; }

private:
    static void WINAPI onOpen(UINT_PTR context, DWORD mode, DWORD* error);
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);
    DWORD fail(DWORD libraryCode);

    bvlStream stream_;
    ProgressMeter* meter_;
    std::string destination_;
    OwnedTemporaryFile temporary_;  // declared before file_: the handle closes first
    OwnedFile file_;
    unsigned long long written_ = 0;
    DWORD hostError_ = 0;
};
