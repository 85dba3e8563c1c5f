// The simulated host: its records, its handles, its plane delivery and the run loop.
// Delivery follows the host contract: requested planes of inRect, interleaved, inRowBytes per row.
#include "hostsim/HostSimulator.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "hostsim/SimDescriptor.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

struct SimHandle {
    int32_t size;
    char* data;
};

Handle HC_CDECL NewHandleProc(int32_t size) {
    if (size < 0) return nullptr;
    auto* handle = new SimHandle{size, static_cast<char*>(std::calloc(1, size_t(size) + 1))};
    return reinterpret_cast<Handle>(handle);
}

void HC_CDECL DisposeHandleProc(Handle h) {
    auto* handle = reinterpret_cast<SimHandle*>(h);
    if (!handle) return;
    std::free(handle->data);
    delete handle;
}

int32_t HC_CDECL GetHandleSizeProc(Handle h) {
    return h ? reinterpret_cast<SimHandle*>(h)->size : 0;
}

OSErr HC_CDECL SetHandleSizeProc(Handle h, int32_t size) {
    auto* handle = reinterpret_cast<SimHandle*>(h);
    if (!handle || size < 0) return nilHandleErr;
    char* grown = static_cast<char*>(std::realloc(handle->data, size_t(size) + 1));
    if (!grown) return memFullErr;
    handle->data = grown;
    handle->size = size;
    return noErr;
}

Ptr HC_CDECL LockHandleProc(Handle h, Boolean) {
    return h ? reinterpret_cast<SimHandle*>(h)->data : nullptr;
}
void HC_CDECL UnlockHandleProc(Handle) {}
void HC_CDECL RecoverSpaceStub(int32_t) {}
OSErr HC_CDECL AdvanceStateStub() {
    return noErr;
}

intptr_t CreateHostWindow() {
#if defined(_WIN32)
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "HalcyneSimulatedHost";
        RegisterClassA(&windowClass);
        registered = true;
    }
    HWND window = CreateWindowExA(0, "HalcyneSimulatedHost", "Simulated host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                  nullptr, nullptr, instance, nullptr);
    return reinterpret_cast<intptr_t>(window);
#else
    return 0;
#endif
}

void DestroyHostWindow(intptr_t window) {
#if defined(_WIN32)
    if (window) DestroyWindow(reinterpret_cast<HWND>(window));
#else
    (void)window;
#endif
}

bool IsEmpty(const Rect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

int32_t CopyAnswer(const std::string& answer, char* path, int32_t size) {
    if (answer.empty() || size <= 0 || answer.size() >= size_t(size)) return 0;
    std::memcpy(path, answer.c_str(), answer.size() + 1);
    return 1;
}

}  // namespace

HandleProcs SimHandleProcs() {
    HandleProcs procs{};
    procs.handleProcsVersion = 1;
    procs.numHandleProcs = 8;
    procs.newProc = NewHandleProc;
    procs.disposeProc = DisposeHandleProc;
    procs.getSizeProc = GetHandleSizeProc;
    procs.setSizeProc = SetHandleSizeProc;
    procs.lockProc = LockHandleProc;
    procs.unlockProc = UnlockHandleProc;
    procs.recoverSpaceProc = RecoverSpaceStub;
    procs.disposeRegularHandleProc = DisposeHandleProc;
    return procs;
}

HostSimulator::HostSimulator(PluginEntryProc entry, HcSetEmbedHostProc setEmbedHost, SimOptions options)
    : entry_(entry), setEmbedHost_(setEmbedHost), options_(std::move(options)) {
    platform_.hwnd = CreateHostWindow();
    handleProcs_ = SimHandleProcs();
    readProcs_ = SimReadDescriptorProcs();
    writeProcs_ = SimWriteDescriptorProcs();
    descriptors_.readDescriptorProcs = &readProcs_;
    descriptors_.writeDescriptorProcs = &writeProcs_;
    about_.platformData = &platform_;
    if (setEmbedHost_) {
        if (options_.answerBoxes) {
            HcEmbedHost host{};
            host.version = HC_EMBED_VERSION;
            host.context = this;
            host.alert = options_.systemAlerts ? nullptr : OnAlert;
            host.askSavePath = options_.systemSaveBox ? nullptr : OnSavePath;
            host.askOpenPath = options_.systemOpenBox ? nullptr : OnOpenPath;
            host.configFolder = options_.configFolder.empty() ? nullptr : options_.configFolder.c_str();
            host.error = OnError;
            host.showDialogs = options_.showDialogs ? 1 : 0;
            host.prefsNotStored = options_.goOnWithoutPrefs ? OnPrefsNotStored : nullptr;
            setEmbedHost_(&host);
        } else {
            setEmbedHost_(nullptr);
        }
    }
    PrepareRecord();
}

HostSimulator::~HostSimulator() {
    ReleaseDelivery();
    if (setEmbedHost_) setEmbedHost_(nullptr);
    handleProcs_.disposeProc(descriptors_.descriptor);
    DestroyHostWindow(platform_.hwnd);
}

void HostSimulator::SetImage(SimImage image) {
    const size_t pixels = size_t(image.width) * size_t(image.height);
    for (const auto& plane : image.planes)
        if (plane.size() != pixels) throw std::invalid_argument("plane size does not match the image");
    const bool interleaved = !image.color.empty();
    if (interleaved && image.color.size() != pixels * size_t(image.colorPlanes))
        throw std::invalid_argument("interleaved colour size does not match the image");
    if (int(image.planes.size()) != image.PlaneCount() - (interleaved ? image.colorPlanes : 0))
        throw std::invalid_argument("plane count mismatch");
    image_ = std::move(image);
    PrepareRecord();
}

void HostSimulator::PrepareRecord() {
    ReleaseDelivery();
    record_ = FilterRecord{};
    record_.serialNumber = 0;
    record_.hostSig = kHostSignature;
    record_.imageMode = image_.mode;
    record_.imageSize = Point{int16_t(image_.height), int16_t(image_.width)};
    record_.wholeSize = record_.imageSize;
    record_.planes = int16_t(image_.PlaneCount());
    record_.filterRect = Rect{0, 0, int16_t(image_.height), int16_t(image_.width)};
    record_.platformData = &platform_;
    record_.handleProcs = options_.handleProcs ? &handleProcs_ : nullptr;
    record_.advanceState = options_.advanceState ? AdvanceStateStub : nullptr;
    record_.supportsAbsolute = options_.supportsAbsolute;
    record_.descriptorParameters = options_.descriptors ? &descriptors_ : nullptr;
    if (options_.supportsAbsolute) {
        record_.absLayerPlanes = int16_t(image_.colorPlanes);
        record_.absTransparencyMask = int16_t(image_.transparencyPlanes);
        record_.absLayerMasks = int16_t(image_.layerMasks);
        record_.absInvertedLayerMasks = int16_t(image_.invertedLayerMasks);
        record_.absNonLayerPlanes = int16_t(image_.nonLayerPlanes);
    }
    record_.maxSpace = 256 << 20;
    record_.bufferSpace = 64 << 20;
    record_.depth = 8;
}

int16_t HostSimulator::Call(int16_t selector) {
    int16_t result = 0;
    void* block = selector == filterSelectorAbout ? static_cast<void*>(&about_) : static_cast<void*>(&record_);
    entry_(selector, block, &data_, &result);
    if (selector == filterSelectorFinish || result != 0) ReleaseDelivery();  // the run is over
    return result;
}

int16_t HostSimulator::About() {
    return Call(filterSelectorAbout);
}

bool HostSimulator::DeliverRequestedPlanes() {
    const Rect& rect = record_.inRect;
    if (IsEmpty(rect)) return false;
    int lo = record_.inLoPlane, hi = record_.inHiPlane;
    if (rect.left < 0 || rect.top < 0 || rect.right > image_.width || rect.bottom > image_.height || lo < 0 ||
        hi < lo || hi >= image_.PlaneCount())
        throw std::runtime_error("the module asked for planes or pixels the image does not have");
    int width = rect.right - rect.left, height = rect.bottom - rect.top, count = hi - lo + 1;
    const size_t imageWidth = size_t(image_.width);
    ReleaseDelivery();
    if (!image_.color.empty() && lo == 0 && count == image_.colorPlanes && width == image_.width &&
        options_.extraRowBytes == 0) {
        // The host's own interleaved rows, handed over in place.
        record_.inData = image_.color.data() + size_t(rect.top) * imageWidth * size_t(count);
        record_.inRowBytes = width * count;
    } else {
        int32_t rowBytes = width * count + options_.extraRowBytes;
        const size_t bytes = size_t(rowBytes) * size_t(height);
        auto* delivery = static_cast<uint8_t*>(std::malloc(bytes ? bytes : 1));
        if (!delivery) throw std::bad_alloc();
        std::memset(delivery, 0xEE, bytes);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = delivery + size_t(y) * size_t(rowBytes);
            const size_t first = size_t(rect.top + y) * imageWidth + size_t(rect.left);
            for (int p = 0; p < count; ++p)
                for (int x = 0; x < width; ++x) row[x * count + p] = image_.Sample(lo + p, first + size_t(x));
        }
        record_.inData = delivery;
        record_.inRowBytes = rowBytes;
        deliveryOwned_ = true;
    }
    deliveries_.emplace_back(lo, hi);
    return true;
}

int16_t HostSimulator::ReadPlanes() {
    deliveries_.clear();
    continueCalls_ = 0;
    int16_t result = 0;
    if ((result = Call(filterSelectorPrepare)) != 0) return result;
    if ((result = Call(filterSelectorStart)) != 0) return result;
    // A module that keeps asking for planes would loop forever in a careless host; bound it.
    for (int guard = 0; DeliverRequestedPlanes(); ++guard) {
        if (guard > 100000) throw std::runtime_error("the module never stops asking for planes");
        ++continueCalls_;
        result = Call(filterSelectorContinue);
        if (result != 0) return result;
    }
    return result;
}

int16_t HostSimulator::Run(bool withParameters) {
    int16_t result = 0;
    if (withParameters && (result = Call(filterSelectorParameters)) != 0) return result;
    if ((result = ReadPlanes()) != 0) return result;
    return Call(filterSelectorFinish);
}

void HostSimulator::ReleaseDelivery() {
    if (deliveryOwned_) std::free(record_.inData);
    deliveryOwned_ = false;
    record_.inData = nullptr;
}

int32_t HC_EMBED_CDECL HostSimulator::OnAlert(void* context, const char* text, const char* caption, int32_t buttons) {
    auto* self = static_cast<HostSimulator*>(context);
    self->alerts_.push_back(SimAlert{text, caption, buttons});
    return self->options_.alertAnswer;
}

int32_t HC_EMBED_CDECL HostSimulator::OnSavePath(void* context, const char*, char* path, int32_t size) {
    auto* self = static_cast<HostSimulator*>(context);
    self->saveAsked_ = true;
    return CopyAnswer(self->options_.savePath, path, size);
}

void HC_EMBED_CDECL HostSimulator::OnError(void* context, uint32_t code, uint32_t detail) {
    static_cast<HostSimulator*>(context)->errors_.push_back(SimError{code, detail});
}

void HC_EMBED_CDECL HostSimulator::OnPrefsNotStored(void* context, uint32_t code, uint32_t detail) {
    static_cast<HostSimulator*>(context)->prefsFailures_.push_back(SimError{code, detail});
}

int32_t HC_EMBED_CDECL HostSimulator::OnOpenPath(void*, const char*, char*, int32_t) {
    return 0;
}
