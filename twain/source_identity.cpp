#include <cstring>

#include "source.h"

void fillIdentity(TW_IDENTITY* identity) {
    const TW_UINT32 id = identity->Id;  // the manager's number for this source stays
    *identity = {};
    identity->Id = id;
    identity->Version.MajorNum = 1;
    identity->Version.MinorNum = 0;
    identity->Version.Language = TWLG_GERMAN;
    identity->Version.Country = TWCY_GERMANY;
    std::strcpy(identity->Version.Info, "Bvcl2STI 1.0");
    identity->ProtocolMajor = TWON_PROTOCOLMAJOR;
    identity->ProtocolMinor = TWON_PROTOCOLMINOR;
    identity->SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    std::strcpy(identity->Manufacturer, "Orvel");
    std::strcpy(identity->ProductFamily, "Brivant");
    std::strcpy(identity->ProductName, "Brivant Digital Camera");
}
