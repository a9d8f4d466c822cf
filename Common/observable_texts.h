// Texts that leave the library other than through its codes: lines on the
// debugger output, a message box, lines on the console and the file names
// and line numbers of the registry error report. Applications and tools
// watch for these exact bytes (the odd "\n\r" endings, the spelling, the
// blanks, the numbers), so they are kept as they are and must not be
// "fixed" or tidied. Each is emitted only through the name given here.
#pragma once

#include <windows.h>

namespace bv {

// ---- Debugger output (OutputDebugStringA) ----
// The raw message exchange on a serial port.
constexpr char kTextNoSerialLibrary[] = "m_hBvll == NULL\n\r";
constexpr char kTextNoSerialMessageTable[] = "GetProcAddress g_bvlFactryAPI err\n\r";
constexpr char kTextMessageNoMemory[] = "memory alloc err\n\r";
constexpr char kTextMessageSendFailed[] = "bvlMsgTx error\n\r";
// The settings dialog closed by the camera's time-out.
constexpr char kTextDialogClosedByTimeout[] = "<< NOW, CLOSE DIALOG BY TIMEOUT >>\n";
// A still-image device whose release raised; the second line's format.
constexpr char kTextDeviceReleaseFailed[] = "ERROR : pStiDevice->Release() \n";
constexpr char kTextDeviceReleaseResult[] = "hres = 0x%x\n";

// ---- Message box ----
// The caller's read callback failed during a file upload.
constexpr char kTextReadCallbackFailed[] = "ERROR from ReadCB !!!!!!!!!!!";
constexpr char kCaptionReadCallbackFailed[] = "InStreamFuncForPutLargeData";

// ---- Console (printf) of the event channel's security set-up ----
// Each takes the system's error number.
constexpr char kTextSidFailed[] = "AllocateAndInitializeSid Error %u\n";
constexpr char kTextAclFailed[] = "SetEntriesInAcl Error %u\n";
constexpr char kTextDescriptorAllocFailed[] = "LocalAlloc Error %u\n";
constexpr char kTextDescriptorInitFailed[] = "InitializeSecurityDescriptor Error %u\n";
constexpr char kTextDaclFailed[] = "SetSecurityDescriptorDacl Error %u\n";

// ---- Registry error report: where the registry store raises ----
constexpr char kRegistryHeaderName[] = "bvWinReg";  // key and value access
constexpr char kRegistrySourceName[] = "Bvwinreg";  // model lookups
constexpr DWORD kLineOpenKey = 28;
constexpr DWORD kLineReadValue = 36;
constexpr DWORD kLineWriteValue = 41;
constexpr DWORD kLineNoModelID = 65;
constexpr DWORD kLineNoModelName = 84;

}  // namespace bv
