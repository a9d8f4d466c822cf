// bvlNewMessageTxRx over USB: command 60 carries the message, and the
// camera's answer comes back in a reply buffer that the worker hands to
// the caller's msgFoundCB when it is of the kind the caller expects.
#include "message_transport.h"

#include <new>
#include <utility>

#include "../Common/guarded_block.h"
#include "../sti/sti_transport.h"

namespace bv {
namespace {

// The workerBlock of a reply exchange. It owns the message, so that a
// worker left to finish its command after the caller gave up still reads
// valid memory.
class ReplyJob : public WorkerJob {
public:
    OwnedBlock message;
    DWORD replyCapacity = 0;
    DWORD replyKind = 0;
    bvlMsgFoundCB msgFoundCB = nullptr;
    void* msgFoundContext = nullptr;
};

// SendMessage: its status is its thread's exit code. The reply buffer is
// the worker's own and released on its way out; the done word that
// msgFoundCB may set is not read.
DWORD sendMessageWorker(WorkerJob& base) {
    auto& job = static_cast<ReplyJob&>(base);
    if (job.stopped()) return BVL_E_MESSAGE_TIMEOUT;  // nobody waits for the answer
    if (job.replyCapacity > MAXDWORD - kMessageHeaderSize) return BVL_E_MESSAGE_NO_MEMORY;
    const DWORD replyLength = job.replyCapacity + kMessageHeaderSize;
    OwnedBlock reply(allocBlock(replyLength));
    if (!reply) return BVL_E_MESSAGE_NO_MEMORY;
    auto* header = static_cast<dePC_MESSAGE*>(reply.get());
    header->messageKind = 0;
    const auto* message = static_cast<const dePC_MESSAGE*>(job.message.get());
    const requestBlock request = {kMessageCommand, message->totalLength, message};
    if (DWORD rc = DoBvCommand(&request, header, replyLength, 0, kLockAround)) return rc;
    if (header->messageKind != job.replyKind || !job.msgFoundCB) return 0;  // not an answer to us
    DWORD status = 0;
    DWORD done = 0;
    job.unlessStopped([&] { status = job.msgFoundCB(header, job.msgFoundContext, &done); });
    return status;
}

}  // namespace

DWORD newMessageOverUsb(const MessageArgs& m, DWORD replyKind, bvlMsgFoundCB msgFoundCB,
                        void* msgFoundContext, DWORD replyCapacity, const IntervalWait& wait) {
    OwnedJob owned(new (std::nothrow) ReplyJob);
    if (!owned) return BVL_E_MESSAGE_NO_MEMORY;
    auto& job = static_cast<ReplyJob&>(*owned.get());
    job.message.reset(buildMessage(m));
    if (!job.message) return BVL_E_MESSAGE_NO_MEMORY;
    job.replyCapacity = replyCapacity;
    job.replyKind = replyKind;
    job.msgFoundCB = msgFoundCB;
    job.msgFoundContext = msgFoundContext;
    if (DWORD rc = waitForStrayWorker(wait.timeoutMs)) return rc;
    OwnedHandle worker;
    if (DWORD rc = startWorker(job, sendMessageWorker, worker)) return rc;
    const DWORD status = WaitResponse(wait.intervalCB, wait.context, job, worker.get(), wait.timeoutMs);
    if (job.stopped()) leaveStrayWorker(std::move(worker));
    return status;
}

}  // namespace bv
