// The source of an upload: a bvlStream that reads a file on this computer
// through ReadCB, SeekCB and TellCB. Files of 4 GB or more are refused:
// the camera counts sizes in 32 bits.
#pragma once

#include <string>

#include "bvcl2sti.h"
#include "host_files.h"
#include "progress_meter.h"

class UploadFile {
public:
    UploadFile();
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    // Opens the file for reading; 0 or a Win32 error.
    DWORD open(const std::string& path);
    bvlStream* stream() { return &stream_; }
    // Lends a meter that each read moves on; it must outlive the transfer.
    void setMeter(ProgressMeter* meter) { meter_ = meter; }
    unsigned long long size() const { return size_; }
    // The Win32 error a callback met; 0 when none did.
    DWORD hostError() const { return hostError_; }

private:
    static void WINAPI onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error);
    static DWORD WINAPI onTell(UINT_PTR context, DWORD* error);
    DWORD fail(DWORD libraryCode);

    bvlStream stream_;
    ProgressMeter* meter_ = nullptr;
    OwnedFile file_;
    unsigned long long size_ = 0;
    DWORD hostError_ = 0;
};
