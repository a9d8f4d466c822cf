/*
 * bvsim.h - control interface of bvsim.dll, the virtual camera behind the
 * stand-ins for the serial camera library (BVCLL.DLL) and the Still Image
 * service. Tests and developers use it to shape the camera, to make any
 * step of a stand-in fail on demand and to read back what the stand-ins
 * were asked to do.
 */
#ifndef BVSIM_H
#define BVSIM_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef BVSIM_BUILDING
#define BVSIM_API __declspec(dllexport)
#else
#define BVSIM_API __declspec(dllimport)
#endif

/* Puts the camera back to its factory content, clears the fault plan, the
 * call log and the reached steps, and puts a camera on COM1 only. Library
 * load counters are kept. The factory camera has one card, volume "CF",
 * in a new folder under the process's scratch folder (in the temporary
 * folder, named after the process, emptied by each reset and removed when
 * bvsim.dll is unloaded) holding CF\DCIM\BRV_0001.JPG (12000 bytes),
 * BRV_0002.JPG (5120) and BRV_0003.JPG (5121). */
BVSIM_API void simReset(void);

/* ---- Card slots ------------------------------------------------------------
 * Each volume of the camera is a card whose content is a folder on the
 * host: its files are the camera's files, its sub-folders the camera's
 * directories; read-only and hidden are the files' attributes, and a
 * file's last-write time is the camera's clock, which keeps UTC.
 * Free space is the capacity less the bytes of the files on the card. */
typedef struct SimCardSlot {
    const char *volumeName;    /* the volume's name, e.g. "CF" */
    const WCHAR *hostFolder;   /* an existing folder, used as it is; null: a
                                  new empty folder in the scratch folder */
    DWORD capacityBytes;
    DWORD passThrough;         /* reported with the volume */
} SimCardSlot;

/* Replaces the camera's cards (count 0: a camera without volumes). FALSE,
 * with the cards unchanged, when a slot has no name or its folder does not
 * exist. Files are never copied: the camera works in the folders given. */
BVSIM_API BOOL simSetCards(const SimCardSlot *slots, DWORD count);
/* The host folder of card index; FALSE when there is no such card or the
 * capacity (in characters, terminator included) is too small. */
BVSIM_API BOOL simCardFolder(DWORD index, WCHAR *path, DWORD capacity);

/* Fault plan: the nth call (1 = the next one) of the named step fails with
 * code; nth 0 makes every call fail. Steps are named "serial.slot3",
 * "serial.load", "serial.factry4" and so on (simStepName lists those
 * reached). */
BVSIM_API void simFailNth(const char *step, int nth, DWORD code);

/* Asked by every stand-in step first: records that the step was reached
 * and tells whether it must fail, and with which code. */
BVSIM_API BOOL simShouldFail(const char *step, DWORD *code);

/* The steps reached since the last reset, each named once, in order. */
BVSIM_API DWORD simStepCount(void);
BVSIM_API const char *simStepName(DWORD index);

/* Every call of a step since the last reset, in order: simStepCallAt gives
 * the name of call index (the same text simStepName gives), null past the
 * end. A test records a good run this way and then fails each call of it
 * in turn. */
BVSIM_API DWORD simStepCallCount(void);
BVSIM_API const char *simStepCallAt(DWORD index);

/* COM ports that have a camera attached: bit 0 is COM1. */
BVSIM_API void simSetSerialCameraPorts(DWORD mask);
BVSIM_API DWORD simSerialCameraPorts(void);

/* Attaches a camera to COM port number (1 to 32) that answers as the given
 * model (name at most 63 characters): the serial stand-in opens it there
 * and its baseGetModelDescrip reports that model ID and name. Other ports
 * keep their cameras; simSetSerialCameraPorts and simReset put back the
 * factory model everywhere. */
BVSIM_API void simSetSerialCamera(DWORD portNumber, DWORD modelID, const char *modelName);
/* The model that the camera on COM port number answers as. */
BVSIM_API void simSerialCameraModel(DWORD portNumber, DWORD *modelID, char modelName[64]);

/* Calls received by the serial stand-in, in order. */
typedef struct SimSerialCall {
    DWORD table;        /* 0: g_bvlBaseAPI, 1: g_bvlFactryAPI */
    DWORD slot;         /* slot number (base) or entry index (factry) */
    DWORD argCount;
    UINT_PTR args[5];
    DWORD result;
} SimSerialCall;

BVSIM_API DWORD simSerialCallCount(void);
BVSIM_API BOOL simSerialCallAt(DWORD index, SimSerialCall *call);
BVSIM_API void simRecordSerialCall(const SimSerialCall *call);

/* Empties the logs (step calls, serial calls, commands, their payloads and
 * the bulk data written) and leaves everything else as it is, so a long run
 * does not grow them without bound. */
BVSIM_API void simClearLogs(void);

/* Live counters, kept across simReset: "serial.library" counts how many
 * times the serial stand-in is loaded right now, "serial.loads" how many
 * times it was ever loaded; "sti.instances" and "sti.devices" count live
 * service and device objects (a Release missing leaves a device live),
 * "sti.locks" held device locks, and "sti.afterRelease" the calls made on
 * a device object after its last Release, a Release too many included
 * (the object stays allocated, so such a call is counted, not a crash). */
BVSIM_API LONG simCounter(const char *name);
BVSIM_API void simAddToCounter(const char *name, LONG delta);

/* Events the camera's driver raises, and the battery levels carried in the
 * low four bits of the battery event's first data word. A class 0x40000
 * event is the channel's last. */
#define SIM_EVENT_BATTERY        0x00010001u
#define SIM_EVENT_TIMEOUT        0x00010005u
#define SIM_EVENT_DISCONNECTED   0x00040002u
#define SIM_BATTERY_NORMAL       6u
#define SIM_BATTERY_LOW          4u
#define SIM_BATTERY_EXHAUSTED    3u

/* The camera driver's side of the event channel: opens the shared record
 * and the two events that the library created for a camera (by the same
 * names the library builds from the model and device port names), raises
 * events and reads back the library's answers. */
BVSIM_API BOOL simDriverOpenChannel(const char *modelName, const char *portName);
/* Writes an event into the record, signals the library and waits up to
 * timeoutMs for its answer (the notification callback's result). FALSE
 * when the channel is not open or no answer came in time. */
BVSIM_API BOOL simDriverRaiseEvent(DWORD code, const void *data, DWORD size, DWORD timeoutMs,
                                   DWORD *answer);
/* The record's listening flag, or MAXDWORD when the channel is not open. */
BVSIM_API DWORD simDriverListening(void);
BVSIM_API void simDriverCloseChannel(void);

/* ---- Still Image stand-in (Sti.dll) ----------------------------------------
 * Its steps are "sti.create", "sti.deviceList", "sti.deviceInfo",
 * "sti.createDevice", "sti.launchInfo", "sti.lock", "sti.unlock",
 * "sti.escape", "sti.rawRead", "sti.rawWrite", "sti.lastError". The code
 * given to simFailNth becomes the device's vendor error (0: none); the
 * method returns simStepResult of the step. */

/* The HRESULT that a failing still-image step returns (0 restores the
 * default, E_FAIL). */
BVSIM_API void simSetStepResult(const char *step, HRESULT result);
BVSIM_API HRESULT simStepResult(const char *step);

/* Every call of the step waits ms milliseconds first (0: no wait). */
BVSIM_API void simDelayStep(const char *step, DWORD ms);
BVSIM_API DWORD simStepDelay(const char *step);

/* Holds one step: every call of it from now waits until the test lets it
 * go (hold FALSE, or simReset), so a device call lasts exactly as long as
 * the test needs, whatever the machine's load. simWaitHeld waits at most
 * ms for a call to arrive in the held step; simPassHold is what each call
 * of a stand-in step runs first. */
BVSIM_API void simHoldStep(const char *step, BOOL hold);
BVSIM_API BOOL simWaitHeld(DWORD ms);
BVSIM_API void simPassHold(const char *step);

/* One device of the service's list. Texts may be null. */
typedef struct SimStiDevice {
    const WCHAR *internalName;
    const WCHAR *vendor;
    const WCHAR *description;
    const WCHAR *portName;
    DWORD deviceType;      /* high word type (2 camera), low word subtype */
} SimStiDevice;

/* Replaces the device list (copied). simReset restores one "Brivant 350"
 * of vendor "Orvel" on port "\\.\Usbscan0". */
BVSIM_API void simStiSetDevices(const SimStiDevice *devices, DWORD count);
BVSIM_API DWORD simStiDeviceCount(void);
BVSIM_API BOOL simStiDeviceAt(DWORD index, SimStiDevice *device);

/* The device whose event launched the process, and the event's name; a
 * null device name means the process was not launched by an event. */
BVSIM_API void simStiSetLaunch(const WCHAR *deviceName, const WCHAR *eventName);
BVSIM_API BOOL simStiLaunch(WCHAR deviceName[128], WCHAR eventName[64]);

/* The nth raw read from now (1 = the next) delivers at most bytes. */
BVSIM_API void simCutRawRead(int nth, DWORD bytes);
/* Asked by each raw read: TRUE and the byte limit when this one is cut. */
BVSIM_API BOOL simRawReadCut(DWORD *bytes);

/* The camera's side of the command exchange, as its still-image driver
 * sees it. simRunCommand runs one command block; a command that announces
 * bulk data leaves it for simReadBulk, or waits for it in simWriteBulk.
 * Each returns 0 or the camera's error code. */
BVSIM_API DWORD simRunCommand(DWORD command, const BYTE *payload, DWORD payloadLength,
                              BYTE *reply, DWORD replyLength);
BVSIM_API DWORD simReadBulk(BYTE *buffer, DWORD wanted, DWORD *delivered);
BVSIM_API DWORD simWriteBulk(const BYTE *data, DWORD size);

/* Bulk data waiting to be read, as if a command had announced it. */
BVSIM_API void simQueueBulkData(const BYTE *data, DWORD size);
/* Every byte written with simWriteBulk since the last reset: returns the
 * count and copies up to size bytes. */
BVSIM_API DWORD simWrittenBulk(BYTE *buffer, DWORD size);
/* The commands that reached the camera since the last reset. */
BVSIM_API DWORD simCommandCount(void);
BVSIM_API DWORD simCommandAt(DWORD index);

/* The payload of each command block the driver received since the last
 * reset, in order (simLogCommandPayload records one). Returns its length
 * and copies up to size bytes; command 1 carries a value in its payload
 * field, so only its length is kept. simCommandReplyLengthAt gives the
 * reply length the library offered with the command. */
BVSIM_API void simLogCommandPayload(DWORD command, const BYTE *payload, DWORD length,
                                    DWORD replyLength);
BVSIM_API DWORD simCommandPayloadAt(DWORD index, BYTE *buffer, DWORD size);
BVSIM_API DWORD simCommandReplyLengthAt(DWORD index);

/* Reads a configuration for the demo (devices, launch, faults, cards) from
 * an INI file; FALSE when the file is missing or a card cannot be used. */
BVSIM_API BOOL simLoadConfiguration(const WCHAR *path);

/* The device's speed, as a camera on a slower bus would have it: each raw
 * read or write of n bytes takes n / bytesPerSecond seconds, and each
 * command block commandLatencyUs microseconds more, counted from the call
 * (the driver's thread spins meanwhile). 0 for either, and simReset, make
 * that part instant. A camera on USB 2.0 is about 35000000 and 1000. */
BVSIM_API void simSetDeviceSpeed(DWORD bytesPerSecond, DWORD commandLatencyUs);

/* ---- Raw messages (commands 60 and 61, and the serial message table) ------
 * The camera answers a message with a reply whose kind is the message's
 * own kind, or the one set here, and with data: the message's payload
 * repeated up to the data size, which is the payload length unless set
 * here. Command 60 sends back the reply header and as much data as the
 * reply buffer holds; command 61 replies with the data size and leaves
 * the data for the raw reads; the serial stand-in delivers the data to
 * the reply callback in chunks. simReset does not restore the answer:
 * SIM_MESSAGE_ECHO for both values restores the echo. */
#define SIM_MESSAGE_ECHO 0xffffffffu
BVSIM_API void simSetMessageAnswer(DWORD replyKind, DWORD dataSize);
/* The answer to a message record (a 16-byte header, then the payload):
 * sets the reply kind, copies up to size data bytes and returns the data
 * size. */
BVSIM_API DWORD simMessageAnswer(const BYTE *message, DWORD *replyKind, BYTE *data, DWORD size);
/* The chunks in which the serial stand-in hands the next replies' data to
 * the reply callback, in place of plain chunks of 5120 bytes: each gives
 * the record's status, offset, length and last flag; its bytes are the
 * answer's from that offset (zeros past its end). The exchange is over
 * after a chunk marked last, one the callback ended, or the final one.
 * count 0 (and simReset) puts back the plain chunks. */
typedef struct SimReplyChunk {
    DWORD status, offset, length, last;
} SimReplyChunk;
BVSIM_API void simSetSerialReplyChunks(const SimReplyChunk *chunks, DWORD count);
BVSIM_API BOOL simSerialReplyChunkAt(DWORD index, SimReplyChunk *chunk);
/* Commands 60 and 61 as the camera runs them, called by simRunCommand. */
BVSIM_API DWORD simRunMessageCommand(DWORD command, const BYTE *payload, DWORD payloadLength,
                                     BYTE *reply, DWORD replyLength);

/* ---- Hostile mode ----------------------------------------------------------
 * With a seed other than 0 the camera and the serial stand-in answer like a
 * broken or malicious device, the same way for the same seed, so a failure
 * can be replayed: some command replies get one word replaced by 0,
 * 0xFFFFFFFF or noise, or every byte set to 0xFF (names without their
 * terminators); bulk data loses its terminators or is cut short; raw reads
 * deliver short counts, sometimes none; raw messages come back of another
 * kind; serial reply chunks get error statuses, gaps and lengths that run
 * past their record. A seed of 0, and simReset, end it. */
BVSIM_API void simSetHostile(DWORD seed);
/* TRUE with the given chance in percent while the mode is on. */
BVSIM_API BOOL simHostileChance(DWORD percent);
/* The next value of the seeded sequence. */
BVSIM_API DWORD simHostileNext(void);
/* A size as a hostile device gives it: 0, 0xFFFFFFFF or noise. */
BVSIM_API DWORD simHostileSize(void);

#ifdef __cplusplus
}
#endif

#endif /* BVSIM_H */
