// bvlNewMessageTxRx over USB: command 60 carries the message, and the
// camera's answer comes back in a reply buffer that the worker hands to
// the caller's msgFoundCB when it is of the kind the caller expects.
#include "message_transport.h"

#include <algorithm>
#include <new>

#include "guarded_block.h"
#include "sti_transport.h"

namespace bv {
namespace {

// The job owns the message and the reply buffer, so that a worker left to
// finish its command after the caller gave up still works on valid memory.
class ReplyJob : public MessageJob {
public:
    OwnedBlock message;
    DWORD replyCapacity = 0;
    DWORD replyKind = 0;
    bvlMsgFoundCB msgFoundCB = nullptr;
    void* msgFoundContext = nullptr;

private:
    // Lock, command, unlock, as DoBvCommand does it, but a job stopped
    // while it waited for the lock sends nothing. The device stays in use
    // until msgFoundCB returned, as in any operation whose callback runs:
    // a close waits for the callback, and one from inside it is refused.
    // The done word that msgFoundCB may set is not read.
    DWORD run() override {
        if (replyCapacity > MAXDWORD - kMessageHeaderSize) return BVL_E_MESSAGE_NO_MEMORY;
        const DWORD replyLength = replyCapacity + kMessageHeaderSize;
        OwnedBlock reply(allocZeroedBlock(replyLength));
        if (!reply) return BVL_E_MESSAGE_NO_MEMORY;
        auto* header = static_cast<dePC_MESSAGE*>(reply.get());
        const auto* sent = static_cast<const dePC_MESSAGE*>(message.get());
        const requestBlock request = {kMessageCommand, sent->totalLength, sent};
        DeviceUse use;
        if (DWORD rc = use.take()) return rc;
        DeviceLock lock;
        if (DWORD rc = lock.take()) return rc;
        if (stopped()) return BVL_E_MESSAGE_TIMEOUT;  // nobody waits for the answer any more
        DWORD rc = DoBvNonStreamCommand(lock, &request, header, replyLength);
        rc = keepFirst(rc, lock.end());
        if (rc != 0) return rc;
        if (header->messageKind != replyKind || !msgFoundCB) return 0;  // not an answer to us
        // A caller reads the reply as far as its length field says.
        header->totalLength = std::min(header->totalLength, replyLength);
        DWORD status = 0;
        DWORD done = 0;
        callCaller([&] { status = msgFoundCB(header, msgFoundContext, &done); });
        return status;
    }
};

}  // namespace

DWORD newMessageOverUsb(const MessageArgs& m, DWORD replyKind, bvlMsgFoundCB msgFoundCB,
                        void* msgFoundContext, DWORD replyCapacity, const IntervalWait& wait) {
    const WaitingThread waiting;
    if (waiting.nested()) return BVL_E_MESSAGE_NESTED;
    auto* job = new (std::nothrow) ReplyJob;
    OwnedJob owned(job);
    if (!job) return BVL_E_MESSAGE_NO_MEMORY;
    job->message.reset(buildMessage(m));
    if (!job->message) return BVL_E_MESSAGE_NO_MEMORY;
    job->replyCapacity = replyCapacity;
    job->replyKind = replyKind;
    job->msgFoundCB = msgFoundCB;
    job->msgFoundContext = msgFoundContext;
    return runJob(*job, wait);
}

}  // namespace bv
