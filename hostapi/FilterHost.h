// Declarations of the host's filter plug-in interface: records, procedure tables, selectors, result codes.
// Field order and types follow the public SDK byte for byte; the static assertions pin the offsets hosts rely on.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define HC_CDECL __cdecl
#else
#define HC_CDECL
#endif

extern "C" {

typedef uint8_t Boolean;
typedef int32_t Fixed;
typedef uint32_t OSType;
typedef uint32_t DescriptorKeyID;
typedef uint32_t DescType;
typedef int16_t OSErr;
typedef struct HostHandleOpaque* Handle;
typedef char* Ptr;
typedef unsigned char Str255[256];
typedef Str255* Str255Ptr;

constexpr uint32_t MakeOSType(const char (&c)[5]) {
    return (uint32_t(uint8_t(c[0])) << 24) | (uint32_t(uint8_t(c[1])) << 16) | (uint32_t(uint8_t(c[2])) << 8) |
           uint32_t(uint8_t(c[3]));
}

struct Point {
    int16_t v;
    int16_t h;
};

struct Rect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct RGBColor {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

typedef uint8_t FilterColor[4];

struct PlugInMonitor {
    Fixed gamma, redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY, ambient;
};

struct PlatformData {
    intptr_t hwnd;
};

struct AboutRecord {
    PlatformData* platformData;
    void* sSPBasic;
    void* plugInRef;
    char reserved[244];
};

typedef Handle(HC_CDECL* NewPIHandleProc)(int32_t size);
typedef void(HC_CDECL* DisposePIHandleProc)(Handle h);
typedef int32_t(HC_CDECL* GetPIHandleSizeProc)(Handle h);
typedef OSErr(HC_CDECL* SetPIHandleSizeProc)(Handle h, int32_t newSize);
typedef Ptr(HC_CDECL* LockPIHandleProc)(Handle h, Boolean moveHigh);
typedef void(HC_CDECL* UnlockPIHandleProc)(Handle h);
typedef void(HC_CDECL* RecoverSpaceProc)(int32_t size);
typedef void(HC_CDECL* DisposeRegularHandlePIHandleProc)(Handle h);

struct HandleProcs {
    int16_t handleProcsVersion;
    int16_t numHandleProcs;
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    GetPIHandleSizeProc getSizeProc;
    SetPIHandleSizeProc setSizeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
    RecoverSpaceProc recoverSpaceProc;
    DisposeRegularHandlePIHandleProc disposeRegularHandleProc;
};

typedef struct PIOpaqueReadDescriptor* PIReadDescriptor;
typedef struct PIOpaqueWriteDescriptor* PIWriteDescriptor;

struct ReadDescriptorProcs {
    int16_t readDescriptorProcsVersion;
    int16_t numReadDescriptorProcs;
    PIReadDescriptor(HC_CDECL* openReadDescriptorProc)(Handle descriptor, DescriptorKeyID* keyArray);
    OSErr(HC_CDECL* closeReadDescriptorProc)(PIReadDescriptor r);
    Boolean(HC_CDECL* getKeyProc)(PIReadDescriptor r, DescriptorKeyID* key, DescType* type, int32_t* flags);
    OSErr(HC_CDECL* getIntegerProc)(PIReadDescriptor r, int32_t* value);
    OSErr(HC_CDECL* getFloatProc)(PIReadDescriptor r, double* value);
    OSErr(HC_CDECL* getUnitFloatProc)(PIReadDescriptor r, DescType* unit, double* value);
    OSErr(HC_CDECL* getBooleanProc)(PIReadDescriptor r, Boolean* value);
    OSErr(HC_CDECL* getTextProc)(PIReadDescriptor r, Handle* value);
    OSErr(HC_CDECL* getAliasProc)(PIReadDescriptor r, Handle* value);
    OSErr(HC_CDECL* getEnumeratedProc)(PIReadDescriptor r, DescType* value);
    OSErr(HC_CDECL* getClassProc)(PIReadDescriptor r, DescType* value);
    OSErr(HC_CDECL* getSimpleReferenceProc)(PIReadDescriptor r, void* value);
    OSErr(HC_CDECL* getObjectProc)(PIReadDescriptor r, DescType* type, Handle* value);
    OSErr(HC_CDECL* getCountProc)(PIReadDescriptor r, uint32_t* value);
    OSErr(HC_CDECL* getStringProc)(PIReadDescriptor r, Str255* value);
    OSErr(HC_CDECL* getPinnedIntegerProc)(PIReadDescriptor r, int32_t min, int32_t max, int32_t* value);
    OSErr(HC_CDECL* getPinnedFloatProc)(PIReadDescriptor r, const double* min, const double* max, double* value);
    OSErr(HC_CDECL* getPinnedUnitFloatProc)(PIReadDescriptor r, const double* min, const double* max, DescType* unit,
                                            double* value);
};

struct WriteDescriptorProcs {
    int16_t writeDescriptorProcsVersion;
    int16_t numWriteDescriptorProcs;
    PIWriteDescriptor(HC_CDECL* openWriteDescriptorProc)(void);
    OSErr(HC_CDECL* closeWriteDescriptorProc)(PIWriteDescriptor w, Handle* newDescriptor);
    OSErr(HC_CDECL* putIntegerProc)(PIWriteDescriptor w, DescriptorKeyID key, int32_t value);
    OSErr(HC_CDECL* putFloatProc)(PIWriteDescriptor w, DescriptorKeyID key, const double* value);
    OSErr(HC_CDECL* putUnitFloatProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType unit, const double* value);
    OSErr(HC_CDECL* putBooleanProc)(PIWriteDescriptor w, DescriptorKeyID key, Boolean value);
    OSErr(HC_CDECL* putTextProc)(PIWriteDescriptor w, DescriptorKeyID key, Handle value);
    OSErr(HC_CDECL* putAliasProc)(PIWriteDescriptor w, DescriptorKeyID key, Handle value);
    OSErr(HC_CDECL* putEnumeratedProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType type, DescType value);
    OSErr(HC_CDECL* putClassProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType value);
    OSErr(HC_CDECL* putSimpleReferenceProc)(PIWriteDescriptor w, DescriptorKeyID key, const void* value);
    OSErr(HC_CDECL* putObjectProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType type, Handle value);
    OSErr(HC_CDECL* putCountProc)(PIWriteDescriptor w, DescriptorKeyID key, uint32_t value);
    OSErr(HC_CDECL* putStringProc)(PIWriteDescriptor w, DescriptorKeyID key, const unsigned char* pascalString);
    OSErr(HC_CDECL* putScopedClassProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType value);
    OSErr(HC_CDECL* putScopedObjectProc)(PIWriteDescriptor w, DescriptorKeyID key, DescType type, Handle value);
};

struct PIDescriptorParameters {
    int16_t descriptorParametersVersion;
    int16_t playInfo;
    int16_t recordInfo;
    Handle descriptor;
    WriteDescriptorProcs* writeDescriptorProcs;
    ReadDescriptorProcs* readDescriptorProcs;
};

typedef Boolean(HC_CDECL* TestAbortProc)(void);
typedef void(HC_CDECL* ProgressProc)(int32_t done, int32_t total);
typedef void(HC_CDECL* HostProc)(int16_t selector, intptr_t* data);
typedef void(HC_CDECL* ProcessEventProc)(void* event);
typedef OSErr(HC_CDECL* AdvanceStateProc)(void);
typedef void(HC_CDECL* OpaqueProc)(void);  // host procedures the plug-in never calls

#pragma pack(push, 4)
struct FilterRecord {
    int32_t serialNumber;
    TestAbortProc abortProc;
    ProgressProc progressProc;
    Handle parameters;
    Point imageSize;
    int16_t planes;
    Rect filterRect;
    RGBColor background;
    RGBColor foreground;
    int32_t maxSpace;
    int32_t bufferSpace;
    Rect inRect;
    int16_t inLoPlane;
    int16_t inHiPlane;
    Rect outRect;
    int16_t outLoPlane;
    int16_t outHiPlane;
    void* inData;
    int32_t inRowBytes;
    void* outData;
    int32_t outRowBytes;
    Boolean isFloating;
    Boolean haveMask;
    Boolean autoMask;
    Rect maskRect;
    void* maskData;
    int32_t maskRowBytes;
    FilterColor backColor;
    FilterColor foreColor;
    OSType hostSig;
    HostProc hostProc;
    int16_t imageMode;
    Fixed imageHRes;
    Fixed imageVRes;
    Point floatCoord;
    Point wholeSize;
    PlugInMonitor monitor;
    PlatformData* platformData;
    void* bufferProcs;
    void* resourceProcs;
    ProcessEventProc processEvent;
    OpaqueProc displayPixels;
    HandleProcs* handleProcs;
    Boolean supportsDummyChannels;
    Boolean supportsAlternateLayouts;
    int16_t wantLayout;
    int16_t filterCase;
    int16_t dummyPlaneValue;
    void* premiereHook;
    AdvanceStateProc advanceState;
    Boolean supportsAbsolute;
    Boolean wantsAbsolute;
    OpaqueProc getPropertyObsolete;
    Boolean cannotUndo;
    Boolean supportsPadding;
    int16_t inputPadding;
    int16_t outputPadding;
    int16_t maskPadding;
    char samplingSupport;
    char reservedByte;
    Fixed inputRate;
    Fixed maskRate;
    OpaqueProc colorServices;
    int16_t inLayerPlanes, inTransparencyMask, inLayerMasks, inInvertedLayerMasks, inNonLayerPlanes;
    int16_t outLayerPlanes, outTransparencyMask, outLayerMasks, outInvertedLayerMasks, outNonLayerPlanes;
    int16_t absLayerPlanes, absTransparencyMask, absLayerMasks, absInvertedLayerMasks, absNonLayerPlanes;
    int16_t inPreDummyPlanes, inPostDummyPlanes, outPreDummyPlanes, outPostDummyPlanes;
    int32_t inColumnBytes, inPlaneBytes, outColumnBytes, outPlaneBytes;
    void* imageServicesProcs;
    void* propertyProcs;
    int16_t inTileHeight, inTileWidth;
    Point inTileOrigin;
    int16_t absTileHeight, absTileWidth;
    Point absTileOrigin;
    int16_t outTileHeight, outTileWidth;
    Point outTileOrigin;
    int16_t maskTileHeight, maskTileWidth;
    Point maskTileOrigin;
    PIDescriptorParameters* descriptorParameters;
    Str255* errorString;
    void* channelPortProcs;
    void* documentInfo;
    void* sSPBasic;
    void* plugInRef;
    int32_t depth;
    Handle iCCprofileData;
    int32_t iCCprofileSize;
    int32_t canUseICCProfiles;
    char reserved[54];
};
#pragma pack(pop)

typedef void(HC_CDECL* PluginEntryProc)(int16_t selector, void* block, intptr_t* data, int16_t* result);

}  // extern "C"

enum FilterSelector : int16_t {
    filterSelectorAbout = 0,
    filterSelectorParameters = 1,
    filterSelectorPrepare = 2,
    filterSelectorStart = 3,
    filterSelectorContinue = 4,
    filterSelectorFinish = 5,
};

enum HostResult : int16_t {
    noErr = 0,
    coercedParamErr = 2,  // a warning, not an error: the value was pinned into the range asked for
    paramErr = -50,
    memFullErr = -108,
    nilHandleErr = -109,
    userCanceledErr = -128,
    filterBadParameters = -30100,
    filterBadMode = -30101,
};

enum PlayInfo : int16_t { plugInDialogDontDisplay = 0, plugInDialogDisplay = 1, plugInDialogSilent = 2 };
enum RecordInfo : int16_t { plugInDialogOptional = 0, plugInDialogRequired = 1, plugInDialogNone = 2 };

enum HostImageMode : int16_t {
    plugInModeBitmap = 0,
    plugInModeGrayScale = 1,
    plugInModeIndexedColor = 2,
    plugInModeRGBColor = 3,
};

constexpr OSType kHostSignature = MakeOSType("8BIM");
constexpr OSType kFilterKind = MakeOSType("8BFM");

constexpr DescType typeInteger = MakeOSType("long");
constexpr DescType typeFloat = MakeOSType("doub");
constexpr DescType typeUnitFloat = MakeOSType("UntF");
constexpr DescType typeBoolean = MakeOSType("bool");
constexpr DescType typeChar = MakeOSType("TEXT");
constexpr DescType typeEnumerated = MakeOSType("enum");
constexpr DescType typeType = MakeOSType("type");
constexpr DescType typeObject = MakeOSType("Objc");
constexpr DescType typeNull = MakeOSType("null");
constexpr DescType typeImageReference = MakeOSType("#ImR");

// Offsets hosts rely on; a mismatch means the module would read the wrong fields in a real host.
#define HC_CHECK_OFFSET(field, off32, off64) \
    static_assert(offsetof(FilterRecord, field) == (sizeof(void*) == 4 ? (off32) : (off64)), "FilterRecord::" #field)
HC_CHECK_OFFSET(planes, 20, 32);
HC_CHECK_OFFSET(filterRect, 22, 34);
HC_CHECK_OFFSET(inRect, 52, 64);
HC_CHECK_OFFSET(inLoPlane, 60, 72);
HC_CHECK_OFFSET(inHiPlane, 62, 74);
HC_CHECK_OFFSET(outRect, 64, 76);
HC_CHECK_OFFSET(outLoPlane, 72, 84);
HC_CHECK_OFFSET(outHiPlane, 74, 86);
HC_CHECK_OFFSET(inData, 76, 88);
HC_CHECK_OFFSET(inRowBytes, 80, 96);
HC_CHECK_OFFSET(imageMode, 128, 156);
HC_CHECK_OFFSET(platformData, 188, 216);
HC_CHECK_OFFSET(handleProcs, 208, 256);
HC_CHECK_OFFSET(advanceState, 224, 280);
HC_CHECK_OFFSET(supportsAbsolute, 228, 288);
HC_CHECK_OFFSET(wantsAbsolute, 229, 289);
HC_CHECK_OFFSET(cannotUndo, 236, 300);
HC_CHECK_OFFSET(absLayerPlanes, 280, 348);
HC_CHECK_OFFSET(absNonLayerPlanes, 288, 356);
HC_CHECK_OFFSET(descriptorParameters, 356, 432);
HC_CHECK_OFFSET(documentInfo, 368, 456);
#undef HC_CHECK_OFFSET

static_assert(offsetof(PIDescriptorParameters, descriptor) == (sizeof(void*) == 4 ? 8 : 8), "descriptor");
static_assert(offsetof(PIDescriptorParameters, writeDescriptorProcs) == (sizeof(void*) == 4 ? 12 : 16), "write");
static_assert(offsetof(PIDescriptorParameters, readDescriptorProcs) == (sizeof(void*) == 4 ? 16 : 24), "read");
static_assert(sizeof(Rect) == 8 && sizeof(Point) == 4 && sizeof(RGBColor) == 6 && sizeof(PlugInMonitor) == 40,
              "by-value host types");
