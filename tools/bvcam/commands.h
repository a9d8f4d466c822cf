// The commands of bvcam and what they share: each takes the connection
// (opened by main for the commands that need the camera) and its own
// arguments, prints its results, and returns the exit code: 0 done,
// 1 the camera or this computer failed, 2 the arguments were wrong.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "camera_library.h"

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CommandArgs {
    std::vector<std::string> words;  // the arguments after the command name
    bool yes = false;                // --yes: destructive commands ask nothing
};

// Print "bvcam: <what>: <the error explained>" and return kExitFailed.
int failWithCode(const std::string& what, DWORD code);
int failOnHost(const std::string& what, DWORD win32Error);
// Print "bvcam: <message>" and return kExitFailed.
int failMessage(const std::string& message);
// Print "bvcam: <message>" with a hint at the usage lines; return kExitUsage.
int failUsage(const std::string& message);

// A download into a host file through a temporary one, with a progress
// bar: the file appears only when every byte arrived. Prints
// "<from> -> <hostPath>  <size> bytes"; what names the operation in error
// messages. *size (may be null) receives the byte count.
struct DownloadRequest {
    std::function<DWORD(bvlStream*)> fetch;
    std::string what;
    std::string from;
    std::string hostPath;
    unsigned long long expectedSize;  // for the progress bar; 0 unknown
};
int downloadToFile(const DownloadRequest& request, unsigned long long* size);

// Volumes and listings.
int runInfo(CameraConnection& connection, const CommandArgs& args);
int runVols(CameraConnection& connection, const CommandArgs& args);
int runLs(CameraConnection& connection, const CommandArgs& args);

// Changes to files and folders on the camera.
int runRm(CameraConnection& connection, const CommandArgs& args);
int runMkdir(CameraConnection& connection, const CommandArgs& args);
int runRmdir(CameraConnection& connection, const CommandArgs& args);
int runChmod(CameraConnection& connection, const CommandArgs& args);
int runTouch(CameraConnection& connection, const CommandArgs& args);

// Whole volumes; both ask first.
int runFormat(CameraConnection& connection, const CommandArgs& args);
int runWipe(CameraConnection& connection, const CommandArgs& args);

// Transfers.
int runGet(CameraConnection& connection, const CommandArgs& args);
int runGetAll(CameraConnection& connection, const CommandArgs& args);
int runPut(CameraConnection& connection, const CommandArgs& args);
int runJpegHeader(CameraConnection& connection, const CommandArgs& args);

// Settings and remote release.
int runSettings(CameraConnection& connection, const CommandArgs& args);
int runSet(CameraConnection& connection, const CommandArgs& args);
int runSettingsUi(CameraConnection& connection, const CommandArgs& args);
int runRelease(CameraConnection& connection, const CommandArgs& args);
int runViewfinder(CameraConnection& connection, const CommandArgs& args);

// A raw message through the message table.
int runMsg(CameraConnection& connection, const CommandArgs& args);

// Opens the camera itself, with a notification callback.
int runWatch(CameraConnection& connection, const CommandArgs& args);

// Commands that ask the library or the registry, not the camera.
int runModels(const CommandArgs& args);
int runPort(const bvlBaseAPI& api, const CommandArgs& args);
