// What the download and upload streams share: a bvlStream whose context
// points back at the object, the file on this computer, a lent progress
// meter and the Win32 error that a callback met.
#pragma once

#include "bvcl2sti.h"
#include "host_files.h"
#include "progress_meter.h"

class HostFileStream {
public:
    HostFileStream(const HostFileStream&) = delete;
    HostFileStream& operator=(const HostFileStream&) = delete;

    bvlStream* stream() { return &stream_; }
    // Lends a meter that the transfer moves on; it must outlive the transfer.
    void setMeter(ProgressMeter* meter) { meter_ = meter; }
    // The Win32 error a callback met (the library then reports a stream
    // error of its own); 0 when none did.
    DWORD hostError() const { return hostError_; }

protected:
    HostFileStream();
    ~HostFileStream() = default;

    // The object behind a callback's context.
    template <class Derived>
    static Derived* from(UINT_PTR context) {
        return static_cast<Derived*>(reinterpret_cast<HostFileStream*>(context));
    }
    // Notes the thread's Win32 error and returns the code for the library.
    DWORD fail(DWORD libraryCode);
    // True when the user interrupted: the chunk then moves no bytes and
    // fails, so the library ends the transfer and the owner cleans up.
    static bool interrupted(DWORD* count, DWORD* error);
    void showProgress(unsigned long long done) {
        if (meter_) meter_->update(done);
    }

    bvlStream stream_;
    OwnedFile file_;

private:
    ProgressMeter* meter_ = nullptr;
    DWORD hostError_ = 0;
};
