// Who may use the open still-image device, and who may change the
// process-wide still-image state, from any thread.
//
// An operation takes a DeviceUse: its own reference on the open device,
// counted as a user. A change (open, close, a service instance made for
// one question) waits for the changer before it, takes the gate, and waits
// until the users are gone; until it ends, uses are refused except on the
// changing thread and on threads that hold a use already (their operation
// began before the change and finishes on its device before the change
// goes on). A thread with a use of its own never waits here: a change it
// begins would wait for itself, so it is refused at once.
//
// One SRW lock guards the counters and the pointers of the state; nobody
// holds it while calling out, except for the AddRef of a new use.
#include "sti_private.h"
#include "thread_value.h"

namespace bv {
namespace {

struct Gate {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;  // the users or the changer went
    LONG users = 0;    // uses given out and not back yet
    DWORD changer = 0; // the thread inside a change; 0 for none
    LONG nested = 0;   // begins of the changer inside its own change
};

Gate g_gate;
ThreadValue g_usesHere;  // uses that the calling thread holds

class Locked {
public:
    Locked() { AcquireSRWLockExclusive(&g_gate.lock); }
    ~Locked() { ReleaseSRWLockExclusive(&g_gate.lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    void waitForChange() { SleepConditionVariableSRW(&g_gate.changed, &g_gate.lock, INFINITE, 0); }
};

}  // namespace

DWORD DeviceUse::take() {
    device_.reset();
    const DWORD self = GetCurrentThreadId();
    const UINT_PTR heldHere = g_usesHere.get();
    {
        Locked g;
        const bool admitted = g_gate.changer == 0 || g_gate.changer == self || heldHere != 0;
        IStiDevice* device = admitted ? stiState().stiDevice.get() : nullptr;
        if (!device) return BVL_E_NO_DEVICE_OPEN;
        device->AddRef();
        ++g_gate.users;
        device_.reset(device);
    }
    g_usesHere.set(heldHere + 1);
    return 0;
}

void DeviceUse::giveBack(IStiDevice* device) {
    device->Release();
    g_usesHere.set(g_usesHere.get() - 1);
    Locked g;
    if (--g_gate.users == 0 && g_gate.changer != 0) WakeAllConditionVariable(&g_gate.changed);
}

DWORD StiChange::begin() {
    const DWORD self = GetCurrentThreadId();
    const bool holdsUse = g_usesHere.get() != 0;
    Locked g;
    if (g_gate.changer == self) {
        ++g_gate.nested;
    } else {
        if (holdsUse) return BVL_E_CONNECTION_IN_USE;
        while (g_gate.changer != 0) g.waitForChange();
        g_gate.changer = self;
        while (g_gate.users != 0) g.waitForChange();
    }
    began_ = true;
    return 0;
}

StiChange::~StiChange() {
    if (!began_) return;
    Locked g;
    if (g_gate.nested != 0) {
        --g_gate.nested;
        return;
    }
    g_gate.changer = 0;
    WakeAllConditionVariable(&g_gate.changed);
}

bool StiChange::refusedOnThisThread() {
    if (g_usesHere.get() == 0) return false;
    Locked g;
    return g_gate.changer != GetCurrentThreadId();
}

bool isStiInstanceSet() {
    Locked g;
    return static_cast<bool>(stiState().stiInstance);
}

}  // namespace bv
