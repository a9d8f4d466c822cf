// get, get-all, put and jpeg-header: moving files between the camera and
// this computer. Each transferred file gets one line, "<from> -> <to>
// <size> bytes"; on a console a progress bar runs while it moves.
#include <cstdio>

#include "camera_tree.h"
#include "commands.h"
#include "console.h"
#include "download_file.h"
#include "host_files.h"
#include "jpeg_markers.h"
#include "memory_stream.h"
#include "progress_text.h"
#include "upload_file.h"

namespace {

using FetchOperation = DWORD(WINAPI*)(DWORD camera, const char* path, bvlStream* stream);

struct Fetch {
    FetchOperation operation;  // baseGetFile or baseGetJpegParsingHeader
    std::string command;       // for error messages
    std::string cameraPath;
    std::string hostPath;
    unsigned long long expectedSize;  // for the progress bar; 0 unknown
};

void printTransfer(const std::string& from, const std::string& to, unsigned long long size) {
    std::printf("%s -> %s  %llu bytes\n", from.c_str(), to.c_str(), size);
    std::fflush(stdout);
}

}  // namespace

int downloadToFile(const DownloadRequest& r, unsigned long long* size) {
    ProgressMeter meter(leafName(r.from), r.expectedSize, outputIsTerminal());
    DownloadFile download;
    download.setMeter(&meter);
    if (DWORD error = download.create(r.hostPath)) return failOnHost("could not create " + r.hostPath, error);
    const DWORD rc = r.fetch(download.stream());
    meter.finish();
    if (download.hostError()) return failOnHost("could not write " + r.hostPath, download.hostError());
    if (rc != 0) return failWithCode(r.what, rc);
    if (DWORD error = download.commit()) return failOnHost("could not save " + r.hostPath, error);
    printTransfer(r.from, r.hostPath, download.size());
    if (size) *size = download.size();
    return kExitOk;
}

namespace {

// Fetches one camera file into place.
int fetchFile(CameraConnection& c, const Fetch& f, unsigned long long* size) {
    const auto fetch = [&](bvlStream* stream) { return f.operation(c.camera(), f.cameraPath.c_str(), stream); };
    return downloadToFile({fetch, f.command + " " + f.cameraPath, f.cameraPath, f.hostPath, f.expectedSize}, size);
}

// The host path for a camera file: dest as given, or inside it when it is
// a folder; the camera file's own name when dest is empty.
std::string hostDestination(const std::string& cameraPath, const std::string& dest) {
    if (dest.empty()) return leafName(cameraPath);
    return isHostDirectory(dest) ? dest + "\\" + leafName(cameraPath) : dest;
}

void printHeaderMarkers(const std::string& path, const std::vector<BYTE>& header) {
    std::printf("%s: parsing header of %u bytes\n", path.c_str(), static_cast<unsigned>(header.size()));
    std::vector<JpegMarker> markers;
    const JpegWalk walk = listJpegMarkers(header, markers);
    for (const JpegMarker& m : markers) {
        std::printf("  0x%04lx  %s", static_cast<unsigned long>(m.offset), jpegMarkerName(m.code).c_str());
        if (m.length) std::printf(", length %lu", static_cast<unsigned long>(m.length));
        std::printf("\n");
    }
    if (walk == JpegWalk::Truncated) std::printf("  (the header ends inside the next segment)\n");
    if (walk == JpegWalk::NotJpeg) std::printf("  (not JPEG data past this point)\n");
}

}  // namespace

// get PATH [DEST]
int runGet(CameraConnection& c, const CommandArgs& args) {
    const std::string& path = args.words[0];
    DirectoryEntry entry;
    if (DWORD rc = findEntry(c.api(), c.camera(), path, &entry)) return failWithCode("get " + path, rc);
    if (entry.isDirectory()) return failUsage("get " + path + ": a folder; use get-all for whole trees");
    const std::string dest = hostDestination(path, args.words.size() > 1 ? args.words[1] : std::string());
    unsigned long long size = 0;
    return fetchFile(c, {c.api().baseGetFile, "get", path, dest, entry.size}, &size);
}

// get-all DESTDIR: every picture of every volume into DESTDIR\<volume>\<folders>.
int runGetAll(CameraConnection& c, const CommandArgs& args) {
    const std::string& root = args.words[0];
    const ULONGLONG start = GetTickCount64();
    std::vector<CameraPicture> pictures;
    if (DWORD rc = findPictures(c.api(), c.camera(), pictures)) return failWithCode("get-all", rc);
    unsigned long long total = 0;
    for (const CameraPicture& p : pictures) {
        const std::string host = root + "\\" + p.path;
        if (DWORD error = makeHostDirectories(hostFolderOf(host)))
            return failOnHost("could not create " + hostFolderOf(host), error);
        unsigned long long size = 0;
        if (int exit = fetchFile(c, {c.api().baseGetFile, "get-all", p.path, host, p.size}, &size)) return exit;
        total += size;
    }
    const unsigned long elapsed = static_cast<unsigned long>(GetTickCount64() - start);
    std::printf("%u pictures, %llu bytes in %s (%s)\n", static_cast<unsigned>(pictures.size()), total,
                formatDuration(elapsed / 1000).c_str(), formatRate(total, elapsed).c_str());
    return kExitOk;
}

// put FILE PATH: PATH may name a folder, which then receives FILE's name.
int runPut(CameraConnection& c, const CommandArgs& args) {
    const std::string& file = args.words[0];
    std::string path = args.words[1];
    DirectoryEntry entry;
    if (findEntry(c.api(), c.camera(), path, &entry) == 0 && entry.isDirectory())
        path = joinPath(path, file.substr(file.find_last_of("\\/") + 1));
    UploadFile upload;
    if (DWORD error = upload.open(file)) return failOnHost("could not read " + file, error);
    ProgressMeter meter(leafName(path), upload.size(), outputIsTerminal());
    upload.setMeter(&meter);
    const DWORD rc = c.api().basePutFile(c.camera(), path.c_str(), upload.stream());
    meter.finish();
    if (upload.hostError()) return failOnHost("could not read " + file, upload.hostError());
    if (rc != 0) return failWithCode("put " + path, rc);
    printTransfer(file, path, upload.size());
    return kExitOk;
}

// jpeg-header PATH [DEST]: saves the header to DEST, or lists its markers.
int runJpegHeader(CameraConnection& c, const CommandArgs& args) {
    const std::string& path = args.words[0];
    if (args.words.size() > 1) {
        unsigned long long size = 0;
        const std::string dest = hostDestination(path, args.words[1]);
        return fetchFile(c, {c.api().baseGetJpegParsingHeader, "jpeg-header", path, dest, 0}, &size);
    }
    MemoryStream header;
    if (DWORD rc = c.api().baseGetJpegParsingHeader(c.camera(), path.c_str(), header.stream()))
        return failWithCode("jpeg-header " + path, rc);
    printHeaderMarkers(path, header.bytes());
    return kExitOk;
}
