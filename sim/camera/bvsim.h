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

/* Puts the camera back to its factory content (one volume with pictures),
 * clears the fault plan, the call log and the reached steps, and puts a
 * camera on COM1 only. Library load counters are kept. */
BVSIM_API void simReset(void);

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

/* COM ports that have a camera attached: bit 0 is COM1. */
BVSIM_API void simSetSerialCameraPorts(DWORD mask);
BVSIM_API DWORD simSerialCameraPorts(void);

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

/* Live counters, kept across simReset: "serial.library" counts how many
 * times the serial stand-in is loaded right now, "serial.loads" how many
 * times it was ever loaded. */
BVSIM_API LONG simCounter(const char *name);
BVSIM_API void simAddToCounter(const char *name, LONG delta);

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

#ifdef __cplusplus
}
#endif

#endif /* BVSIM_H */
