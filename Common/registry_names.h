// The names of the registry keys and values that the library reads and its
// installers write, all below HKEY_LOCAL_MACHINE:
//   Software\Orvel\Brivant\BVLL            one subkey per camera model
//   Software\Orvel\Brivant\BVL2STI         lastModel, defaultModel (port types)
//   Software\Orvel\Brivant\BVL2STI\SERIAL  lastPort, defaultPort
//   Software\Orvel\Brivant\BVL2STI\USB     lastPort, defaultPort
//
// Plain on purpose: no Windows headers, one string per line, so the
// package build reads the same names from this file.
#pragma once

namespace bv {

constexpr char kOrvelKey[] = "Software\\Orvel";
constexpr char kBrivantKey[] = "Software\\Orvel\\Brivant";
constexpr char kModelListKey[] = "Software\\Orvel\\Brivant\\BVLL";
constexpr char kLibraryKey[] = "Software\\Orvel\\Brivant\\BVL2STI";
constexpr char kSerialSubkey[] = "SERIAL";
constexpr char kUsbSubkey[] = "USB";

// Values of a model subkey.
constexpr char kModelID[] = "modelID";
constexpr char kModelName[] = "modelName";
constexpr char kInstallMethod[] = "installMethod";
constexpr char kCameraDetectID[] = "cameraDetectID";
// Stored ports: in a model subkey, or in SERIAL or USB by port type.
constexpr char kLastPort[] = "lastPort";
constexpr char kDefaultPort[] = "defaultPort";
// Values of the library key: the port type of the last and default port.
constexpr char kLastModel[] = "lastModel";
constexpr char kDefaultModel[] = "defaultModel";

}  // namespace bv
