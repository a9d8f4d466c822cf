// TWAIN's data types, records and constants as this data source uses
// them, written from the tables of the public TWAIN 2.x standard.
// Records are packed to two bytes on Windows, for 32- and 64-bit code.
#pragma once

#include <windows.h>

typedef char TW_STR32[34];
typedef char TW_STR64[66];
typedef char TW_STR128[130];
typedef char TW_STR255[256];
typedef signed char TW_INT8;
typedef short TW_INT16;
typedef LONG TW_INT32;
typedef unsigned char TW_UINT8;
typedef unsigned short TW_UINT16;
typedef ULONG TW_UINT32;
typedef unsigned short TW_BOOL;
typedef HANDLE TW_HANDLE;
typedef void* TW_MEMREF;
typedef UINT_PTR TW_UINTPTR;

#pragma pack(push, 2)

typedef struct { TW_INT16 Whole; TW_UINT16 Frac; } TW_FIX32;
typedef struct { TW_FIX32 Left, Top, Right, Bottom; } TW_FRAME;

typedef struct {
    TW_UINT16 MajorNum, MinorNum, Language, Country;
    TW_STR32 Info;
} TW_VERSION;

typedef struct {
    TW_UINT32 Id;
    TW_VERSION Version;
    TW_UINT16 ProtocolMajor, ProtocolMinor;
    TW_UINT32 SupportedGroups;
    TW_STR32 Manufacturer, ProductFamily, ProductName;
} TW_IDENTITY;

typedef struct { TW_UINT16 Cap; TW_UINT16 ConType; TW_HANDLE hContainer; } TW_CAPABILITY;
typedef struct { TW_UINT16 ItemType; TW_UINT32 Item; } TW_ONEVALUE;
typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 NumItems, CurrentIndex, DefaultIndex;
    TW_UINT8 ItemList[1];
} TW_ENUMERATION;
typedef struct { TW_UINT16 ItemType; TW_UINT32 NumItems; TW_UINT8 ItemList[1]; } TW_ARRAY;
typedef struct {
    TW_UINT16 ItemType;
    TW_UINT32 MinValue, MaxValue, StepSize, DefaultValue, CurrentValue;
} TW_RANGE;

typedef struct { TW_UINT16 ConditionCode; TW_UINT16 Data; } TW_STATUS;
typedef struct { TW_BOOL ShowUI; TW_BOOL ModalUI; TW_HANDLE hParent; } TW_USERINTERFACE;
typedef struct { TW_UINT16 Count; TW_UINT32 EOJ; } TW_PENDINGXFERS;
typedef struct { TW_MEMREF pEvent; TW_UINT16 TWMessage; } TW_EVENT;

typedef struct {
    TW_FIX32 XResolution, YResolution;
    TW_INT32 ImageWidth, ImageLength;
    TW_INT16 SamplesPerPixel;
    TW_INT16 BitsPerSample[8];
    TW_INT16 BitsPerPixel;
    TW_BOOL Planar;
    TW_INT16 PixelType;
    TW_UINT16 Compression;
} TW_IMAGEINFO;

typedef struct {
    TW_FRAME Frame;
    TW_UINT32 DocumentNumber, PageNumber, FrameNumber;
} TW_IMAGELAYOUT;

typedef struct { TW_UINT32 MinBufSize, MaxBufSize, Preferred; } TW_SETUPMEMXFER;
typedef struct { TW_UINT32 Flags; TW_UINT32 Length; TW_MEMREF TheMem; } TW_MEMORY;
typedef struct {
    TW_UINT16 Compression;
    TW_UINT32 BytesPerRow, Columns, Rows, XOffset, YOffset, BytesWritten;
    TW_MEMORY Memory;
} TW_IMAGEMEMXFER;
typedef struct { TW_STR255 FileName; TW_UINT16 Format; TW_INT16 VRefNum; } TW_SETUPFILEXFER;

typedef struct {
    TW_UINT32 Event;
    TW_STR255 DeviceName;
    TW_UINT32 BatteryMinutes;
    TW_INT16 BatteryPercentage;
    TW_INT32 PowerSupply;
    TW_FIX32 XResolution, YResolution;
    TW_UINT32 FlashUsed2, AutomaticCapture, TimeBeforeFirstCapture, TimeBetweenCaptures;
} TW_DEVICEEVENT;

typedef TW_UINT16(WINAPI* DSMENTRYPROC)(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                        TW_UINT16 msg, TW_MEMREF data);
typedef TW_HANDLE(WINAPI* DSM_MEMALLOCATE)(TW_UINT32 size);
typedef void(WINAPI* DSM_MEMFREE)(TW_HANDLE handle);
typedef TW_MEMREF(WINAPI* DSM_MEMLOCK)(TW_HANDLE handle);
typedef void(WINAPI* DSM_MEMUNLOCK)(TW_HANDLE handle);

typedef struct {
    TW_UINT32 Size;
    DSMENTRYPROC DSM_Entry;
    DSM_MEMALLOCATE DSM_MemAllocate;
    DSM_MEMFREE DSM_MemFree;
    DSM_MEMLOCK DSM_MemLock;
    DSM_MEMUNLOCK DSM_MemUnlock;
} TW_ENTRYPOINT;

#pragma pack(pop)

typedef TW_UINT16(WINAPI* DSENTRYPROC)(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                       TW_MEMREF data);

// Protocol version this source follows.
constexpr TW_UINT16 TWON_PROTOCOLMAJOR = 2, TWON_PROTOCOLMINOR = 4;

// Data groups and identity flags.
constexpr TW_UINT32 DG_CONTROL = 0x0001, DG_IMAGE = 0x0002, DG_AUDIO = 0x0004;
constexpr TW_UINT32 DF_DSM2 = 0x10000000, DF_APP2 = 0x20000000, DF_DS2 = 0x40000000;

// Data argument types.
enum : TW_UINT16 {
    DAT_NULL = 0x0000, DAT_CAPABILITY = 0x0001, DAT_EVENT = 0x0002, DAT_IDENTITY = 0x0003,
    DAT_PARENT = 0x0004, DAT_PENDINGXFERS = 0x0005, DAT_SETUPMEMXFER = 0x0006,
    DAT_SETUPFILEXFER = 0x0007, DAT_STATUS = 0x0008, DAT_USERINTERFACE = 0x0009,
    DAT_XFERGROUP = 0x000a, DAT_CUSTOMDSDATA = 0x000c, DAT_DEVICEEVENT = 0x000d,
    DAT_FILESYSTEM = 0x000e, DAT_PASSTHRU = 0x000f, DAT_CALLBACK = 0x0010, DAT_STATUSUTF8 = 0x0011,
    DAT_CALLBACK2 = 0x0012, DAT_IMAGEINFO = 0x0101, DAT_IMAGELAYOUT = 0x0102,
    DAT_IMAGEMEMXFER = 0x0103, DAT_IMAGENATIVEXFER = 0x0104, DAT_IMAGEFILEXFER = 0x0105,
    DAT_CIECOLOR = 0x0106, DAT_GRAYRESPONSE = 0x0107, DAT_RGBRESPONSE = 0x0108,
    DAT_JPEGCOMPRESSION = 0x0109, DAT_PALETTE8 = 0x010a, DAT_EXTIMAGEINFO = 0x010b,
    DAT_IMAGEMEMFILEXFER = 0x0110, DAT_ENTRYPOINT = 0x0403,
};

// Messages.
enum : TW_UINT16 {
    MSG_NULL = 0x0000, MSG_GET = 0x0001, MSG_GETCURRENT = 0x0002, MSG_GETDEFAULT = 0x0003,
    MSG_GETFIRST = 0x0004, MSG_GETNEXT = 0x0005, MSG_SET = 0x0006, MSG_RESET = 0x0007,
    MSG_QUERYSUPPORT = 0x0008, MSG_GETHELP = 0x0009, MSG_GETLABEL = 0x000a,
    MSG_GETLABELENUM = 0x000b, MSG_SETCONSTRAINT = 0x000c,
    MSG_XFERREADY = 0x0101, MSG_CLOSEDSREQ = 0x0102, MSG_CLOSEDSOK = 0x0103, MSG_DEVICEEVENT = 0x0104,
    MSG_OPENDSM = 0x0301, MSG_CLOSEDSM = 0x0302,
    MSG_OPENDS = 0x0401, MSG_CLOSEDS = 0x0402, MSG_USERSELECT = 0x0403,
    MSG_DISABLEDS = 0x0501, MSG_ENABLEDS = 0x0502, MSG_ENABLEDSUIONLY = 0x0503,
    MSG_PROCESSEVENT = 0x0601,
    MSG_ENDXFER = 0x0701, MSG_STOPFEEDER = 0x0702,
    MSG_REGISTER_CALLBACK = 0x0902,
    MSG_RESETALL = 0x0a01,
};

// Return codes.
enum : TW_UINT16 {
    TWRC_SUCCESS = 0, TWRC_FAILURE = 1, TWRC_CHECKSTATUS = 2, TWRC_CANCEL = 3, TWRC_DSEVENT = 4,
    TWRC_NOTDSEVENT = 5, TWRC_XFERDONE = 6, TWRC_ENDOFLIST = 7, TWRC_INFONOTSUPPORTED = 8,
    TWRC_DATANOTAVAILABLE = 9,
};

// Condition codes.
enum : TW_UINT16 {
    TWCC_SUCCESS = 0, TWCC_BUMMER = 1, TWCC_LOWMEMORY = 2, TWCC_NODS = 3, TWCC_MAXCONNECTIONS = 4,
    TWCC_OPERATIONERROR = 5, TWCC_BADCAP = 6, TWCC_BADPROTOCOL = 9, TWCC_BADVALUE = 10,
    TWCC_SEQERROR = 11, TWCC_BADDEST = 12, TWCC_CAPUNSUPPORTED = 13, TWCC_CAPBADOPERATION = 14,
    TWCC_CAPSEQERROR = 15, TWCC_DENIED = 16, TWCC_FILEEXISTS = 17, TWCC_FILENOTFOUND = 18,
    TWCC_NOTEMPTY = 19, TWCC_PAPERJAM = 20, TWCC_PAPERDOUBLEFEED = 21, TWCC_FILEWRITEERROR = 22,
    TWCC_CHECKDEVICEONLINE = 23,
};

// Container types.
constexpr TW_UINT16 TWON_ARRAY = 3, TWON_ENUMERATION = 4, TWON_ONEVALUE = 5, TWON_RANGE = 6;
constexpr TW_UINT16 TWON_DONTCARE16 = 0xffff;
constexpr TW_UINT32 TWON_DONTCARE32 = 0xffffffff;

// Item types.
enum : TW_UINT16 {
    TWTY_INT8 = 0x0000, TWTY_INT16 = 0x0001, TWTY_INT32 = 0x0002, TWTY_UINT8 = 0x0003,
    TWTY_UINT16 = 0x0004, TWTY_UINT32 = 0x0005, TWTY_BOOL = 0x0006, TWTY_FIX32 = 0x0007,
    TWTY_FRAME = 0x0008, TWTY_STR32 = 0x0009, TWTY_STR64 = 0x000a, TWTY_STR128 = 0x000b,
    TWTY_STR255 = 0x000c, TWTY_HANDLE = 0x000f,
};

// Capabilities.
enum : TW_UINT16 {
    CAP_XFERCOUNT = 0x0001,
    ICAP_COMPRESSION = 0x0100, ICAP_PIXELTYPE = 0x0101, ICAP_UNITS = 0x0102, ICAP_XFERMECH = 0x0103,
    CAP_SUPPORTEDCAPS = 0x1005, CAP_INDICATORS = 0x100b, CAP_UICONTROLLABLE = 0x100e,
    CAP_DEVICEONLINE = 0x100f, CAP_THUMBNAILSENABLED = 0x1011, CAP_ENABLEDSUIONLY = 0x1014,
    CAP_DEVICETIMEDATE = 0x101f, CAP_DEVICEEVENT = 0x1022,
    ICAP_IMAGEFILEFORMAT = 0x110c, ICAP_PHYSICALWIDTH = 0x1111, ICAP_PHYSICALHEIGHT = 0x1112,
    ICAP_XRESOLUTION = 0x1118, ICAP_YRESOLUTION = 0x1119, ICAP_BITORDER = 0x111c,
    ICAP_PIXELFLAVOR = 0x111f, ICAP_PLANARCHUNKY = 0x1120, ICAP_BITDEPTH = 0x112b,
};

// Operations a capability supports, as MSG_QUERYSUPPORT reports them.
constexpr TW_INT32 TWQC_GET = 0x0001, TWQC_SET = 0x0002, TWQC_GETDEFAULT = 0x0004,
                   TWQC_GETCURRENT = 0x0008, TWQC_RESET = 0x0010;

// Capability values.
constexpr TW_UINT16 TWSX_NATIVE = 0, TWSX_FILE = 1, TWSX_MEMORY = 2, TWSX_MEMFILE = 4;
constexpr TW_UINT16 TWCP_NONE = 0, TWCP_JPEG = 6;
constexpr TW_UINT16 TWPT_BW = 0, TWPT_GRAY = 1, TWPT_RGB = 2;
constexpr TW_UINT16 TWBO_LSBFIRST = 0, TWBO_MSBFIRST = 1;
constexpr TW_UINT16 TWPC_CHUNKY = 0, TWPC_PLANAR = 1;
constexpr TW_UINT16 TWPF_CHOCOLATE = 0, TWPF_VANILLA = 1;
constexpr TW_UINT16 TWUN_INCHES = 0, TWUN_CENTIMETERS = 1, TWUN_PIXELS = 5;
constexpr TW_UINT16 TWFF_TIFF = 0, TWFF_BMP = 2, TWFF_JFIF = 4;
constexpr TW_UINT16 TWDE_CHECKBATTERY = 1, TWDE_DEVICEOFFLINE = 7, TWDE_DEVICEREMOVED = 9,
                    TWDE_POWERSAVE = 15;
constexpr TW_UINT32 TWMF_APPOWNS = 0x0001, TWMF_DSMOWNS = 0x0002, TWMF_DSOWNS = 0x0004,
                    TWMF_POINTER = 0x0008, TWMF_HANDLE = 0x0010;
constexpr TW_UINT16 TWLG_GERMAN = 6, TWCY_GERMANY = 49;
