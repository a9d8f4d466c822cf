// bvbench twain: pictures per second through the TWAIN data source. The
// benchmark plays a version 2 manager and an application that transfers
// every picture of the sample cards without user interface or progress
// window: by file (JFIF) against the library's own fetch of each picture
// into a host file, as bvcam get-all does it, and natively against that
// fetch plus one decode of the picture.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_runs.h"
#include "Common/owned.h"
#include "Common/registry_names.h"
#include "camera_tree.h"
#include "memory_stream.h"
#include "twain/picture_decoder.h"
#include "tools/common/twain_host.h"

namespace bvbench {
namespace {

constexpr char kFileName[] = "bvbench_twain.tmp";
std::wstring programFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The source beside this program under a version 2 manager, opened with
// the mechanism and no progress window; closed down to state 3 at the end.
class SourceSession {
public:
    explicit SourceSession(TW_UINT16 mechanism) {
        if (!host.loaded() || host.open() != TWRC_SUCCESS) return;
        open_ = true;
        TW_SETUPFILEXFER file = {};
        std::strcpy(file.FileName, kFileName);
        file.Format = TWFF_JFIF;
        ready_ = host.setOne(ICAP_XFERMECH, TWTY_UINT16, mechanism) == TWRC_SUCCESS &&
                 host.setOne(CAP_INDICATORS, TWTY_BOOL, FALSE) == TWRC_SUCCESS &&
                 host.call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &file) == TWRC_SUCCESS;
    }
    ~SourceSession() {
        if (!open_) return;
        TW_IDENTITY source = host.sourceIdentity();
        host.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
    }
    bool ready() const { return ready_; }
    // Enables the source and runs the message loop until it is ready.
    bool enable() { return host.enable() == TWRC_SUCCESS && host.waitNotification() == MSG_XFERREADY; }
    void disable() {
        TW_USERINTERFACE ui = {};
        host.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    }

    bvtwain::TwainHost host{programFolder() + L"bvcl2sti.ds", bvtwain::Manager::Version2};

private:
    bool open_ = false, ready_ = false;
};

// One picture by the mechanism, as an application takes it: its facts,
// the transfer, the end of the transfer.
bool transferOne(bvtwain::TwainHost& app, TW_UINT16 mechanism) {
    TW_IMAGEINFO info = {};
    if (app.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return false;
    TW_UINT16 rc;
    if (mechanism == TWSX_NATIVE) {
        TW_HANDLE dib = nullptr;
        rc = app.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
        if (dib) app.freeBlock(dib);
    } else {
        rc = app.call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    }
    TW_PENDINGXFERS pending = {};
    return app.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) == TWRC_SUCCESS && rc == TWRC_XFERDONE;
}

// Every picture, cycles times, each picture one sample.
void sampleTwain(TW_UINT16 mechanism, int cycles, size_t pictures, Samples& samples) {
    SourceSession app(mechanism);
    if (!app.ready()) {
        succeeded(E_FAIL, "opening the TWAIN source");
        return;
    }
    for (int cycle = 0; cycle < cycles; ++cycle) {
        if (!app.enable()) {
            succeeded(E_FAIL, "enabling the TWAIN source");
            return;
        }
        for (size_t i = 0; i < pictures; ++i) {
            bool done = false;
            samples.add(timeUs([&] { done = transferOne(app.host, mechanism); }));
            if (!succeeded(done ? 0 : E_FAIL, "a TWAIN transfer")) return;
        }
        app.disable();
    }
}

// The library's own fetch of each picture into a host file, and with
// decode one WIC decode of it.
void sampleLibrary(const bvlBaseAPI& base, const std::vector<CameraPicture>& pictures, bool decode, int cycles,
                   Samples& samples) {
    for (int cycle = 0; cycle < cycles; ++cycle) {
        for (const CameraPicture& p : pictures) {
            DWORD rc = 0;
            samples.add(timeUs([&] {
                MemoryStream stream;
                rc = base.baseGetFile(kUsbCamera, p.path.c_str(), stream.stream());
                if (rc == 0 && decode) {
                    Bitmap bitmap;
                    rc = static_cast<DWORD>(decodePicture(stream.bytes(), 0, &bitmap));
                }
                if (rc != 0) return;
                bv::OwnedFile file(CreateFileA(kFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
                DWORD written = 0;
                if (!file || !WriteFile(file.get(), stream.bytes().data(), static_cast<DWORD>(stream.bytes().size()),
                                        &written, nullptr))
                    rc = GetLastError();
            }));
            if (!succeeded(rc, decode ? "fetching and decoding a picture" : "fetching a picture")) return;
        }
    }
}

// The stand-in's camera as an installed USB model, as the installer
// registers it: the source opens the first connected camera of one.
bool installStandInModel() {
    const std::string model = std::string(bv::kModelListKey) + "\\Brivant350";
    const DWORD id = 0x70333036, usb = 2;
    const char name[] = "Brivant 350";
    bool done = true;
    for (const std::string& path : {model, std::string(bv::kLibraryKey) + "\\" + bv::kUsbSubkey}) {
        HKEY key = nullptr;
        done = done && RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                       &key, nullptr) == ERROR_SUCCESS;
        if (key && path == model) {
            done = done && RegSetValueExA(key, bv::kModelID, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&id), 4) == 0 &&
                   RegSetValueExA(key, bv::kModelName, 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name) == 0 &&
                   RegSetValueExA(key, bv::kInstallMethod, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&usb), 4) == 0;
        }
        if (key) RegCloseKey(key);
    }
    return done;
}

// Milliseconds per picture; shown without a target.
Figure pictureFigure(const char* name, const char* against) {
    Figure f;
    f.name = name;
    f.against = against;
    f.compare = Compare::Shown;
    f.timeDivisor = 1000;
    f.unit = "ms";
    return f;
}

}  // namespace

void measureTwain(bool quick, std::vector<Figure>& figures) {
    const SimCardSlot cards[] = {{"CF", BV_SAMPLE_CARDS L"\\slot1", 64u << 20, 0},
                                 {"SD", BV_SAMPLE_CARDS L"\\slot2", 64u << 20, 0}};
    const ComApartment com;
    Library library;
    if (!simSetCards(cards, 2) || !installStandInModel() || !library.load()) {
        succeeded(E_FAIL, "inserting the sample cards, installing the model, loading the library");
        return;
    }
    std::vector<CameraPicture> pictures;
    if (!succeeded(openUsbCamera(library.base, nullptr, 0), "opening the camera") ||
        !succeeded(findPictures(*library.base, kUsbCamera, pictures), "listing the pictures"))
        return;
    const int cycles = quick ? 2 : 10;
    Figure file = pictureFigure("twain: file transfer (JFIF)", "baseGetFile into a host file (get-all)");
    Figure native = pictureFigure("twain: native transfer", "get-all and one WIC decode");
    sampleLibrary(*library.base, pictures, false, cycles, file.floor);
    sampleLibrary(*library.base, pictures, true, cycles, native.floor);
    succeeded(library.base->baseCloseCameraComm(kUsbCamera), "closing the camera");
    sampleTwain(TWSX_FILE, cycles, pictures.size(), file.library);
    sampleTwain(TWSX_NATIVE, cycles, pictures.size(), native.library);
    DeleteFileA(kFileName);
    // Each also as pictures per second.
    for (const Figure& f : {file, native}) {
        figures.push_back(f);
        Figure perSecond = f;
        perSecond.unitsPerOp = 1;
        perSecond.rateFactor = 1e6;
        perSecond.timeDivisor = 1;
        perSecond.unit = "pictures/s";
        figures.push_back(perSecond);
    }
}

}  // namespace bvbench
