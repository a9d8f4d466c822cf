// What the benchmark runs against: bvcl2sti.dll loaded as an application
// loads it, with the camera of the Still Image stand-in open through it,
// and the floor, a device of the same stand-in that the benchmark drives
// itself with the bare calls that the library makes.
#pragma once

#include <windows.h>

#ifndef STI_UNICODE
#define STI_UNICODE 1
#endif
#include <sti.h>

#include "include/bvcl2sti.h"

namespace bvbench {

// The library's module and its two tables. load() is false, after a line
// on the output saying why, when either is missing.
class Library {
public:
    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { unload(); }
    bool load();
    void unload();
    const bvlBaseAPI* base = nullptr;
    const bvlNewFactryAPI* factry = nullptr;

private:
    HMODULE module_ = nullptr;
};

// Opens the stand-in's first device over USB by its device name (no
// installed model needed), with the given notification callback. 0 or the
// library's code.
DWORD openUsbCamera(const bvlBaseAPI* base, bvlNotifyCB callback, UINT_PTR context);
constexpr DWORD kUsbCamera = 100;  // the camera word of a USB connection

// The stand-in's first device, opened by the benchmark: the bare calls.
// Every call returns the device's HRESULT.
class FloorDevice {
public:
    FloorDevice() = default;
    FloorDevice(const FloorDevice&) = delete;
    FloorDevice& operator=(const FloorDevice&) = delete;
    ~FloorDevice() { close(); }
    bool open();  // false after a line on the output
    void close();
    HRESULT lock() { return device_->LockDevice(500); }
    HRESULT unlock() { return device_->UnLockDevice(); }
    // One command block through escape 0x1003, as the driver reads it.
    HRESULT command(DWORD command, DWORD length, const void* payload, void* reply, DWORD replyLength);
    HRESULT read(void* buffer, DWORD* count) { return device_->RawReadData(buffer, count, nullptr); }
    HRESULT write(const void* data, DWORD count) {
        return device_->RawWriteData(const_cast<void*>(data), count, nullptr);
    }
    // Lock, command, unlock: the bare sequence of a short operation.
    HRESULT lockedCommand(DWORD command, DWORD length, const void* payload, void* reply,
                          DWORD replyLength);

private:
    HMODULE sti_ = nullptr;
    IStillImageW* instance_ = nullptr;
    IStiDevice* device_ = nullptr;
};

}  // namespace bvbench
