// A bvlStream whose callbacks log what they are asked ("open 3",
// "write 5120", "progress 40", "close") and keep the written bytes, so a
// test compares a whole sequence at once. A source can be given to read
// from, and any callback can be told to report an error. The log can also
// be read with the stand-ins' step calls merged in where they happened.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "bvcl2sti.h"

namespace bvtest {

class StreamRecorder {
public:
    explicit StreamRecorder(WORD progressMode = BVL_PROGRESS_PERCENT);

    bvlStream* stream() { return &stream_; }
    const std::vector<std::string>& log() const { return log_; }
    // The log with the stand-ins' step calls since the recorder was made
    // ("sti.lock", "open 3", "progress 0", "sti.rawRead", ...).
    std::vector<std::string> withSteps() const;
    const std::vector<BYTE>& written() const { return written_; }

    void setSource(std::vector<BYTE> source) { source_ = std::move(source); }
    // Makes the named callback ("open", "write", ...) report code on its
    // nth call (1 = the first), or on every call when nth is 0.
    void failOn(const std::string& callback, DWORD code, int nth = 0) { faults_[callback] = Fault{code, nth, 0}; }
    // Makes ReadCB deliver at most this many bytes a call.
    void limitReads(DWORD bytes) { readLimit_ = bytes; }
    // Makes WriteCB take half of what it is offered (rounded up), or nothing.
    enum class Takes { All, Half, Nothing };
    void takeOnWrite(Takes takes) { takes_ = takes; }
    // How many times the log holds this entry.
    size_t count(const std::string& entry) const { return std::count(log_.begin(), log_.end(), entry); }

private:
    static StreamRecorder& self(UINT_PTR context) { return *reinterpret_cast<StreamRecorder*>(context); }
    // Logs the callback's entry ("write 5120") and returns the error it
    // must report.
    DWORD enter(const std::string& callback, const std::string& detail = "");
    static void WINAPI onOpen(UINT_PTR context, DWORD mode, DWORD* error);
    static void WINAPI onClose(UINT_PTR context, DWORD* error);
    static void WINAPI onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error);
    static DWORD WINAPI onTell(UINT_PTR context, DWORD* error);
    static void WINAPI onProgress(UINT_PTR context, DWORD percent, DWORD* error);

    bvlStream stream_;
    std::vector<std::string> log_;
    std::vector<DWORD> stepMarks_;  // step calls made before each log entry
    DWORD firstStep_;
    std::vector<BYTE> written_;
    std::vector<BYTE> source_;
    size_t position_ = 0;
    struct Fault { DWORD code; int nth, calls; };
    std::map<std::string, Fault> faults_;
    DWORD readLimit_ = 0;
    Takes takes_ = Takes::All;
};

}  // namespace bvtest
