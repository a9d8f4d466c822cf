// The payloads of the command blocks that reached the camera's driver, as
// the driver read them, so that tests can check what the library sent.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bvsim.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

constexpr DWORD kCommandConnect = 1;  // its payload field carries a value

struct LoggedPayload {
    DWORD length;
    std::vector<BYTE> bytes;
    DWORD replyLength;
};

struct CommandLog {
    SimLock lock;
    std::vector<LoggedPayload> payloads;
};

CommandLog& commandLog() {
    static CommandLog log;
    return log;
}

}  // namespace

void resetCommandLog() {
    SimGuard g(commandLog().lock);
    commandLog().payloads.clear();
}

}  // namespace bvsim

using namespace bvsim;

extern "C" void simLogCommandPayload(DWORD command, const BYTE* payload, DWORD length,
                                     DWORD replyLength) {
    LoggedPayload logged{length, {}, replyLength};
    if (command != kCommandConnect && payload) logged.bytes.assign(payload, payload + length);
    SimGuard g(commandLog().lock);
    commandLog().payloads.push_back(std::move(logged));
}

extern "C" DWORD simCommandPayloadAt(DWORD index, BYTE* buffer, DWORD size) {
    SimGuard g(commandLog().lock);
    const std::vector<LoggedPayload>& p = commandLog().payloads;
    if (index >= p.size()) return 0;
    const std::vector<BYTE>& bytes = p[index].bytes;
    if (buffer) std::memcpy(buffer, bytes.data(), std::min<size_t>(size, bytes.size()));
    return p[index].length;
}

extern "C" DWORD simCommandReplyLengthAt(DWORD index) {
    SimGuard g(commandLog().lock);
    const std::vector<LoggedPayload>& p = commandLog().payloads;
    return index < p.size() ? p[index].replyLength : 0;
}
