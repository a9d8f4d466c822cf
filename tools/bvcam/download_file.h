// The destination of a download: a bvlStream that writes to a temporary
// file beside the destination. commit() renames it into place once every
// byte has arrived, so a failed download never leaves a partial file and
// never harms a file already there.
#pragma once

#include <string>

#include "host_file_stream.h"

class DownloadFile : public HostFileStream {
public:
    DownloadFile();
    // The handle closes before the temporary file is deleted.
    ~DownloadFile() { file_.reset(); }

    // Creates the temporary file; 0 or a Win32 error.
    DWORD create(const std::string& destination);
    // Closes the file and moves it over the destination; 0 or a Win32
    // error, in which case the temporary file is removed.
    DWORD commit();
    unsigned long long size() const { return written_; }

private:
    static void WINAPI onOpen(UINT_PTR context, DWORD mode, DWORD* error);
    static void WINAPI onClose(UINT_PTR context, DWORD* error);
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);

    std::string destination_;
    OwnedTemporaryFile temporary_;
    unsigned long long written_ = 0;
};
