// The source of an upload: a bvlStream that reads a file on this computer
// through ReadCB, SeekCB and TellCB. Files of 4 GB or more are refused:
// the camera counts sizes in 32 bits.
#pragma once

#include <string>

#include "host_file_stream.h"

class UploadFile : public HostFileStream {
public:
    UploadFile();

    // Opens the file for reading; 0 or a Win32 error.
    DWORD open(const std::string& path);
    unsigned long long size() const { return size_; }

private:
    static void WINAPI onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error);
    static DWORD WINAPI onTell(UINT_PTR context, DWORD* error);
    bool position(unsigned long long* offset);

    unsigned long long size_ = 0;
};
