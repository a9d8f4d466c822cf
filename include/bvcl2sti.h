/*
 * bvcl2sti.h - public interface of bvcl2sti.dll, the camera-communication
 * library for digital still cameras on RS-232C and USB ports.
 *
 * An application loads bvcl2sti.dll, takes the exported table g_bvlBaseAPI
 * and calls the camera operations through it (or through the operations'
 * own exports). Every operation uses the standard calling convention and
 * returns a 32-bit error code, 0 for success (see the BVL_E_ constants).
 *
 * Usable from C and C++.
 */
#ifndef BVCL2STI_H
#define BVCL2STI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A module that defines g_bvlBaseAPI itself (this library, or a serial
 * camera library with the same table) defines BVL_DEFINES_BASE_TABLE. */
#ifdef BVL_DEFINES_BASE_TABLE
#define BVCL2STI_API
#else
#define BVCL2STI_API __declspec(dllimport)
#endif

/* ---- Error codes ----------------------------------------------------------
 * Bit 31: 1 = specific (component-private number), 0 = generic.
 * Bits 30..24: component. Bits 23..16: 0, or 0x70 in the statuses of the
 * camera settings dialog. Bits 15..0: error number.
 * Codes reported by the camera, its driver or the serial library are passed
 * on unchanged. */
#define BVL_OK                              0x00000000u

#define BVL_E_NO_DEVICE_OPEN                0x0a000002u /* INTERNAL_ERROR */
#define BVL_E_MEM_ALLOC_FAILED              0x0a000003u
#define BVL_E_UNEXPECTED_EXCEPTION          0x0a000008u /* a fault inside the library */
#define BVL_E_SERIAL_LIBRARY_MISSING        0x0a00000au /* MISSING_SUBCOMPONENT */
#define BVL_E_FILE_NOT_FOUND                0x0a000022u
#define BVL_E_FILE_DATA_CORRUPT             0x0a00002du /* a read delivered no byte */
#define BVL_E_DIR_IO_ERROR                  0x0a000041u
#define BVL_E_INVALID_PARAMETER             0x0a000060u
#define BVL_E_INVALID_FN_POINTER            0x0a000065u
#define BVL_E_DEVICE_NOT_FOUND              0x0a000080u
#define BVL_E_DEVICE_BUSY                   0x0a000081u
#define BVL_E_DEVICE_INVALID                0x0a000082u
#define BVL_E_DEVICE_NOT_INSTALLED          0x0a00008bu
#define BVL_E_STREAM_OPEN_ERROR             0x0a0000a3u
#define BVL_E_STREAM_SEEK_ERROR             0x0a0000a5u
#define BVL_E_STREAM_TELL_ERROR             0x0a0000a6u
#define BVL_E_STREAM_WRITE_ERROR            0x0a0000a8u
#define BVL_E_USB_MODEL_ENUM_FAILED         0x0a0000e0u
#define BVL_E_STI_INSTANCE_FAILED           0x0a0000e1u
#define BVL_E_STI_RELEASE_FAILED            0x0a0000e3u
#define BVL_E_NO_LAUNCHING_CAMERA           0x0a0000e4u

#define BVL_E_LL_MEM_ALLOC_FAILED           0x02000003u
#define BVL_E_LL_UNEXPECTED_EXCEPTION       0x02000008u
#define BVL_E_LL_INVALID_FN_POINTER         0x02000065u
#define BVL_E_LL_DEVICE_INTERNAL_ERROR      0x02000085u
#define BVL_E_LL_COMM_DISCONNECTED          0x020000c1u

#define BVL_E_NO_LAST_PORT                  0x0900000bu /* SELECTION_UNAVAILABLE */
#define BVL_E_REGISTRY                      0x0900008bu /* DEVICE_NOT_INSTALLED */

#define BVL_E_MESSAGE_FIRST                 0x0c000001u
#define BVL_E_MESSAGE_LAST                  0x0c000007u

#define BVL_E_SETTINGS_CANCELLED            0x02700005u
#define BVL_E_SETTINGS_STATUS_3             0x82700003u
#define BVL_E_SETTINGS_STATUS_A1            0x827000a1u
#define BVL_E_SETTINGS_STATUS_A2            0x827000a2u

/* ---- Records --------------------------------------------------------------*/
#pragma pack(push, 1)

/* Port types of bvlCameraPort.portType. */
#define BVL_PORT_NONE    0
#define BVL_PORT_SERIAL  1
#define BVL_PORT_USB     3

/* Camera port descriptor: 114 bytes, packed, stored whole in the registry. */
typedef struct bvlCameraPort {
    WORD portType;                 /* BVL_PORT_SERIAL or BVL_PORT_USB */
    char portName[32];             /* "com1" style, or "USB" */
    union {
        struct {
            BYTE portNumber;       /* 1 for "com1" */
            BYTE params[4];        /* handed to the serial library as they are */
            DWORD baudRate;        /* unaligned, little-endian */
        } serial;
        struct {
            DWORD modelID;         /* 0: not yet known */
            char deviceName[76];   /* empty: choose the device by model */
        } usb;
    } u;
} bvlCameraPort;

/* Model description filled by baseGetModelDescrip: 68 bytes. */
typedef struct bvlModelDescrip {
    DWORD modelID;
    char modelName[64];
} bvlModelDescrip;

#pragma pack(pop)

/* Caller's stream. Every callback stores its status in *error on every call
 * (0 for success); the library reads that word, not the return value (except
 * TellCB's position). On the 32-bit library the record is 36 bytes. */
typedef struct bvlStream bvlStream;
struct bvlStream {
    UINT_PTR context;              /* first argument of every callback */
    BYTE clampFlag;
    BYTE flags2;
    WORD progressMode;             /* 3 percentages, 2 only at the end, else none */
    void (WINAPI *OpenCB)(UINT_PTR context, DWORD mode, DWORD *error);
    void (WINAPI *CloseCB)(UINT_PTR context, DWORD *error);
    void (WINAPI *ReadCB)(UINT_PTR context, BYTE *buffer, DWORD *count, DWORD *error);
    void (WINAPI *WriteCB)(UINT_PTR context, const BYTE *buffer, DWORD *count, DWORD *error);
    void (WINAPI *SeekCB)(UINT_PTR context, DWORD origin, LONG offset, DWORD *error);
    DWORD (WINAPI *TellCB)(UINT_PTR context, DWORD *error);
    void (WINAPI *ProgressCB)(UINT_PTR context, DWORD percent, DWORD *error);
};

#define BVL_STREAM_OPEN_READ     1  /* a source that the library reads */
#define BVL_STREAM_OPEN_WRITE    3  /* a destination that the library writes */
#define BVL_SEEK_SET             1
#define BVL_SEEK_END             3
#define BVL_PROGRESS_NONE        1
#define BVL_PROGRESS_END_ONLY    2
#define BVL_PROGRESS_PERCENT     3

/* Notification callback: event code, event data, its size in bytes and the
 * context registered with it. The result goes back to the camera driver. */
typedef DWORD (WINAPI *bvlNotifyCB)(DWORD event, void *data, DWORD size, UINT_PTR context);

/* ---- Operations -----------------------------------------------------------
 * The first argument of most operations is the camera word written by
 * baseOpenCameraComm. */
#define BVL_BASE_API_VERSION 0x01000000u

typedef struct bvlBaseAPI {
    DWORD version;                                              /* BVL_BASE_API_VERSION */
    DWORD (WINAPI *baseGetModelDescrip)(DWORD camera, bvlModelDescrip *descrip);             /* 1 */
    DWORD (WINAPI *baseGetCameraPort)(DWORD request, HWND parent, DWORD modelID,
                                      bvlCameraPort *port);                                  /* 2 */
    DWORD (WINAPI *baseOpenCameraComm)(bvlCameraPort *port, bvlNotifyCB callback,
                                       UINT_PTR context, DWORD *camera);                      /* 3 */
    DWORD (WINAPI *baseCloseCameraComm)(DWORD camera);                                        /* 4 */
    DWORD (WINAPI *baseGetOpenCameraPort)(DWORD camera, bvlCameraPort *port);                 /* 5 */
    DWORD (WINAPI *baseGetVols)(DWORD camera, bvlStream *stream);                              /* 6 */
    DWORD (WINAPI *baseGetDirs)(DWORD camera, const BYTE *subtree, bvlStream *stream);         /* 7 */
    DWORD (WINAPI *baseGetFile)(DWORD camera, const char *path, bvlStream *stream);            /* 8 */
    DWORD (WINAPI *baseDeleteFiles)(DWORD camera, const char *fileList);                       /* 9 */
    DWORD (WINAPI *baseDeleteVolPictures)(DWORD camera, const char *volume, DWORD word1,
                                          DWORD word2);                                        /* 10 */
    DWORD (WINAPI *baseShowSettingsUI)(DWORD camera, HWND parent);                             /* 11 */
    DWORD (WINAPI *baseReadSetting)(DWORD camera, DWORD id, void *value);                      /* 12 */
    DWORD (WINAPI *baseWriteSetting)(DWORD camera, DWORD id, void *value);                     /* 13 */
    DWORD (WINAPI *baseSetNotificationCB)(DWORD camera, bvlNotifyCB callback, UINT_PTR context); /* 14 */
    DWORD (WINAPI *baseFormatVol)(DWORD camera, const char *volume, DWORD word1, DWORD word2); /* 15 */
    DWORD (WINAPI *baseCreateDir)(DWORD camera, const char *path);                             /* 16 */
    DWORD (WINAPI *baseRemoveDir)(DWORD camera, const char *path);                             /* 17 */
    DWORD (WINAPI *basePutFile)(DWORD camera, const char *name, bvlStream *source);            /* 18 */
    DWORD (WINAPI *baseSetFileAttribs)(DWORD camera, const char *fileList, DWORD attribs);     /* 19 */
    DWORD (WINAPI *baseSetFileTimes)(DWORD camera, const char *fileList, DWORD time);          /* 20 */
    DWORD (WINAPI *baseGetJpegParsingHeader)(DWORD camera, const char *path, bvlStream *stream); /* 21 */
    DWORD (WINAPI *baseReleaseControlEx)(DWORD camera, DWORD requestLength, const void *request,
                                         DWORD replyLength, void *reply);                      /* 22 */
    DWORD (WINAPI *baseReleaseControlGetReleasedData)(DWORD camera, DWORD word1, DWORD word2,
                                                      bvlStream *stream);                      /* 23 */
    DWORD (WINAPI *baseReleaseControlGetViewFinderData)(DWORD camera, bvlStream *stream);      /* 24 */
    DWORD (WINAPI *baseSetCameraSelector)(DWORD modelID);                                      /* 25 */
    DWORD (WINAPI *baseGetDevicePort)(DWORD request, HWND parent, DWORD modelID,
                                      bvlCameraPort *port, DWORD wantedKind);                  /* 26 */
    DWORD (WINAPI *baseGetUSBModels)(bvlStream *stream);                                       /* 27 */
} bvlBaseAPI;

/* Requests of baseGetDevicePort and baseGetCameraPort. */
#define BVL_PORT_REQUEST_DEFAULT   1
#define BVL_PORT_REQUEST_DIALOG    2
#define BVL_PORT_REQUEST_LAST      3
#define BVL_PORT_REQUEST_LAUNCHED  4

BVCL2STI_API extern const bvlBaseAPI g_bvlBaseAPI;

/* ---- Raw message exchange --------------------------------------------------
 * g_bvlNewFactryAPI sends one raw message to the camera and hands back its
 * reply, over the serial or the USB port, bounded by a time-out and a
 * periodic interval callback. The message transport's own statuses are
 * BVL_E_MESSAGE_FIRST to BVL_E_MESSAGE_LAST. */
#define BVL_E_MESSAGE_TIMEOUT               0x0c000001u /* no reply or no data progress in time */
#define BVL_E_MESSAGE_NO_MEMORY             0x0c000002u
#define BVL_E_MESSAGE_NO_THREAD             0x0c000003u /* the exchange could not be handed to a worker */
#define BVL_E_MESSAGE_NO_EXIT_STATUS        0x0c000004u /* the wait for the worker failed */
#define BVL_E_MESSAGE_STREAM_FAILED         0x0c000005u /* a stream callback failed or took another count */
#define BVL_E_MESSAGE_STREAM_INCOMPLETE     0x0c000006u /* a needed stream callback is missing */
/* Started on a thread that is waiting for an exchange already, from a
 * message it handled in that wait; nothing was sent. */
#define BVL_E_MESSAGE_NESTED                0x0c000007u

/* Header of a raw camera message (and of a reply): 16 bytes of 32-bit
 * little-endian words, then totalLength - 16 payload bytes. */
typedef struct dePC_MESSAGE {
    DWORD messageCode;             /* 16-bit message code, widened */
    DWORD messageKind;
    DWORD totalLength;             /* payload length + 16 */
    DWORD messageParam;
} dePC_MESSAGE;

/* Reply callback: the reply, the caller's context and a done word. A
 * nonzero result ends the exchange with that status. */
typedef DWORD (WINAPI *bvlMsgFoundCB)(dePC_MESSAGE *reply, void *context, DWORD *done);
/* Called about every 50 ms while an exchange waits; nonzero stops it. */
typedef DWORD (WINAPI *bvlIntervalCB)(void *context);

typedef struct bvlNewFactryAPI {
    DWORD (WINAPI *bvlNewMessageTxRx)(DWORD camera, WORD messageCode, const void *payload,
                                      DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                      DWORD messageParam, bvlMsgFoundCB msgFoundCB,
                                      void *msgFoundContext, DWORD replyCapacity,
                                      bvlIntervalCB intervalCB, void *intervalContext,
                                      DWORD timeoutMs);
    DWORD (WINAPI *bvlMessageTxAndRecieveData)(DWORD camera, WORD messageCode,
                                               const void *payload, DWORD payloadLength,
                                               DWORD messageKind, DWORD replyKind,
                                               DWORD messageParam, bvlStream *stream,
                                               bvlIntervalCB intervalCB, void *intervalContext,
                                               DWORD timeoutMs);
    DWORD (WINAPI *bvlSuspend)(DWORD camera);
    DWORD (WINAPI *bvlFlashMessage)(DWORD camera, DWORD word1, DWORD word2);
    DWORD (WINAPI *bvlSetWakeupCode)(DWORD code);
} bvlNewFactryAPI;

BVCL2STI_API extern const bvlNewFactryAPI g_bvlNewFactryAPI;

DWORD WINAPI bvlTestWakeupCode(DWORD word1, DWORD word2);

/* The serial road of the message exchange, called by the table above when
 * the port is RS-232C; the camera word goes to BVCLL.DLL unchanged. */
DWORD WINAPI RS232C_MessageTxRx(DWORD camera, WORD messageCode, const void *payload,
                                DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                DWORD messageParam, bvlMsgFoundCB replyCB, void *replyContext,
                                DWORD unused, bvlIntervalCB idleCB, void *idleContext,
                                DWORD timeoutMs);
DWORD WINAPI RS232C_MessageTxAndRecievedData(DWORD camera, WORD messageCode, const void *payload,
                                             DWORD payloadLength, DWORD messageKind,
                                             DWORD replyKind, DWORD messageParam,
                                             bvlStream *stream, bvlIntervalCB idleCB,
                                             void *idleContext, DWORD timeoutMs);
DWORD WINAPI RS232C_SetWakeupCode(BYTE code);

#ifdef __cplusplus
}
#endif

#endif /* BVCL2STI_H */
