// Byte layouts fixed by the records the library shares with applications,
// the registry and the serial library. Checked when the tests compile.
#include <cstddef>

#include "Common/guarded_block.h"
#include "bvcl2sti.h"

static_assert(sizeof(bvlCameraPort) == 114, "the port descriptor is 114 packed bytes");
static_assert(offsetof(bvlCameraPort, portName) == 2, "port name");
static_assert(offsetof(bvlCameraPort, u.serial.portNumber) == 34, "serial port number");
static_assert(offsetof(bvlCameraPort, u.serial.params) == 35, "serial parameter bytes");
static_assert(offsetof(bvlCameraPort, u.serial.baudRate) == 39, "baud rate, unaligned");
static_assert(offsetof(bvlCameraPort, u.usb.modelID) == 34, "USB model ID");
static_assert(offsetof(bvlCameraPort, u.usb.deviceName) == 38, "USB device name");
static_assert(sizeof(bvlModelDescrip) == 68, "model description");
static_assert(offsetof(bvlModelDescrip, modelName) == 4, "model name");

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(bv::BlockHeader) == 10, "guarded block header");
static_assert(sizeof(bvlStream) == 36, "stream record");
static_assert(offsetof(bvlStream, clampFlag) == 4, "clamp flag");
static_assert(offsetof(bvlStream, progressMode) == 6, "progress mode");
static_assert(offsetof(bvlStream, OpenCB) == 8, "open callback");
static_assert(offsetof(bvlStream, ProgressCB) == 32, "progress callback");
static_assert(sizeof(bvlBaseAPI) == 4 + 27 * 4, "version word and 27 slots");
static_assert(offsetof(bvlBaseAPI, baseGetUSBModels) == 4 + 26 * 4, "slot 27 is last");
#endif
