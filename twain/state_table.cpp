#include "state_table.h"

namespace {

struct Triplet {
    TW_UINT32 dg;
    TW_UINT16 dat, msg;
    int first, last;  // the states that take it
};

// Capability messages that change a value are for state 4 only; a
// transfer starts in state 6 and a memory transfer goes on in 7.
constexpr Triplet kTriplets[] = {
    {DG_CONTROL, DAT_IDENTITY, MSG_GET, 3, 7},
    {DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, 3, 3},
    {DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, 4, 4},
    {DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, 3, 4},
    {DG_CONTROL, DAT_STATUS, MSG_GET, 3, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_QUERYSUPPORT, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESET, 4, 4},
    {DG_CONTROL, DAT_CAPABILITY, MSG_RESETALL, 4, 4},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, 4, 4},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 5},
    {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 5, 7},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, 4, 7},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, 6, 6},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GETDEFAULT, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, 4, 4},
    {DG_CONTROL, DAT_XFERGROUP, MSG_GET, 4, 6},
    {DG_CONTROL, DAT_XFERGROUP, MSG_SET, 4, 4},
    {DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, 4, 7},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, 6},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GETDEFAULT, 4, 6},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 4, 4},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, 4, 4},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7},
    {DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, 6, 7},
};

}  // namespace

TripletCheck checkTriplet(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, int state) {
    for (const Triplet& t : kTriplets) {
        if (t.dg != dg || t.dat != dat || t.msg != msg) continue;
        return state >= t.first && state <= t.last ? TripletCheck::Allowed : TripletCheck::WrongState;
    }
    return TripletCheck::Unknown;
}
