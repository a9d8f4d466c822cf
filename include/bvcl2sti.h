/**
 * @file bvcl2sti.h
 * @brief Public interface of bvcl2sti.dll, the camera-communication library
 * for digital still cameras on RS-232C and USB ports.
 *
 * An application loads bvcl2sti.dll, takes the exported table g_bvlBaseAPI
 * and calls the camera operations through it, or through the operations'
 * own exports declared below (each also under its decorated standard-call
 * name, e.g. `_baseGetVols@8`). Raw messages go through g_bvlNewFactryAPI.
 * Every operation uses the standard calling convention and returns a 32-bit
 * error code, #BVL_OK (0) for success. Usable from C and C++.
 *
 * @section dispatch Ports and the camera word
 * baseOpenCameraComm sets the port type of the process (one connection per
 * process) and writes the camera word, which the caller passes back as the
 * first argument of later operations.
 * - Serial port (#BVL_PORT_SERIAL): the library loads the maker's serial
 *   camera library BVCLL.DLL and hands most operations, with exactly the
 *   caller's arguments and on the caller's thread, to the operation of the
 *   same slot in that library's table; BVCLL.DLL's code comes back unchanged.
 *   When the open could not load BVCLL.DLL, those operations return
 *   #BVL_E_SERIAL_LIBRARY_MISSING (the ones that say so return 0 instead).
 *   The camera word is BVCLL.DLL's own and is passed on unchanged.
 *   baseCloseCameraComm ends the serial port type.
 * - USB (#BVL_PORT_USB): the library does the work itself through the Still
 *   Image service, sending one command block to the camera's still-image
 *   driver per operation. The camera word is 100; the library ignores it.
 *   The port type stays USB after baseCloseCameraComm, so later operations
 *   answer #BVL_E_NO_DEVICE_OPEN until the next open.
 * - No port (before any open, or after a serial close): the dispatched
 *   operations return 0 and touch nothing, not even their output arguments
 *   (baseGetOpenCameraPort zeroes its descriptor).
 *
 * Operations may be called from any thread. Over USB each operation works
 * on the device it found open at its start for its whole length: a close
 * or open on another thread waits until the operations it meets have
 * ended, and operations that begin meanwhile return #BVL_E_NO_DEVICE_OPEN.
 * A close or open from inside a callback of a running USB operation (a
 * stream callback, a message exchange's callbacks) cannot wait for it and
 * returns #BVL_E_CONNECTION_IN_USE, changing nothing.
 *
 * @section usbcodes Codes of a USB command
 * Every USB command may fail with #BVL_E_NO_DEVICE_OPEN (no still-image
 * device open), the camera's or its driver's code (the service's vendor
 * error, passed on unchanged: a device lock held elsewhere for longer than
 * 500 ms fails this way), or #BVL_E_LL_UNEXPECTED_EXCEPTION (the service
 * failed without a vendor error). Any operation may further return
 * #BVL_E_MEM_ALLOC_FAILED when memory runs out and
 * #BVL_E_UNEXPECTED_EXCEPTION for a fault inside the library; no C++
 * exception leaves the library.
 *
 * @section streams Streams
 * Bulk data moves through a caller's bvlStream. The record, its context and
 * every buffer stay the caller's: the library keeps no pointer to them after
 * the call returns (a USB message exchange copies the record first). Each
 * callback gets the record's context first and stores its status in its
 * last argument, 0 for success; the library reads that word, not a return
 * value (except TellCB's position). The library's base operations call the
 * stream's callbacks on the caller's thread, before they return; once OpenCB
 * succeeded, CloseCB is called exactly once, whatever fails after it (on a
 * serial port BVCLL.DLL calls them as it does). The USB message exchange
 * calls them on a thread of the system's thread pool.
 */
/**
 * @mainpage bvcl2sti.dll
 * The whole interface is one C header, bvcl2sti.h: the exported tables
 * g_bvlBaseAPI and g_bvlNewFactryAPI, the operations they point to (each
 * also exported by name), the records, the callbacks and the error codes.
 */
#ifndef BVCL2STI_H
#define BVCL2STI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/**
 * @brief Storage class of the exported tables and functions: `__declspec(dllimport)` for
 * applications, empty in a module that defines g_bvlBaseAPI itself (this
 * library, or a serial camera library with the same table), which defines
 * BVL_DEFINES_BASE_TABLE.
 */
#ifdef BVL_DEFINES_BASE_TABLE
#define BVCL2STI_API
#else
#define BVCL2STI_API __declspec(dllimport)
#endif

/**
 * @name Error codes
 * Bit 31: 1 = specific (component-private number), 0 = generic.
 * Bits 30..24: component (0x0a this library, 0x02 the serial camera layer,
 * 0x09 the registry store, 0x0c the message transport). Bits 23..16: 0, or
 * 0x70 in the statuses of the camera settings dialog. Bits 15..0: error
 * number. Codes reported by the camera, its driver or the serial library
 * are passed on unchanged.
 * @{
 */
#define BVL_OK                              0x00000000u /**< Success. */

#define BVL_E_NO_DEVICE_OPEN                0x0a000002u /**< INTERNAL_ERROR: no still-image device is open. */
#define BVL_E_MEM_ALLOC_FAILED              0x0a000003u /**< Out of memory, or a listing announced larger than 16 MiB. */
#define BVL_E_UNEXPECTED_EXCEPTION          0x0a000008u /**< A fault inside the library. */
#define BVL_E_SERIAL_LIBRARY_MISSING        0x0a00000au /**< MISSING_SUBCOMPONENT: BVCLL.DLL or its table was not found. */
#define BVL_E_FILE_NOT_FOUND                0x0a000022u /**< The camera has no such file (it announced 0 bytes). */
#define BVL_E_FILE_DATA_CORRUPT             0x0a00002du /**< A read delivered no byte, or a reply ended with bytes missing. */
#define BVL_E_DIR_IO_ERROR                  0x0a000041u /**< The directory listing could not be read. */
#define BVL_E_INVALID_PARAMETER             0x0a000060u /**< A null or inconsistent argument. */
#define BVL_E_INVALID_FN_POINTER            0x0a000065u /**< A stream, or a callback it needs, is missing. */
#define BVL_E_DEVICE_NOT_FOUND              0x0a000080u /**< The Still Image service knows no such camera. */
#define BVL_E_DEVICE_BUSY                   0x0a000081u /**< The camera's device is in use (access denied). */
#define BVL_E_DEVICE_INVALID                0x0a000082u /**< A USB descriptor names neither a model nor a device. */
#define BVL_E_DEVICE_NOT_INSTALLED          0x0a00008bu /**< The model is not installed for the port kind asked for. */
#define BVL_E_STREAM_OPEN_ERROR             0x0a0000a3u /**< The source stream failed to open or to close. */
#define BVL_E_STREAM_SEEK_ERROR             0x0a0000a5u /**< The source stream failed to seek. */
#define BVL_E_STREAM_TELL_ERROR             0x0a0000a6u /**< The source stream failed to tell its position. */
#define BVL_E_STREAM_READ_ERROR             0x0a0000a7u /**< ReadCB delivered no byte, or more than asked. */
#define BVL_E_STREAM_WRITE_ERROR            0x0a0000a8u /**< WriteCB took no byte, or more than offered. */
#define BVL_E_CONNECTION_IN_USE             0x0a0000c0u /**< COMM_PORT_IS_IN_USE: an open or close from inside a callback of a running USB operation; nothing was changed. */
#define BVL_E_USB_MODEL_ENUM_FAILED         0x0a0000e0u /**< The Still Image service could not list its cameras. */
#define BVL_E_STI_INSTANCE_FAILED           0x0a0000e1u /**< The Still Image service could not be set up. */
#define BVL_E_STI_RELEASE_FAILED            0x0a0000e3u /**< Releasing the Still Image service failed. */
#define BVL_E_NO_LAUNCHING_CAMERA           0x0a0000e4u /**< No camera event launched this application. */

#define BVL_E_LL_MEM_ALLOC_FAILED           0x02000003u /**< Serial message: out of memory. */
#define BVL_E_LL_UNEXPECTED_EXCEPTION       0x02000008u /**< A USB command failed without a vendor error. */
#define BVL_E_LL_INVALID_FN_POINTER         0x02000065u /**< Release data: the stream or its WriteCB is missing. */
#define BVL_E_LL_DEVICE_INTERNAL_ERROR      0x02000085u /**< Serial message: time-out, or BVCLL.DLL or its message table missing. */
#define BVL_E_LL_STREAM_WRITE_ERROR         0x020000a8u /**< Serial message data: WriteCB took no byte, or more than offered. */
#define BVL_E_LL_COMM_DISCONNECTED          0x020000c1u /**< COMM_DISCONNECTED: the camera went away. */

#define BVL_E_NO_LAST_PORT                  0x0900000bu /**< SELECTION_UNAVAILABLE: no last port stored; the default is given. */
#define BVL_E_REGISTRY                      0x0900008bu /**< DEVICE_NOT_INSTALLED: a registry key or value is missing (e.g. an unknown model). */

#define BVL_E_MESSAGE_FIRST                 0x0c000001u /**< Lowest code of the message transport. */
#define BVL_E_MESSAGE_LAST                  0x0c000007u /**< Highest code of the message transport. */

/* End statuses of the camera settings dialog, kept in the dialog's record;
   baseShowSettingsUI answers none of them. */
#define BVL_E_SETTINGS_CANCELLED            0x02700005u /**< Settings dialog end status: cancelled (not returned by baseShowSettingsUI). */
#define BVL_E_SETTINGS_BATTERY_EXHAUSTED    0x82700003u /**< Settings dialog end status: the camera reported an exhausted battery. */
#define BVL_E_SETTINGS_TIME_UNTOUCHED       0x827000a1u /**< Settings dialog end status: OK with the date and time untouched (the clock is not written). */
#define BVL_E_SETTINGS_DATE_INVALID         0x827000a2u /**< Settings dialog end status: the date in the fields is impossible (e.g. 30 February). */
/** @} */

/* ---- Records --------------------------------------------------------------*/
#pragma pack(push, 1)

/** @name Port types of bvlCameraPort::portType
 * @{ */
#define BVL_PORT_NONE    0 /**< No port: nothing is open. */
#define BVL_PORT_SERIAL  1 /**< RS-232C, through BVCLL.DLL. */
#define BVL_PORT_USB     3 /**< USB, through the Still Image service. */
/** @} */

/** @name Fixed values of port descriptors
 * A serial port carries the same parameter bytes whatever its number and
 * speed; the serial default port (COM1, 8/1/0/3, 115200 baud) stands in
 * where nothing is stored. A USB port always carries the name "USB".
 * @{ */
#define BVL_SERIAL_DEFAULT_PORT_NUMBER  1            /**< bvlCameraPort::u.serial.portNumber of the default: COM1. */
#define BVL_SERIAL_DEFAULT_BAUD_RATE    115200u      /**< bvlCameraPort::u.serial.baudRate of the default. */
#define BVL_SERIAL_PARAMS               {8, 1, 0, 3} /**< Initialiser of bvlCameraPort::u.serial.params: 8 data bits, 1 stop bit, no parity, then 3. */
#define BVL_USB_PORT_NAME               "USB"        /**< bvlCameraPort::portName of every USB port. */
/** @} */

/**
 * @brief Camera port descriptor: 114 bytes, packed, stored whole in the
 * registry as the last and default ports.
 */
typedef struct bvlCameraPort {
    WORD portType;                 /**< #BVL_PORT_SERIAL or #BVL_PORT_USB. */
    char portName[32];             /**< "com1" style, or "USB"; NUL-terminated. */
    /** The fields of the port type. */
    union {
        /** Serial port fields. */
        struct {
            BYTE portNumber;       /**< 1 for "com1". */
            BYTE params[4];        /**< Handed to the serial library as they are (8/1/0/3 by default). */
            DWORD baudRate;        /**< Unaligned, little-endian (115200 by default). */
        } serial;
        /** USB fields. */
        struct {
            DWORD modelID;         /**< The model's ID in the registry; 0: not yet known. */
            char deviceName[76];   /**< Still-image device name; empty: choose the device by model. */
        } usb;
    } u;
} bvlCameraPort;

/** @brief Model description filled by baseGetModelDescrip: 68 bytes. */
typedef struct bvlModelDescrip {
    DWORD modelID;                 /**< The model's ID. */
    char modelName[64];            /**< The model's name, NUL-terminated. */
} bvlModelDescrip;

#pragma pack(pop)

typedef struct bvlStream bvlStream;

/**
 * @brief The caller's stream: a source or destination of bulk data, with a
 * context and callbacks (see @ref streams). On the 32-bit library the record
 * is 36 bytes.
 *
 * Every callback stores its status in *error on every call (0 for
 * success); a nonzero status ends the transfer, except where an operation
 * says it is ignored. The record, the context and the buffers stay the
 * caller's.
 */
struct bvlStream {
    UINT_PTR context;              /**< The caller's value, first argument of every callback. */
    BYTE clampFlag;                /**< Serial message data only: nonzero keeps percentages within 1..99. */
    BYTE flags2;                   /**< Not used by the library. */
    WORD progressMode;             /**< #BVL_PROGRESS_PERCENT, #BVL_PROGRESS_END_ONLY or #BVL_PROGRESS_NONE. */
    /** Opens the stream: mode is #BVL_STREAM_OPEN_READ or #BVL_STREAM_OPEN_WRITE.
     *  May be null for base operations; USB message data needs it. */
    void (WINAPI *OpenCB)(UINT_PTR context, DWORD mode, DWORD *error);
    /** Closes the stream; called once after a successful OpenCB. May be null
     *  for base operations; USB message data needs it. */
    void (WINAPI *CloseCB)(UINT_PTR context, DWORD *error);
    /** Fills buffer with up to *count bytes of a source and sets *count to
     *  the bytes delivered (1 to the count asked for). */
    void (WINAPI *ReadCB)(UINT_PTR context, BYTE *buffer, DWORD *count, DWORD *error);
    /** Takes the *count bytes at buffer (valid during the call only) and
     *  leaves in *count the bytes taken; each operation says what another
     *  count does. */
    void (WINAPI *WriteCB)(UINT_PTR context, const BYTE *buffer, DWORD *count, DWORD *error);
    /** Moves a source's position to offset from origin (#BVL_SEEK_SET or #BVL_SEEK_END). */
    void (WINAPI *SeekCB)(UINT_PTR context, DWORD origin, LONG offset, DWORD *error);
    /** Returns a source's position in bytes. */
    DWORD (WINAPI *TellCB)(UINT_PTR context, DWORD *error);
    /** Reports progress in percent (0 to 100); may be null except for USB
     *  message data with progressMode other than #BVL_PROGRESS_NONE. */
    void (WINAPI *ProgressCB)(UINT_PTR context, DWORD percent, DWORD *error);
};

/** @name Stream constants
 * @{ */
#define BVL_STREAM_OPEN_READ     1  /**< OpenCB mode: a source that the library reads. */
#define BVL_STREAM_OPEN_WRITE    3  /**< OpenCB mode: a destination that the library writes. */
#define BVL_SEEK_SET             1  /**< SeekCB origin: the start. */
#define BVL_SEEK_END             3  /**< SeekCB origin: the end. */
#define BVL_PROGRESS_NONE        1  /**< progressMode: no progress reports. */
#define BVL_PROGRESS_END_ONLY    2  /**< progressMode: 100 at the end only. */
#define BVL_PROGRESS_PERCENT     3  /**< progressMode: percentages along the way and 100 at the end. */
/** @} */

/**
 * @brief Notification callback: receives the camera driver's events while a
 * USB camera is open.
 *
 * Runs on the library's notification thread, one event at a time. It may
 * call the base operations, even close and reopen the camera; a close from
 * another thread waits up to five seconds for a running callback. On a
 * serial port the callback is handed to BVCLL.DLL, which calls it as it does.
 * Events: 0x10001 battery (first data word: 6 normal, 4 low, 3 exhausted),
 * 0x10005 camera time-out; an event of class 0x40000 (e.g. 0x40002, the
 * camera went away) is the last one.
 * @param event   The event code.
 * @param data    The event data in the library's buffer of 56 bytes: the
 *                driver's data, zeros after it; valid during the call only.
 * @param size    The data size the driver announced, cut to 56: never more
 *                than the buffer holds.
 * @param context The context registered with the callback.
 * @return The answer that goes back to the camera driver.
 */
typedef DWORD (WINAPI *bvlNotifyCB)(DWORD event, void *data, DWORD size, UINT_PTR context);

/* ---- Operations -----------------------------------------------------------*/

/** @brief Value of bvlBaseAPI::version. */
#define BVL_BASE_API_VERSION 0x01000000u

/**
 * @brief The table of base operations exported as g_bvlBaseAPI, in slot
 * order. Each slot points to the operation of the same name.
 */
typedef struct bvlBaseAPI {
    DWORD version;                                              /**< #BVL_BASE_API_VERSION. */
    DWORD (WINAPI *baseGetModelDescrip)(DWORD camera, bvlModelDescrip *descrip);             /**< Slot 1: ::baseGetModelDescrip. */
    DWORD (WINAPI *baseGetCameraPort)(DWORD request, HWND parent, DWORD modelID,
                                      bvlCameraPort *port);                                  /**< Slot 2: ::baseGetCameraPort. */
    DWORD (WINAPI *baseOpenCameraComm)(bvlCameraPort *port, bvlNotifyCB callback,
                                       UINT_PTR context, DWORD *camera);                      /**< Slot 3: ::baseOpenCameraComm. */
    DWORD (WINAPI *baseCloseCameraComm)(DWORD camera);                                        /**< Slot 4: ::baseCloseCameraComm. */
    DWORD (WINAPI *baseGetOpenCameraPort)(DWORD camera, bvlCameraPort *port);                 /**< Slot 5: ::baseGetOpenCameraPort. */
    DWORD (WINAPI *baseGetVols)(DWORD camera, bvlStream *stream);                              /**< Slot 6: ::baseGetVols. */
    DWORD (WINAPI *baseGetDirs)(DWORD camera, const BYTE *subtree, bvlStream *stream);         /**< Slot 7: ::baseGetDirs. */
    DWORD (WINAPI *baseGetFile)(DWORD camera, const char *path, bvlStream *stream);            /**< Slot 8: ::baseGetFile. */
    DWORD (WINAPI *baseDeleteFiles)(DWORD camera, const char *fileList);                       /**< Slot 9: ::baseDeleteFiles. */
    DWORD (WINAPI *baseDeleteVolPictures)(DWORD camera, const char *volume, DWORD word1,
                                          DWORD word2);                                        /**< Slot 10: ::baseDeleteVolPictures. */
    DWORD (WINAPI *baseShowSettingsUI)(DWORD camera, HWND parent);                             /**< Slot 11: ::baseShowSettingsUI. */
    DWORD (WINAPI *baseReadSetting)(DWORD camera, DWORD id, void *value);                      /**< Slot 12: ::baseReadSetting. */
    DWORD (WINAPI *baseWriteSetting)(DWORD camera, DWORD id, void *value);                     /**< Slot 13: ::baseWriteSetting. */
    DWORD (WINAPI *baseSetNotificationCB)(DWORD camera, bvlNotifyCB callback, UINT_PTR context); /**< Slot 14: ::baseSetNotificationCB. */
    DWORD (WINAPI *baseFormatVol)(DWORD camera, const char *volume, DWORD word1, DWORD word2); /**< Slot 15: ::baseFormatVol. */
    DWORD (WINAPI *baseCreateDir)(DWORD camera, const char *path);                             /**< Slot 16: ::baseCreateDir. */
    DWORD (WINAPI *baseRemoveDir)(DWORD camera, const char *path);                             /**< Slot 17: ::baseRemoveDir. */
    DWORD (WINAPI *basePutFile)(DWORD camera, const char *name, bvlStream *source);            /**< Slot 18: ::basePutFile. */
    DWORD (WINAPI *baseSetFileAttribs)(DWORD camera, const char *fileList, DWORD attribs);     /**< Slot 19: ::baseSetFileAttribs. */
    DWORD (WINAPI *baseSetFileTimes)(DWORD camera, const char *fileList, DWORD time);          /**< Slot 20: ::baseSetFileTimes. */
    DWORD (WINAPI *baseGetJpegParsingHeader)(DWORD camera, const char *path, bvlStream *stream); /**< Slot 21: ::baseGetJpegParsingHeader. */
    DWORD (WINAPI *baseReleaseControlEx)(DWORD camera, DWORD requestLength, const void *request,
                                         DWORD replyLength, void *reply);                      /**< Slot 22: ::baseReleaseControlEx. */
    DWORD (WINAPI *baseReleaseControlGetReleasedData)(DWORD camera, DWORD word1, DWORD word2,
                                                      bvlStream *stream);                      /**< Slot 23: ::baseReleaseControlGetReleasedData. */
    DWORD (WINAPI *baseReleaseControlGetViewFinderData)(DWORD camera, bvlStream *stream);      /**< Slot 24: ::baseReleaseControlGetViewFinderData. */
    DWORD (WINAPI *baseSetCameraSelector)(DWORD modelID);                                      /**< Slot 25: ::baseSetCameraSelector. */
    DWORD (WINAPI *baseGetDevicePort)(DWORD request, HWND parent, DWORD modelID,
                                      bvlCameraPort *port, DWORD wantedKind);                  /**< Slot 26: ::baseGetDevicePort. */
    DWORD (WINAPI *baseGetUSBModels)(bvlStream *stream);                                       /**< Slot 27: ::baseGetUSBModels. */
} bvlBaseAPI;

/** @name Requests of baseGetDevicePort and baseGetCameraPort
 * @{ */
#define BVL_PORT_REQUEST_DEFAULT   1 /**< The stored default port. */
#define BVL_PORT_REQUEST_DIALOG    2 /**< The user's choice in the communication settings dialog. */
#define BVL_PORT_REQUEST_LAST      3 /**< The port stored last. */
#define BVL_PORT_REQUEST_LAUNCHED  4 /**< The USB camera whose event launched the application. */
/** @} */

/** @name Setting IDs of baseReadSetting and baseWriteSetting
 * The value each one takes is described at ::baseReadSetting.
 * @{ */
#define BVL_SETTING_BYTE        1 /**< One byte. */
#define BVL_SETTING_OWNER_NAME  2 /**< The owner name: text of at most 31 characters, 32 bytes with the NUL. */
#define BVL_SETTING_DATE_TIME   3 /**< The camera's clock: seconds since 1970 UTC, 32 bits. */
#define BVL_SETTING_WORDS       4 /**< Three 32-bit words. */
#define BVL_SETTING_FIRMWARE    5 /**< The firmware version: text in 32 bytes. */
#define BVL_SETTING_POWER       6 /**< The power state: a 32-bit word. */
/** @} */

/** @brief The exported table of base operations. */
BVCL2STI_API extern const bvlBaseAPI g_bvlBaseAPI;

/**
 * @brief Describes the camera's model.
 *
 * Handed to BVCLL.DLL only while a serial connection has its table;
 * otherwise, whatever the port type, asks the USB camera, so that a camera
 * chosen with baseSetCameraSelector can be identified without opening
 * communication: with no device open, the device of the selected model is
 * opened for this one question and released again.
 * @param camera  The camera word (ignored over USB).
 * @param descrip Receives the model ID and name.
 * @return #BVL_OK, BVCLL.DLL's code, or over USB the codes of a command
 *         (@ref usbcodes) and:
 * @retval BVL_E_INVALID_PARAMETER  @p descrip is null (a device that cannot be opened reports first).
 * @retval BVL_E_DEVICE_NOT_FOUND   No device open and the selected model's device is not found.
 * @retval BVL_E_DEVICE_BUSY        No device open and the selected model's device is in use.
 * @retval BVL_E_STI_RELEASE_FAILED The device opened for the question could not be released.
 */
BVCL2STI_API DWORD WINAPI baseGetModelDescrip(DWORD camera, bvlModelDescrip *descrip);

/**
 * @brief baseGetDevicePort with @p wantedKind 0 (any kind).
 * @param request #BVL_PORT_REQUEST_DEFAULT, #BVL_PORT_REQUEST_DIALOG,
 *                #BVL_PORT_REQUEST_LAST or #BVL_PORT_REQUEST_LAUNCHED.
 * @param parent  Owner window of the dialog (request 2).
 * @param modelID The model the port is for, or 0 for any.
 * @param port    Receives the port.
 * @return As baseGetDevicePort.
 */
BVCL2STI_API DWORD WINAPI baseGetCameraPort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort *port);

/**
 * @brief Opens communication with the camera on the port the descriptor
 * names, and writes the camera word.
 *
 * The callback and context are registered first, whatever happens next, and
 * the port type is set before anything is loaded or opened, so it keeps its
 * value when the open fails. A port type other than serial or USB changes
 * nothing else and returns 0.
 * - Serial: a USB connection still open is closed first, as
 *   baseCloseCameraComm closes it. Then loads BVCLL.DLL (from the
 *   application's folder, the folder set with SetDllDirectory, this
 *   library's folder or the system folder) and hands it the call; on
 *   success the port is stored as the last port.
 * - USB: a device still open is released first (without the disconnect
 *   command, after the operations still running on it) and its event
 *   channel stopped. The device is opened by
 *   u.usb.deviceName when given, else by the model that u.usb.modelID names
 *   in the registry. Once the device is open, *camera is 100 and the device
 *   stays open even when the connect command fails (close it with
 *   baseCloseCameraComm). On success a model ID of 0 is filled in from the
 *   camera (it stays 0 when the camera's model is not installed) and the
 *   camera's own name becomes the model name; the device name is cleared, the port is stored as the last port
 *   and the event channel starts delivering to the notification callback.
 *   While the channel runs, its thread holds a reference to this library:
 *   a FreeLibrary of the application's last reference then leaves the
 *   library loaded, the camera open and the callback called. Load the
 *   library again and call baseCloseCameraComm (or let the camera send its
 *   last event); the thread then gives its reference back as it ends.
 * @param port     The port descriptor; over USB it is updated as above.
 * @param callback Notification callback, or null (see ::bvlNotifyCB).
 * @param context  Passed to @p callback with every event.
 * @param camera   Receives the camera word.
 * @return #BVL_OK, or:
 * @retval BVL_E_INVALID_PARAMETER      @p port is null, or over USB @p camera is null (found once the
 *                                      device is open, which is then released).
 * @retval BVL_E_CONNECTION_IN_USE      Called from a callback of a running USB operation; nothing changed.
 * @retval BVL_E_SERIAL_LIBRARY_MISSING Serial: BVCLL.DLL or its g_bvlBaseAPI was not found.
 * @retval BVL_E_DEVICE_INVALID         USB: neither a device name nor a model ID.
 * @retval BVL_E_REGISTRY               USB: the model ID is not installed.
 * @retval BVL_E_STI_INSTANCE_FAILED    USB by device name: the Still Image service could not be set up.
 * @retval BVL_E_DEVICE_NOT_FOUND       USB: no such device (also when the service is missing).
 * @retval BVL_E_DEVICE_BUSY            USB: the device is in use.
 * @retval other                        Serial: BVCLL.DLL's code. USB: the connect command's codes (@ref usbcodes).
 */
BVCL2STI_API DWORD WINAPI baseOpenCameraComm(bvlCameraPort *port, bvlNotifyCB callback, UINT_PTR context,
                                DWORD *camera);

/**
 * @brief Closes communication with the camera.
 *
 * Serial: BVCLL.DLL's close, after which the port type is none whatever it
 * reported (BVCLL.DLL stays loaded). USB: stops the event channel (waiting
 * up to five seconds for a notification callback that runs), waits until
 * the operations running on the device (stopped message exchanges
 * included) have ended, sends the disconnect command and releases the
 * device; the port type stays USB. The event channel's
 * thread gives back its reference to this library as it ends, so a
 * library that the application freed while the camera was open unloads
 * once the application's own references are gone too.
 * @param camera The camera word.
 * @return #BVL_OK; BVCLL.DLL's code (or #BVL_E_SERIAL_LIBRARY_MISSING); 0
 *         with no port open; over USB the disconnect command's codes
 *         (@ref usbcodes) or:
 * @retval BVL_E_CONNECTION_IN_USE  Called from a callback of a running USB operation; nothing changed.
 * @retval BVL_E_STI_RELEASE_FAILED Releasing the device failed.
 */
BVCL2STI_API DWORD WINAPI baseCloseCameraComm(DWORD camera);

/**
 * @brief Describes the open port.
 *
 * The descriptor is zeroed first, so with no port open the caller gets 114
 * zero bytes and 0. Over USB it holds the camera's answer.
 * @param camera The camera word.
 * @param port   Receives the descriptor.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p port is null.
 */
BVCL2STI_API DWORD WINAPI baseGetOpenCameraPort(DWORD camera, bvlCameraPort *port);

/**
 * @brief Writes the camera's volumes to a stream.
 *
 * USB: OpenCB(#BVL_STREAM_OPEN_WRITE), then the list through WriteCB: a
 * 32-bit count, then per volume three 32-bit words (a word passed through,
 * the capacity, the free space in bytes) and the NUL-terminated name; a
 * WriteCB that takes fewer bytes is offered the rest. Then ProgressCB(100)
 * whatever progressMode says, and CloseCB.
 * @param camera The camera word.
 * @param stream The destination; needs WriteCB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_FN_POINTER @p stream or its WriteCB is null, or OpenCB failed.
 * @retval BVL_E_STREAM_WRITE_ERROR WriteCB took no byte or more than offered.
 * @retval other                    The error WriteCB, ProgressCB or CloseCB stored.
 */
BVCL2STI_API DWORD WINAPI baseGetVols(DWORD camera, bvlStream *stream);

/**
 * @brief Writes the listing of one directory to a stream.
 *
 * USB: the listing arrives whole and goes to WriteCB in one call (a WriteCB
 * that takes fewer bytes is offered the rest): entries packed one after the
 * other, each the attribute byte, the 32-bit size, a spare byte, the 32-bit
 * time and the NUL-terminated name. The time is the camera's clock, which
 * keeps UTC, as the camera sent it: seconds since 1970 UTC, like #BVL_SETTING_DATE_TIME. With
 * #BVL_PROGRESS_PERCENT ProgressCB gets 0 before (its error ignored); with
 * it or #BVL_PROGRESS_END_ONLY 100 after. OpenCB and CloseCB frame it.
 * @param camera  The camera word.
 * @param subtree The directory: per path component a flags byte (0), the
 *                name and its NUL, then a closing entry with an empty name
 *                ("CF\DCIM" is 0 C F 0 0 D C I M 0 0 0).
 * @param stream  The destination; needs WriteCB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_FN_POINTER @p stream or its WriteCB is null, whatever @p subtree is.
 * @retval BVL_E_INVALID_PARAMETER  @p subtree is null, or the camera announced 0 bytes (an empty directory).
 * @retval BVL_E_MEM_ALLOC_FAILED   The listing is announced larger than 16 MiB.
 * @retval BVL_E_DIR_IO_ERROR       The listing could not be read.
 * @retval BVL_E_STREAM_WRITE_ERROR WriteCB took no byte or more than offered.
 * @retval other                    The error a stream callback stored.
 */
BVCL2STI_API DWORD WINAPI baseGetDirs(DWORD camera, const BYTE *subtree, bvlStream *stream);

/**
 * @brief Fetches a file from the camera into a stream.
 *
 * USB: OpenCB(#BVL_STREAM_OPEN_WRITE), the data in chunks of 5120 bytes to
 * WriteCB (one that takes fewer bytes is offered the rest), CloseCB. With
 * #BVL_PROGRESS_PERCENT ProgressCB gets the percentage before each chunk
 * (its error ignored); with it or #BVL_PROGRESS_END_ONLY 100 at the end.
 * The stream only ever gets bytes that the camera sent.
 * @param camera The camera word.
 * @param path   Volume-first path with backslashes, e.g. "CF\DCIM\BRV_0001.JPG".
 * @param stream The destination; needs WriteCB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command or a read (@ref usbcodes), or:
 * @retval BVL_E_INVALID_FN_POINTER @p stream or its WriteCB is null, whatever @p path is.
 * @retval BVL_E_INVALID_PARAMETER  @p path is null.
 * @retval BVL_E_FILE_NOT_FOUND     The camera has no such file.
 * @retval BVL_E_FILE_DATA_CORRUPT  A read delivered no byte.
 * @retval BVL_E_STREAM_WRITE_ERROR WriteCB took no byte or more than offered.
 * @retval other                    The error a stream callback stored.
 */
BVCL2STI_API DWORD WINAPI baseGetFile(DWORD camera, const char *path, bvlStream *stream);

/**
 * @brief Deletes files.
 * @param camera   The camera word.
 * @param fileList Paths, each NUL-terminated, the list closed by one more NUL.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p fileList is null.
 */
BVCL2STI_API DWORD WINAPI baseDeleteFiles(DWORD camera, const char *fileList);

/**
 * @brief Deletes every picture of a volume; read-only ones stay.
 * @param camera The camera word.
 * @param volume The volume's name, e.g. "CF".
 * @param word1  Handed to BVCLL.DLL; not used over USB.
 * @param word2  Handed to BVCLL.DLL; not used over USB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p volume is null.
 */
BVCL2STI_API DWORD WINAPI baseDeleteVolPictures(DWORD camera, const char *volume, DWORD word1, DWORD word2);

/**
 * @brief Shows the camera settings dialog "Kameraeinstellungen".
 *
 * Serial: handed to BVCLL.DLL. Any other port type: the owner name, the
 * clock, the firmware version, the power state and the volumes are read
 * through the base operations (with no port open they read nothing and the
 * fields stay empty), the dialog runs modally on the calling thread, and
 * after OK the owner name is written, then the clock when the user changed
 * it. While it is open, a time-out, an exhausted battery or a final event
 * of the camera closes it without writing.
 * @param camera The camera word.
 * @param parent The dialog's owner window, or null.
 * @return #BVL_OK (also after cancelling or a close by the camera), BVCLL.DLL's code,
 *         #BVL_E_SERIAL_LIBRARY_MISSING, or the code of the reading of the
 *         owner name or the clock (the dialog is then not shown), or of the
 *         first failed write after OK (baseReadSetting, baseWriteSetting).
 */
BVCL2STI_API DWORD WINAPI baseShowSettingsUI(DWORD camera, HWND parent);

/**
 * @brief Reads one camera setting.
 *
 * Handed to BVCLL.DLL only while a serial connection has its table,
 * otherwise 0 on a serial port. Over USB the camera's reply is written to
 * @p value: 32 bytes for IDs 2 (owner name) and 5 (firmware version text),
 * 12 bytes for ID 4, 4 bytes for any other ID (3: the clock, seconds since
 * 1970 UTC; 6: the power state).
 * @param camera The camera word.
 * @param id     The setting's ID.
 * @param value  Receives the setting; room for the bytes above.
 * @return #BVL_OK, BVCLL.DLL's code, 0 with no port open, or over USB the
 *         codes of a command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p value is null and a device is open (without one the
 *                                 answer is BVL_E_NO_DEVICE_OPEN, as for any exchange).
 */
BVCL2STI_API DWORD WINAPI baseReadSetting(DWORD camera, DWORD id, void *value);

/**
 * @brief Writes one camera setting.
 *
 * Handed to BVCLL.DLL only while a serial connection has its table,
 * otherwise 0 on a serial port. Over USB, IDs 1 to 4 take the plain value
 * (1: one byte; 2: NUL-terminated text; 3: a 32-bit word; 4: 12 bytes) and
 * the library builds the record. For any other ID @p value is the caller's
 * record: a 32-bit word that the library overwrites with @p id, the 32-bit
 * value length, then the value.
 * @param camera The camera word.
 * @param id     The setting's ID.
 * @param value  The value or record, as above.
 * @return #BVL_OK, BVCLL.DLL's code, 0 with no port open, or over USB the
 *         codes of a command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p value is null, or a record's value length leaves no room for its header.
 */
BVCL2STI_API DWORD WINAPI baseWriteSetting(DWORD camera, DWORD id, void *value);

/**
 * @brief Registers the notification callback.
 *
 * Handed to BVCLL.DLL while a serial connection has its table; otherwise
 * kept for the event channel, which reads it anew for every event, so it
 * may be changed while a USB camera is open.
 * @param camera   The camera word.
 * @param callback The callback, or null for none (see ::bvlNotifyCB).
 * @param context  Passed to @p callback with every event.
 * @return #BVL_OK, or BVCLL.DLL's code.
 */
BVCL2STI_API DWORD WINAPI baseSetNotificationCB(DWORD camera, bvlNotifyCB callback, UINT_PTR context);

/**
 * @brief Erases a volume, read-only files included.
 * @param camera The camera word.
 * @param volume The volume's name, e.g. "CF".
 * @param word1  Handed to BVCLL.DLL; not used over USB.
 * @param word2  Handed to BVCLL.DLL; not used over USB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p volume is null.
 */
BVCL2STI_API DWORD WINAPI baseFormatVol(DWORD camera, const char *volume, DWORD word1, DWORD word2);

/**
 * @brief Creates a directory.
 * @param camera The camera word.
 * @param path   Volume-first path of the new directory.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p path is null.
 */
BVCL2STI_API DWORD WINAPI baseCreateDir(DWORD camera, const char *path);

/**
 * @brief Removes an empty directory.
 * @param camera The camera word.
 * @param path   Volume-first path of the directory.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p path is null.
 */
BVCL2STI_API DWORD WINAPI baseRemoveDir(DWORD camera, const char *path);

/**
 * @brief Stores a file on the camera from a stream.
 *
 * USB: the source is measured first (OpenCB(#BVL_STREAM_OPEN_READ),
 * TellCB, SeekCB to the end, TellCB, SeekCB back, CloseCB), then the
 * command announces the size and the source is opened again and read in
 * chunks of up to 5120 bytes, each sent as ReadCB delivered it, and closed.
 * With #BVL_PROGRESS_PERCENT ProgressCB gets the percentage before each
 * chunk (its error ignored). A failing ReadCB also shows a message box.
 * @param camera The camera word.
 * @param name   Volume-first path of the file on the camera.
 * @param source The source; needs ReadCB, SeekCB and TellCB.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command or a write (@ref usbcodes), or:
 * @retval BVL_E_INVALID_FN_POINTER @p source, its ReadCB, SeekCB or TellCB is null.
 * @retval BVL_E_INVALID_PARAMETER  @p name is null (after measuring the source), or the
 *                                  source is empty (nothing is sent then).
 * @retval BVL_E_STREAM_OPEN_ERROR  Measuring: OpenCB or CloseCB failed. A measuring
 *                                  step that fails ends the call at once: the
 *                                  source is neither moved back nor closed.
 * @retval BVL_E_STREAM_TELL_ERROR  Measuring: TellCB failed.
 * @retval BVL_E_STREAM_SEEK_ERROR  Measuring: SeekCB failed.
 * @retval BVL_E_STREAM_READ_ERROR  ReadCB delivered no byte or more than asked.
 * @retval other                    The error OpenCB, ReadCB or CloseCB stored while sending.
 */
BVCL2STI_API DWORD WINAPI basePutFile(DWORD camera, const char *name, bvlStream *source);

/**
 * @brief Sets the attribute byte of files.
 * @param camera   The camera word.
 * @param fileList Paths, each NUL-terminated, the list closed by one more NUL.
 * @param attribs  The attribute byte (low 8 bits over USB): 0x01 read-only,
 *                 0x10 directory.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p fileList is null.
 */
BVCL2STI_API DWORD WINAPI baseSetFileAttribs(DWORD camera, const char *fileList, DWORD attribs);

/**
 * @brief Sets the time of files.
 * @param camera   The camera word.
 * @param fileList Paths, each NUL-terminated, the list closed by one more NUL.
 * @param time     Seconds since 1970 on the camera's clock.
 * @return #BVL_OK, or as @ref dispatch says, or over USB the codes of a
 *         command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p fileList is null.
 */
BVCL2STI_API DWORD WINAPI baseSetFileTimes(DWORD camera, const char *fileList, DWORD time);

/**
 * @brief Fetches a picture's header into a stream: its JPEG marker segments
 * up to and including the start-of-scan segment.
 *
 * Over USB it moves like baseGetFile.
 * @param camera The camera word.
 * @param path   Volume-first path of the picture.
 * @param stream The destination; needs WriteCB.
 * @return As baseGetFile.
 */
BVCL2STI_API DWORD WINAPI baseGetJpegParsingHeader(DWORD camera, const char *path, bvlStream *stream);

/**
 * @brief Remote release: sends a release request and reads the reply.
 *
 * Handed to BVCLL.DLL only while a serial connection has its table,
 * otherwise 0 on a serial port. Over USB only the low 16 bits of each
 * length count.
 * @param camera        The camera word.
 * @param requestLength Bytes at @p request.
 * @param request       The request, read by the camera's driver.
 * @param replyLength   Room at @p reply.
 * @param reply         Receives the reply.
 * @return #BVL_OK, BVCLL.DLL's code, 0 with no port open, or over USB the
 *         codes of a command (@ref usbcodes), or:
 * @retval BVL_E_INVALID_PARAMETER @p request or @p reply is null with a nonzero length and a
 *                                 device is open (without one: BVL_E_NO_DEVICE_OPEN).
 */
BVCL2STI_API DWORD WINAPI baseReleaseControlEx(DWORD camera, DWORD requestLength, const void *request,
                                  DWORD replyLength, void *reply);

/**
 * @brief Fetches the picture taken by a release into a stream.
 *
 * Handed to BVCLL.DLL only while a serial connection has its table,
 * otherwise 0 on a serial port. Over USB the data moves like baseGetFile's.
 * @param camera The camera word.
 * @param word1  First word of the request, sent as it is.
 * @param word2  Second word of the request, sent as it is.
 * @param stream The destination; needs WriteCB.
 * @return #BVL_OK, BVCLL.DLL's code, 0 with no port open, or over USB the
 *         codes of a command or a read (@ref usbcodes), or:
 * @retval BVL_E_LL_INVALID_FN_POINTER @p stream or its WriteCB is null.
 * @retval BVL_E_INVALID_PARAMETER     The camera announced 0 bytes.
 * @retval BVL_E_FILE_DATA_CORRUPT     A read delivered no byte.
 * @retval BVL_E_STREAM_WRITE_ERROR    WriteCB took no byte or more than offered.
 * @retval other                       The error a stream callback stored.
 */
BVCL2STI_API DWORD WINAPI baseReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2,
                                               bvlStream *stream);

/**
 * @brief Fetches the current view-finder frame into a stream.
 *
 * As baseReleaseControlGetReleasedData, without request words.
 * @param camera The camera word.
 * @param stream The destination; needs WriteCB.
 * @return As baseReleaseControlGetReleasedData.
 */
BVCL2STI_API DWORD WINAPI baseReleaseControlGetViewFinderData(DWORD camera, bvlStream *stream);

/**
 * @brief Selects the camera model that baseGetModelDescrip asks when no
 * camera is open, on any port type.
 * @param modelID The model's ID in the registry.
 * @return #BVL_OK, or:
 * @retval BVL_E_REGISTRY The model is not installed.
 */
BVCL2STI_API DWORD WINAPI baseSetCameraSelector(DWORD modelID);

/**
 * @brief Supplies a port descriptor, on any port type.
 *
 * The descriptor is zeroed before anything is looked up; a USB descriptor
 * comes back without a device name, except for request 4.
 * - #BVL_PORT_REQUEST_DEFAULT, #BVL_PORT_REQUEST_LAST: the stored port of
 *   the wanted kind (for a model, of that model); when nothing is stored the
 *   default of the kind (COM1, 8/1/0/3, 115200 baud; or USB with the model).
 * - #BVL_PORT_REQUEST_DIALOG: the user chooses in the dialog
 *   "Kommunikationseinstellungen", run modally on the calling thread. After
 *   OK the choice is written to @p port and stored as the last port.
 * - #BVL_PORT_REQUEST_LAUNCHED: the USB camera whose still-image event
 *   launched the application, with its device name, for baseOpenCameraComm.
 * - Any other request: 0 with the descriptor zeroed.
 * @param request    The request in the low 16 bits.
 * @param parent     Owner window of the dialog, or null.
 * @param modelID    The model the port is for, or 0 for any.
 * @param port       Receives the port.
 * @param wantedKind Low 16 bits: 1 serial, 2 USB, anything else any kind.
 * @return #BVL_OK, or:
 * @retval BVL_E_INVALID_PARAMETER    @p port is null or the request's low 16 bits are 0.
 * @retval BVL_E_NO_LAST_PORT         Request 3: nothing stored; @p port holds the default.
 * @retval BVL_E_DEVICE_NOT_INSTALLED USB wanted but the model (or the machine) has no USB
 *                                    installed, or the kind wanted differs from the model's
 *                                    (request 2, after storing the choice).
 * @retval BVL_E_DEVICE_INVALID       Request 2: a USB choice names neither a model nor a device; not stored.
 * @retval BVL_E_NO_LAUNCHING_CAMERA  Request 4: no camera event launched the application.
 * @retval BVL_E_REGISTRY             Request 4: the model list could not be read.
 * @retval 5                          Request 2: the user cancelled; @p port stays zeroed.
 * @retval 0xFFFFFFFF                 Request 2: the dialog could not be created.
 */
BVCL2STI_API DWORD WINAPI baseGetDevicePort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort *port,
                               DWORD wantedKind);

/**
 * @brief Writes the descriptions of the maker's USB cameras that the Still
 * Image service knows to a stream, on any port type.
 *
 * OpenCB(#BVL_STREAM_OPEN_WRITE), then NUL-terminated texts ended by an
 * empty one (at most 1024 bytes) through WriteCB, then CloseCB.
 * @param stream The destination; needs WriteCB.
 * @return #BVL_OK, or:
 * @retval BVL_E_USB_MODEL_ENUM_FAILED The Still Image service could not list its cameras.
 * @retval BVL_E_INVALID_FN_POINTER    @p stream or its WriteCB is null (a stream without WriteCB
 *                                     is opened and closed again).
 * @retval BVL_E_STREAM_WRITE_ERROR    WriteCB took no byte or more than offered.
 * @retval other                       The error OpenCB, WriteCB or CloseCB stored.
 */
BVCL2STI_API DWORD WINAPI baseGetUSBModels(bvlStream *stream);

/* ---- Raw message exchange --------------------------------------------------*/

/**
 * @name Message transport codes
 * g_bvlNewFactryAPI sends one raw message to the camera and hands back its
 * reply, over the serial or the USB port, bounded by a time-out and a
 * periodic interval callback. The message transport's own statuses are
 * #BVL_E_MESSAGE_FIRST to #BVL_E_MESSAGE_LAST.
 * @{
 */
#define BVL_E_MESSAGE_TIMEOUT               0x0c000001u /**< No reply or no data progress in time, or a time-out of 0. */
#define BVL_E_MESSAGE_NO_MEMORY             0x0c000002u /**< Out of memory, or a reply capacity too large. */
#define BVL_E_MESSAGE_NO_THREAD             0x0c000003u /**< The exchange could not be handed to a pool thread. */
#define BVL_E_MESSAGE_NO_EXIT_STATUS        0x0c000004u /**< The wait for the pool thread failed. */
#define BVL_E_MESSAGE_STREAM_FAILED         0x0c000005u /**< A stream callback failed. */
#define BVL_E_MESSAGE_STREAM_INCOMPLETE     0x0c000006u /**< A needed stream callback is missing. */
/** Started on a thread that is waiting for an exchange already, from a
 *  message it handled in that wait; nothing was sent. */
#define BVL_E_MESSAGE_NESTED                0x0c000007u
/** @} */

/**
 * @brief Header of a raw camera message (and of a reply): 16 bytes of 32-bit
 * little-endian words, then totalLength - 16 payload bytes.
 */
typedef struct dePC_MESSAGE {
    DWORD messageCode;             /**< 16-bit message code, widened. */
    DWORD messageKind;             /**< The message's kind; a reply's kind tells whose answer it is. */
    DWORD totalLength;             /**< Payload length + 16. */
    DWORD messageParam;            /**< The caller's parameter word. */
} dePC_MESSAGE;

/**
 * @brief Reply callback of bvlNewMessageTxRx (msgFoundCB).
 *
 * Over USB it runs on a thread of the system's thread pool while the
 * caller's thread waits, at most once, and only for a reply of the
 * expected kind; never after the exchange stopped (time-out or interval
 * callback), though one that had begun may still finish. On a serial port
 * BVCLL.DLL calls it on the caller's thread while the library polls, and
 * treats its result and done word as it does.
 * @param reply   The reply: header and payload, the library's memory, valid
 *                during the call only. Over USB totalLength is cut to the
 *                reply buffer (replyCapacity + 16 bytes).
 * @param context The caller's msgFoundContext.
 * @param done    A word the callback may set; not read over USB.
 * @return 0, or a nonzero status that ends the exchange with it.
 */
typedef DWORD (WINAPI *bvlMsgFoundCB)(dePC_MESSAGE *reply, void *context, DWORD *done);

/**
 * @brief Interval callback of a message exchange, on the caller's thread.
 *
 * Over USB it is called once the wait has lasted 50 ms and then about every
 * 50 ms, and no more once all data moved. On a serial port it is called
 * between polls about every 50 ms, only when its context is not null, and
 * for data not while reply data keeps arriving.
 * @param context The caller's interval context.
 * @return 0 to go on; a nonzero value stops the exchange, which returns it
 *         at once.
 */
typedef DWORD (WINAPI *bvlIntervalCB)(void *context);

/** @brief The message table exported as g_bvlNewFactryAPI. */
typedef struct bvlNewFactryAPI {
    /** ::bvlNewMessageTxRx. */
    DWORD (WINAPI *bvlNewMessageTxRx)(DWORD camera, WORD messageCode, const void *payload,
                                      DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                      DWORD messageParam, bvlMsgFoundCB msgFoundCB,
                                      void *msgFoundContext, DWORD replyCapacity,
                                      bvlIntervalCB intervalCB, void *intervalContext,
                                      DWORD timeoutMs);
    /** ::bvlMessageTxAndRecieveData. */
    DWORD (WINAPI *bvlMessageTxAndRecieveData)(DWORD camera, WORD messageCode,
                                               const void *payload, DWORD payloadLength,
                                               DWORD messageKind, DWORD replyKind,
                                               DWORD messageParam, bvlStream *stream,
                                               bvlIntervalCB intervalCB, void *intervalContext,
                                               DWORD timeoutMs);
    DWORD (WINAPI *bvlSuspend)(DWORD camera);                        /**< ::bvlSuspend. */
    DWORD (WINAPI *bvlFlashMessage)(DWORD camera, DWORD word1, DWORD word2); /**< ::bvlFlashMessage. */
    DWORD (WINAPI *bvlSetWakeupCode)(DWORD code);                    /**< ::bvlSetWakeupCode. */
} bvlNewFactryAPI;

/** @brief The exported message table. */
BVCL2STI_API extern const bvlNewFactryAPI g_bvlNewFactryAPI;

/**
 * @brief Sends a raw message and hands the camera's reply to a callback.
 *
 * On a serial port the call is RS232C_MessageTxRx with the same arguments.
 * Any other port type takes the USB road: the message travels with
 * command 60 on a pool thread while the caller's thread waits, handling
 * only the messages other threads send to it. The time-out counts from the
 * start of the call; a stop (time-out or interval callback) returns at once,
 * and the library then calls none of the exchange's callbacks. The payload
 * is copied; the device lock keeps exchanges apart.
 * @param camera          The camera word (ignored over USB).
 * @param messageCode     The message code.
 * @param payload         The payload, or null with a length of 0.
 * @param payloadLength   Bytes at @p payload.
 * @param messageKind     The message's kind.
 * @param replyKind       The kind of reply that goes to @p msgFoundCB.
 * @param messageParam    The message's parameter word.
 * @param msgFoundCB      Reply callback, or null (see ::bvlMsgFoundCB).
 * @param msgFoundContext Passed to @p msgFoundCB.
 * @param replyCapacity   Payload bytes the reply may have (USB; ignored on a serial port).
 * @param intervalCB      Interval callback, or null (see ::bvlIntervalCB).
 * @param intervalContext Passed to @p intervalCB.
 * @param timeoutMs       Time-out in milliseconds.
 * @return #BVL_OK (also when the reply is of another kind), RS232C_MessageTxRx's
 *         codes on a serial port, @p msgFoundCB's or @p intervalCB's nonzero
 *         result, the codes of a command (@ref usbcodes; #BVL_E_NO_DEVICE_OPEN
 *         also before any open), or:
 * @retval BVL_E_INVALID_PARAMETER      @p payload is null with a nonzero length, or the length leaves no room for the header.
 * @retval BVL_E_MESSAGE_NESTED         Started from a message handled in another exchange's wait.
 * @retval BVL_E_MESSAGE_TIMEOUT        The time-out passed, or was 0 (the device is then untouched).
 * @retval BVL_E_MESSAGE_NO_MEMORY      Out of memory, or @p replyCapacity too large.
 * @retval BVL_E_MESSAGE_NO_THREAD      The exchange could not be handed to a pool thread.
 * @retval BVL_E_MESSAGE_NO_EXIT_STATUS The wait failed.
 */
BVCL2STI_API DWORD WINAPI bvlNewMessageTxRx(DWORD camera, WORD messageCode, const void *payload,
                               DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                               DWORD messageParam, bvlMsgFoundCB msgFoundCB,
                               void *msgFoundContext, DWORD replyCapacity,
                               bvlIntervalCB intervalCB, void *intervalContext, DWORD timeoutMs);

/**
 * @brief Sends a raw message and streams the data the camera answers with.
 *
 * On a serial port the call is RS232C_MessageTxAndRecievedData with the
 * same arguments. Any other port type takes the USB road: command 61 on a
 * pool thread, as bvlNewMessageTxRx, after which the camera announces a
 * size and the data follows in chunks of 3072 bytes. The stream's callbacks
 * run on the pool thread, on a copy of the record: OpenCB(#BVL_STREAM_OPEN_WRITE),
 * WriteCB per chunk (one that takes fewer bytes is offered the rest), with
 * #BVL_PROGRESS_PERCENT ProgressCB after each chunk (0 first), with it or #BVL_PROGRESS_END_ONLY
 * 100 at the end, then CloseCB; CloseCB also follows a failure once OpenCB
 * succeeded. In the data phase the time-out counts from the start of the
 * latest chunk. Once all data moved the call returns 0 whatever the end
 * report and CloseCB say. After a stop a stream the exchange opened stays
 * open: closing it is the caller's.
 * @param camera          The camera word (ignored over USB).
 * @param messageCode     The message code.
 * @param payload         The payload, or null with a length of 0.
 * @param payloadLength   Bytes at @p payload.
 * @param messageKind     The message's kind.
 * @param replyKind       Handed to BVCLL.DLL; not used over USB.
 * @param messageParam    The message's parameter word.
 * @param stream          The destination; over USB it needs OpenCB, CloseCB, WriteCB
 *                        and, unless progressMode is #BVL_PROGRESS_NONE, ProgressCB.
 * @param intervalCB      Interval callback, or null (see ::bvlIntervalCB).
 * @param intervalContext Passed to @p intervalCB.
 * @param timeoutMs       Time-out in milliseconds.
 * @return #BVL_OK, RS232C_MessageTxAndRecievedData's codes on a serial port,
 *         @p intervalCB's nonzero result, the codes of a command or a read
 *         (@ref usbcodes; #BVL_E_NO_DEVICE_OPEN also before any open), or:
 * @retval BVL_E_INVALID_PARAMETER         @p payload is null with a nonzero length, or the length leaves no room for the header.
 * @retval BVL_E_MESSAGE_NESTED            Started from a message handled in another exchange's wait.
 * @retval BVL_E_MESSAGE_STREAM_INCOMPLETE @p stream or a callback it needs is null.
 * @retval BVL_E_MESSAGE_STREAM_FAILED     OpenCB, WriteCB or ProgressCB failed.
 * @retval BVL_E_STREAM_WRITE_ERROR        WriteCB took no byte or more than offered.
 * @retval BVL_E_FILE_NOT_FOUND            The camera announced 0 bytes.
 * @retval BVL_E_FILE_DATA_CORRUPT         A read delivered no byte.
 * @retval BVL_E_MESSAGE_TIMEOUT           The time-out passed, or was 0 (the device is then untouched).
 * @retval BVL_E_MESSAGE_NO_MEMORY         Out of memory.
 * @retval BVL_E_MESSAGE_NO_THREAD         The exchange could not be handed to a pool thread.
 * @retval BVL_E_MESSAGE_NO_EXIT_STATUS    The wait failed.
 */
BVCL2STI_API DWORD WINAPI bvlMessageTxAndRecieveData(DWORD camera, WORD messageCode, const void *payload,
                                        DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                        DWORD messageParam, bvlStream *stream,
                                        bvlIntervalCB intervalCB, void *intervalContext,
                                        DWORD timeoutMs);

/**
 * @brief Does nothing.
 * @param camera Not used.
 * @return #BVL_OK.
 */
BVCL2STI_API DWORD WINAPI bvlSuspend(DWORD camera);

/**
 * @brief Does nothing.
 * @param camera Not used.
 * @param word1  Not used.
 * @param word2  Not used.
 * @return #BVL_OK.
 */
BVCL2STI_API DWORD WINAPI bvlFlashMessage(DWORD camera, DWORD word1, DWORD word2);

/**
 * @brief Sets the serial camera library's wake-up code, whatever the port
 * type: RS232C_SetWakeupCode with the low byte, which loads BVCLL.DLL when
 * it is not loaded.
 * @param code The wake-up code in the low 8 bits.
 * @return #BVL_OK always; RS232C_SetWakeupCode's result is not passed on.
 */
BVCL2STI_API DWORD WINAPI bvlSetWakeupCode(DWORD code);

/**
 * @brief Does nothing.
 * @param word1 Not used.
 * @param word2 Not used.
 * @return #BVL_OK.
 */
BVCL2STI_API DWORD WINAPI bvlTestWakeupCode(DWORD word1, DWORD word2);

/**
 * @brief The serial road of bvlNewMessageTxRx, also callable by itself.
 *
 * Runs on the caller's thread: the message goes to entry 4 of BVCLL.DLL's
 * g_bvlFactryAPI, which is then polled until it reports the exchange
 * finished, calling @p replyCB for the reply on the way. Only the serial
 * open loads BVCLL.DLL. The time-out bounds the whole wait, measured with
 * the tick count; a stop returns at once.
 * @param camera        The camera word, handed to BVCLL.DLL unchanged.
 * @param messageCode   The message code.
 * @param payload       The payload, or null with a length of 0.
 * @param payloadLength Bytes at @p payload.
 * @param messageKind   The message's kind.
 * @param replyKind     The kind of reply that goes to @p replyCB, for BVCLL.DLL.
 * @param messageParam  The message's parameter word.
 * @param replyCB       Reply callback, called by BVCLL.DLL (see ::bvlMsgFoundCB).
 * @param replyContext  Passed to @p replyCB.
 * @param unused        Not used.
 * @param idleCB        Interval callback, or null (see ::bvlIntervalCB).
 * @param idleContext   Passed to @p idleCB; when null, @p idleCB is never called.
 * @param timeoutMs     Time-out in milliseconds.
 * @return BVCLL.DLL's code for the finished exchange or for a failed send,
 *         @p idleCB's nonzero result, or:
 * @retval BVL_E_INVALID_PARAMETER        @p payload is null with a nonzero length, or the length leaves no room for the header.
 * @retval BVL_E_LL_DEVICE_INTERNAL_ERROR The time-out passed, or BVCLL.DLL or its g_bvlFactryAPI is missing.
 * @retval BVL_E_LL_MEM_ALLOC_FAILED      Out of memory.
 */
BVCL2STI_API DWORD WINAPI RS232C_MessageTxRx(DWORD camera, WORD messageCode, const void *payload,
                                DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                DWORD messageParam, bvlMsgFoundCB replyCB, void *replyContext,
                                DWORD unused, bvlIntervalCB idleCB, void *idleContext,
                                DWORD timeoutMs);

/**
 * @brief The serial road of bvlMessageTxAndRecieveData, also callable by
 * itself.
 *
 * As RS232C_MessageTxRx, with the library's own reply callback: it writes
 * the reply chunks in order to the stream on the caller's thread. OpenCB
 * (#BVL_STREAM_OPEN_WRITE) comes at the first chunk, WriteCB takes each
 * chunk (a count below it is offered the rest), and CloseCB ends the stream
 * once on every end BVCLL.DLL reports. With #BVL_PROGRESS_PERCENT
 * ProgressCB gets 0 first and a percentage after each chunk, with
 * #BVL_PROGRESS_END_ONLY 100 after the last; a nonzero clampFlag drops the
 * 0 and the 100 and keeps percentages within 1..99. A failing callback ends the
 * writing; later chunks are ignored. After a stop a stream the call opened
 * stays open: closing it is the caller's.
 * @param camera        The camera word, handed to BVCLL.DLL unchanged.
 * @param messageCode   The message code.
 * @param payload       The payload, or null with a length of 0.
 * @param payloadLength Bytes at @p payload.
 * @param messageKind   The message's kind.
 * @param replyKind     The kind of the reply, for BVCLL.DLL.
 * @param messageParam  The message's parameter word.
 * @param stream        The destination; needs WriteCB.
 * @param idleCB        Interval callback, or null (see ::bvlIntervalCB).
 * @param idleContext   Passed to @p idleCB; when null, @p idleCB is never called.
 * @param timeoutMs     Time-out in milliseconds.
 * @return BVCLL.DLL's code for the finished exchange, for a failed send or
 *         in a reply chunk's status, @p idleCB's nonzero result, the error
 *         a stream callback stored, or:
 * @retval BVL_E_INVALID_PARAMETER         @p payload is null with a nonzero length, or the length leaves no room for the header.
 * @retval BVL_E_MESSAGE_STREAM_INCOMPLETE @p stream or its WriteCB is null; nothing was sent.
 * @retval BVL_E_LL_DEVICE_INTERNAL_ERROR  The time-out passed, or BVCLL.DLL or its g_bvlFactryAPI is missing.
 * @retval BVL_E_LL_MEM_ALLOC_FAILED       Out of memory.
 * @retval BVL_E_LL_STREAM_WRITE_ERROR     WriteCB took no byte or more than offered.
 * @retval BVL_E_FILE_DATA_CORRUPT         The reply ended with bytes missing, or a chunk ran past its record.
 */
BVCL2STI_API DWORD WINAPI RS232C_MessageTxAndRecievedData(DWORD camera, WORD messageCode, const void *payload,
                                             DWORD payloadLength, DWORD messageKind,
                                             DWORD replyKind, DWORD messageParam,
                                             bvlStream *stream, bvlIntervalCB idleCB,
                                             void *idleContext, DWORD timeoutMs);

/**
 * @brief Hands the wake-up code to BVCLL.DLL (entry 6 of its
 * g_bvlFactryAPI), loading the library when it is not loaded.
 * @param code The wake-up code.
 * @return #BVL_OK, or:
 * @retval BVL_E_LL_DEVICE_INTERNAL_ERROR BVCLL.DLL or its g_bvlFactryAPI was not found.
 */
BVCL2STI_API DWORD WINAPI RS232C_SetWakeupCode(BYTE code);

#ifdef __cplusplus
}
#endif

#endif /* BVCL2STI_H */
