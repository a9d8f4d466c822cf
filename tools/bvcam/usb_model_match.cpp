#include "usb_model_match.h"

namespace {

constexpr DWORD kInstalledForUsb = 2;  // installMethod bit

std::string quotedList(const std::vector<std::string>& texts) {
    std::string list;
    for (const std::string& t : texts) list += (list.empty() ? "\"" : ", \"") + t + "\"";
    return list;
}

}  // namespace

UsbModelMatch matchConnectedModel(const std::vector<std::string>& offered,
                                  const std::vector<InstalledModel>& installed) {
    bool anyUsbModel = false;
    for (const InstalledModel& m : installed) anyUsbModel |= (m.installMethod & kInstalledForUsb) != 0;
    if (!anyUsbModel)
        return {0, "no camera model is installed for USB (run bvsetup install models.ini, or give usb MODELID)"};
    for (const std::string& description : offered)
        for (const InstalledModel& m : installed)
            if ((m.installMethod & kInstalledForUsb) && _stricmp(m.name.c_str(), description.c_str()) == 0)
                return {m.modelID, ""};
    if (offered.empty()) return {0, "no camera is connected: the Still Image service offers no Orvel camera"};
    return {0, "no camera of an installed model is connected: the Still Image service offers " +
                  quotedList(offered)};
}
