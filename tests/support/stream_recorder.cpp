#include "stream_recorder.h"

#include <algorithm>

#include "sim/camera/bvsim.h"

namespace bvtest {

StreamRecorder::StreamRecorder(WORD progressMode) : stream_(), firstStep_(simStepCallCount()) {
    stream_.context = reinterpret_cast<UINT_PTR>(this);
    stream_.progressMode = progressMode;
    stream_.OpenCB = onOpen;
    stream_.CloseCB = onClose;
    stream_.ReadCB = onRead;
    stream_.WriteCB = onWrite;
    stream_.SeekCB = onSeek;
    stream_.TellCB = onTell;
    stream_.ProgressCB = onProgress;
}

std::vector<std::string> StreamRecorder::withSteps() const {
    std::vector<std::string> run;
    DWORD step = firstStep_;
    for (size_t i = 0; i <= log_.size(); ++i) {
        const DWORD until = i < log_.size() ? stepMarks_[i] : simStepCallCount();
        for (; step < until; ++step) run.emplace_back(simStepCallAt(step));
        if (i < log_.size()) run.push_back(log_[i]);
    }
    return run;
}

DWORD StreamRecorder::enter(const std::string& callback, const std::string& detail) {
    stepMarks_.push_back(simStepCallCount());
    log_.push_back(detail.empty() ? callback : callback + " " + detail);
    auto it = faults_.find(callback);
    if (it == faults_.end()) return 0;
    Fault& f = it->second;
    ++f.calls;
    return f.nth == 0 || f.nth == f.calls ? f.code : 0;
}

void WINAPI StreamRecorder::onOpen(UINT_PTR context, DWORD mode, DWORD* error) {
    *error = self(context).enter("open", std::to_string(mode));
}

void WINAPI StreamRecorder::onClose(UINT_PTR context, DWORD* error) { *error = self(context).enter("close"); }

void WINAPI StreamRecorder::onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error) {
    StreamRecorder& s = self(context);
    *error = s.enter("read", std::to_string(*count));
    size_t n = std::min<size_t>(*count, s.source_.size() - s.position_);
    if (s.readLimit_ != 0) n = std::min<size_t>(n, s.readLimit_);
    std::copy_n(s.source_.begin() + s.position_, n, buffer);
    s.position_ += n;
    *count = static_cast<DWORD>(n);
}

void WINAPI StreamRecorder::onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    StreamRecorder& s = self(context);
    *error = s.enter("write", std::to_string(*count));
    if (s.takes_ != Takes::All) *count = s.takes_ == Takes::Half ? (*count + 1) / 2 : 0;
    if (*error == 0) s.written_.insert(s.written_.end(), buffer, buffer + *count);
}

void WINAPI StreamRecorder::onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error) {
    StreamRecorder& s = self(context);
    *error = s.enter("seek", std::to_string(origin) + " " + std::to_string(offset));
    s.position_ = origin == BVL_SEEK_END ? s.source_.size()
                                         : std::min<size_t>(static_cast<size_t>(offset), s.source_.size());
}

DWORD WINAPI StreamRecorder::onTell(UINT_PTR context, DWORD* error) {
    *error = self(context).enter("tell");
    return static_cast<DWORD>(self(context).position_);
}

void WINAPI StreamRecorder::onProgress(UINT_PTR context, DWORD percent, DWORD* error) {
    *error = self(context).enter("progress", std::to_string(percent));
}

}  // namespace bvtest
