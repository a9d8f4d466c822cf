// The virtual camera: one model whose volumes are card slots backed by
// folders on the host (sub-folders are the camera's directories, files its
// files), an owner name, a clock and a battery. Both stand-ins (the serial library
// and the still-image driver) answer from the same camera, so one model
// serves both roads. Errors are the camera's own codes (component 2).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#ifdef BVSIM_BUILDING
#define BVSIM_CLASS __declspec(dllexport)
#else
#define BVSIM_CLASS __declspec(dllimport)
#endif

namespace bvsim {

// Codes the camera reports.
constexpr DWORD kCamFileNotFound = 0x02000022;
constexpr DWORD kCamDirNotFound = 0x02000040;
constexpr DWORD kCamEntryExists = 0x02000043;
constexpr DWORD kCamDirNotEmpty = 0x02000044;
constexpr DWORD kCamInvalidParameter = 0x02000060;
constexpr DWORD kCamInvalidHandle = 0x02000061;
constexpr DWORD kCamDeviceNotFound = 0x02000080;
constexpr DWORD kCamMemoryFull = 0x02000084;
constexpr DWORD kCamPortInUse = 0x020000c0;
constexpr DWORD kCamNotSupported = 0x02000007;
constexpr DWORD kCamEntryReadOnly = 0x02000045;   // a read-only entry refuses the change
constexpr DWORD kCamNotPicture = 0x02000046;      // no JPEG header in the file
constexpr DWORD kCamInternalError = 0x02000085;   // the card itself failed

constexpr DWORD kSimModelID = 0x70333036;
constexpr char kSimModelName[] = "Brivant 350";
constexpr BYTE kAttribDirectory = 0x10;
constexpr BYTE kAttribReadOnly = 0x01;
constexpr BYTE kAttribHidden = 0x02;

struct SimVolume {
    DWORD passThrough;
    DWORD totalBytes;
    std::string name;
};

// A card slot: the volume's name, the host folder holding its content and
// its capacity; free space is the capacity less the bytes of its files.
struct SimCard {
    std::string volume;
    std::wstring folder;
    DWORD capacity;
    DWORD passThrough;
};

struct SimEntry {
    std::string name;
    BYTE attributes;
    DWORD size;
    DWORD time;  // the camera's clock, in UTC
};

class BVSIM_CLASS SimCamera {
public:
    // The factory camera: one card "CF" in a new scratch folder with three
    // pictures under DCIM.
    void reset();
    void setCards(std::vector<SimCard> cards) { cards_ = std::move(cards); }
    const std::vector<SimCard>& cards() const { return cards_; }

    DWORD modelID() const { return kSimModelID; }
    const char* modelName() const { return kSimModelName; }

    std::vector<SimVolume> volumes() const;
    DWORD freeBytes(const std::string& volume) const;

    // Paths are volume-first and backslash-separated ("CF\DCIM\BRV_0001.JPG");
    // letters compare without case. Entries marked read-only cannot be
    // replaced or deleted one by one; formatting removes them.
    DWORD listDirectory(const std::string& path, std::vector<SimEntry>& entries) const;
    DWORD readFile(const std::string& path, std::vector<BYTE>& data) const;
    DWORD jpegHeader(const std::string& path, std::vector<BYTE>& header) const;
    // 0 when a file of size bytes may be written at path: its directory
    // exists, the name is not a directory nor read-only and the card has
    // room (counting the bytes of a file it replaces).
    DWORD checkWrite(const std::string& path, DWORD size) const;
    // Writes the file whole, then moves it onto the card: a failure leaves
    // no part of it there.
    DWORD writeFile(const std::string& path, const std::vector<BYTE>& data);
    DWORD deleteFile(const std::string& path);
    DWORD createDirectory(const std::string& path);
    DWORD removeDirectory(const std::string& path);
    DWORD setAttributes(const std::string& path, BYTE attributes);
    DWORD setTime(const std::string& path, DWORD time);
    DWORD deletePictures(const std::string& volume);
    DWORD formatVolume(const std::string& volume);

    // Settings by ID: 1 a byte, 2 the owner name, 3 the clock, 4 three
    // words, 5 the firmware text, 6 the power status.
    DWORD readSetting(DWORD id, std::vector<BYTE>& value) const;
    DWORD writeSetting(DWORD id, const BYTE* value, DWORD length);

    // Remote release: takes a picture, which becomes the released data and
    // a new file in the first volume's DCIM folder.
    DWORD release(std::vector<BYTE>& reply);
    const std::vector<BYTE>& releasedData() const { return released_; }
    std::vector<BYTE> viewFinderFrame() const;

private:
    // Where a camera path lies on the host; root when it names the volume.
    struct Located {
        const SimCard* card = nullptr;
        std::wstring host;
        bool root = false;
    };
    const SimCard* findCard(const std::string& volume) const;
    DWORD locate(const std::string& path, Located& where) const;
    // locate for an entry that must exist: kCamFileNotFound otherwise,
    // and its host attributes.
    DWORD locateEntry(const std::string& path, Located& where, DWORD& attributes) const;
    DWORD deletePicturesUnder(const std::wstring& folder);
    void addPicture(const std::wstring& path, DWORD size, DWORD time);

    std::vector<SimCard> cards_;
    BYTE setting1_ = 0;
    std::string ownerName_;
    DWORD clock_ = 0;
    DWORD setting4_[3] = {};
    std::string firmware_;
    DWORD power_ = 0;
    std::vector<BYTE> released_;
    DWORD pictureNumber_ = 0;
};

// The one camera of the process.
BVSIM_CLASS SimCamera& simCamera();

// Builds the contents of a picture file: a JPEG frame of the given size.
BVSIM_CLASS std::vector<BYTE> makePicture(DWORD size, DWORD seed);

// The length of a JPEG file's header: its marker segments up to and
// including the start-of-scan segment. False when there is none.
BVSIM_CLASS bool jpegHeaderLength(const BYTE* data, size_t size, size_t* length);

// Splits a camera path into its volume and the rest (empty for the volume
// itself). False for an empty component or one that is "." or "..".
BVSIM_CLASS bool splitCameraPath(const std::string& path, std::string& volume, std::string& rest);

// The directory that a subtree record names, one component per entry (a
// flags byte, the name, and a second text when flag 0x40 is set), ended by
// an entry with an empty name.
BVSIM_CLASS std::string subtreePath(const BYTE* subtree);

// A directory listing as the camera sends it: per entry the attribute
// byte, the size, a spare byte, the time and the NUL-terminated name.
BVSIM_CLASS std::vector<BYTE> encodeListing(const std::vector<SimEntry>& entries);

}  // namespace bvsim
