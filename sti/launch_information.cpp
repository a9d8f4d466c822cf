// The camera whose still-image event launched this process: the service
// names the device and the event, and the model is the one whose
// detection text equals the event's name.
#include "bvWinReg.h"
#include "sti_private.h"
#include "sti_transport.h"

namespace bv {
namespace {

constexpr std::size_t kLaunchEventNameSize = 64;

// Releases a service instance created for the lookup on every way out,
// the registry error included.
class TemporaryInstance {
public:
    explicit TemporaryInstance(bool created) : created_(created) {}
    ~TemporaryInstance() {
        if (created_) releaseStiInstanceOnly();
    }
    TemporaryInstance(const TemporaryInstance&) = delete;
    TemporaryInstance& operator=(const TemporaryInstance&) = delete;

private:
    bool created_;
};

}  // namespace

int findLaunchedModelID(HMODULE stillImageLibrary, wchar_t* deviceName, DWORD* modelID) {
    if (!deviceName) return 0;
    StiChange change;  // an instance may come and go
    if (change.begin()) return 0;
    StiState& s = stiState();
    const bool createHere = !s.stiInstance;
    if (createHere && FAILED(SetUpStiInstance(stillImageLibrary))) return 0;
    TemporaryInstance instance(createHere);

    WCHAR eventName[kLaunchEventNameSize] = {};
    DWORD eventCode = 0;
    if (FAILED(s.stiInstance.get()->GetSTILaunchInformation(deviceName, &eventCode, eventName))) return 0;
    char narrowEvent[kLaunchEventNameSize];
    narrowText(eventName, narrowEvent, sizeof narrowEvent);
    return machineRegistry().FindModelByDetectID(narrowEvent, modelID) ? 1 : 0;
}

}  // namespace bv
