// msg CODE [HEX] [DEST]: sends one raw message through g_bvlNewFactryAPI.
// Without DEST the camera's reply is printed (header and the first bytes
// of its payload); with DEST the data the camera answers with is saved.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"

namespace {

constexpr DWORD kMessageKind = 1;       // the reply is expected of the same kind
constexpr DWORD kReplyCapacity = 4096;
constexpr DWORD kMessageTimeoutMs = 10000;
constexpr size_t kShownPayload = 64;

bool parseHex(const std::string& text, std::vector<BYTE>& bytes) {
    if (text.size() % 2 != 0) return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (*end != '\0') return false;
        bytes.push_back(static_cast<BYTE>(value));
    }
    return true;
}

DWORD WINAPI printReply(dePC_MESSAGE* reply, void*, DWORD* done) {
    const DWORD payloadLength = reply->totalLength > sizeof *reply ? reply->totalLength - sizeof *reply : 0;
    std::printf("Reply: code %lu, kind %lu, %lu payload bytes\n", static_cast<unsigned long>(reply->messageCode),
                static_cast<unsigned long>(reply->messageKind), static_cast<unsigned long>(payloadLength));
    const BYTE* payload = reinterpret_cast<const BYTE*>(reply + 1);
    for (size_t i = 0; i < payloadLength && i < kShownPayload; ++i) std::printf("%02x", payload[i]);
    if (payloadLength) std::printf(payloadLength > kShownPayload ? "...\n" : "\n");
    *done = 1;
    return 0;
}

}  // namespace

int runMsg(CameraConnection& c, const CommandArgs& args) {
    const bvlNewFactryAPI* messages = c.messageApi();
    if (!messages) return failUsage("this bvcl2sti.dll has no message table");
    char* end = nullptr;
    const unsigned long code = std::strtoul(args.words[0].c_str(), &end, 0);
    if (*end != '\0' || code > 0xffff) return failUsage("msg: not a 16-bit message code: " + args.words[0]);
    std::vector<BYTE> payload;
    if (args.words.size() > 1 && !parseHex(args.words[1], payload))
        return failUsage("msg: the payload is written as hex digits, two per byte");
    const WORD messageCode = static_cast<WORD>(code);
    const DWORD payloadLength = static_cast<DWORD>(payload.size());

    if (args.words.size() < 3) {
        const DWORD rc = messages->bvlNewMessageTxRx(c.camera(), messageCode, payload.data(), payloadLength,
                                                     kMessageKind, kMessageKind, 0, printReply, nullptr,
                                                     kReplyCapacity, nullptr, nullptr, kMessageTimeoutMs);
        return rc == 0 ? kExitOk : failWithCode("msg", rc);
    }
    const auto fetch = [&](bvlStream* stream) {
        return messages->bvlMessageTxAndRecieveData(c.camera(), messageCode, payload.data(), payloadLength,
                                                    kMessageKind, kMessageKind, 0, stream, nullptr, nullptr,
                                                    kMessageTimeoutMs);
    };
    return downloadToFile({fetch, "msg", "msg " + args.words[0], args.words[2], 0}, nullptr);
}
