// Shared inside bvsim.dll: the parts that simReset puts back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bvsim {

// A critical section that lives as long as the process-wide state holding
// it, and the guard that holds it for a scope. The stand-ins' state is
// touched from the test thread and from stray worker threads.
struct SimLock {
    CRITICAL_SECTION section;
    SimLock() { InitializeCriticalSection(&section); }
    SimLock(const SimLock&) = delete;
    SimLock& operator=(const SimLock&) = delete;
};

class SimGuard {
public:
    explicit SimGuard(SimLock& lock) : lock_(lock) { EnterCriticalSection(&lock_.section); }
    ~SimGuard() { LeaveCriticalSection(&lock_.section); }
    SimGuard(const SimGuard&) = delete;
    SimGuard& operator=(const SimGuard&) = delete;

private:
    SimLock& lock_;
};

void resetStillImageControl();  // sim_sti_control.cpp
void resetCommandState();       // sim_commands.cpp
void resetCommandLog();         // sim_command_log.cpp
void clearCommandHistory();     // sim_commands.cpp: the commands and bulk data seen
void resetSerialReplyChunks();  // sim_messages.cpp
void resetDeviceSpeed();        // sim_speed.cpp

// The device's speed (sim_speed.cpp): waits out one command's latency, or
// the time that bytes of bulk data take at the set rate.
void paceCommand();
void paceBulk(DWORD bytes);

// The hostile mode's spoiling (sim_hostile.cpp); each leaves its input as
// it was when the mode is off or the seed spares it.
void spoilReply(BYTE* reply, DWORD length);
void spoilBulk(std::vector<BYTE>& data);
DWORD spoilReadCount(DWORD wanted);

// Settings and release commands (17, 18, 40 to 42); kCamNotSupported for
// any other command.
DWORD runSettingsCommand(DWORD command, const BYTE* payload, DWORD length, BYTE* reply,
                         DWORD replyLength);  // sim_settings_commands.cpp

// sim_scratch.cpp: the process's scratch folder (under the temporary
// folder, named after the process); a new empty card folder inside it;
// the file an upload is written to before it moves onto its card; and
// removing the whole scratch folder (reset, unload).
std::wstring scratchRoot();
std::wstring newScratchFolder();
std::wstring uploadStagingFile();
void removeScratch();

// sim_cards_control.cpp: the [cardN] sections of a configuration file;
// true when there are none or all of them describe usable cards.
bool loadCardSections(const wchar_t* path);

}  // namespace bvsim
