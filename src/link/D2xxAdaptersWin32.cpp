// FT232R adapters on Windows through FTDI's D2XX driver: ftd2xx.dll, which FTDI's standard
// driver package installs, loaded at run time. Without it the program runs as before and a
// "ftdi:" port says which driver to install. The functions, types and codes below are written
// from FTDI's D2XX Programmer's Guide.
#include "link/UsbAdapters.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel {

namespace {

using FtHandle = void*;
using FtStatus = ULONG;

constexpr FtStatus kFtOk = 0;
constexpr DWORD kOpenBySerialNumber = 1;
constexpr ULONG kPurgeReceive = 1;
constexpr ULONG kPurgeTransmit = 2;
constexpr UCHAR kBitModeReset = 0x00;
constexpr UCHAR kBitModeSynchronous = 0x04;
constexpr ULONG kDeviceType232R = 5;
constexpr ULONG kFlagOpened = 1;
constexpr UCHAR kLatencyMs = 2;
constexpr ULONG kReadTimeoutMs = 5000; // a 4 KB transfer at the slowest SCK takes 1.4 s
constexpr ULONG kWriteTimeoutMs = 5000;

// FT_DEVICE_LIST_INFO_NODE of the guide.
struct DeviceNode {
    ULONG flags;
    ULONG type;
    ULONG id; // vendor id << 16 | product id
    DWORD locationId;
    char serialNumber[16];
    char description[64];
    FtHandle handle;
};

const char* kMissingDriver = "FTDI's D2XX driver is not installed (ftd2xx.dll was not found): "
                             "install the FTDI USB driver (CDM package from ftdichip.com)";

// The DLL's functions this program uses, found once.
struct D2xx {
    HMODULE dll = nullptr;
    FtStatus(WINAPI* createDeviceInfoList)(DWORD*) = nullptr;
    FtStatus(WINAPI* getDeviceInfoList)(DeviceNode*, DWORD*) = nullptr;
    FtStatus(WINAPI* openByIndex)(int, FtHandle*) = nullptr;
    FtStatus(WINAPI* openEx)(void*, DWORD, FtHandle*) = nullptr;
    FtStatus(WINAPI* close)(FtHandle) = nullptr;
    FtStatus(WINAPI* setBitMode)(FtHandle, UCHAR, UCHAR) = nullptr;
    FtStatus(WINAPI* setBaudRate)(FtHandle, ULONG) = nullptr;
    FtStatus(WINAPI* setLatencyTimer)(FtHandle, UCHAR) = nullptr;
    FtStatus(WINAPI* setTimeouts)(FtHandle, ULONG, ULONG) = nullptr;
    FtStatus(WINAPI* purge)(FtHandle, ULONG) = nullptr;
    FtStatus(WINAPI* write)(FtHandle, void*, DWORD, DWORD*) = nullptr;
    FtStatus(WINAPI* read)(FtHandle, void*, DWORD, DWORD*) = nullptr;

    template <typename F> bool find(F& function, const char* name) {
        const FARPROC found = ::GetProcAddress(dll, name);
        function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(found));
        return found != nullptr;
    }

    // True when the DLL and all of its functions were found.
    bool load() {
        // FTDI's installer puts the DLL in the system folder; nowhere else is searched.
        dll = ::LoadLibraryExA("ftd2xx.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!dll) return false;
        return find(createDeviceInfoList, "FT_CreateDeviceInfoList") &&
               find(getDeviceInfoList, "FT_GetDeviceInfoList") && find(openByIndex, "FT_Open") &&
               find(openEx, "FT_OpenEx") && find(close, "FT_Close") &&
               find(setBitMode, "FT_SetBitMode") && find(setBaudRate, "FT_SetBaudRate") &&
               find(setLatencyTimer, "FT_SetLatencyTimer") && find(setTimeouts, "FT_SetTimeouts") &&
               find(purge, "FT_Purge") && find(write, "FT_Write") && find(read, "FT_Read");
    }
};

std::string statusText(FtStatus status) {
    static const char* const kTexts[] = {
        "ok", "invalid handle", "device not found", "device not opened (in use by another program?)",
        "I/O error (was the adapter unplugged?)", "insufficient resources", "invalid parameter",
        "invalid baud rate"};
    if (status < sizeof kTexts / sizeof kTexts[0]) return kTexts[status];
    return "D2XX error " + std::to_string(status);
}

class D2xxDevice final : public BitBangDevice {
public:
    D2xxDevice(const D2xx& d2xx, FtHandle handle) : d2xx_(d2xx), handle_(handle) {}
    ~D2xxDevice() override {
        d2xx_.setBitMode(handle_, 0, kBitModeReset); // a serial port again
        d2xx_.close(handle_);
    }
    D2xxDevice(const D2xxDevice&) = delete;
    D2xxDevice& operator=(const D2xxDevice&) = delete;

    bool start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        return check(d2xx_.setBaudRate(handle_, baudRate)) &&
               check(d2xx_.setLatencyTimer(handle_, kLatencyMs)) &&
               check(d2xx_.setTimeouts(handle_, kReadTimeoutMs, kWriteTimeoutMs)) &&
               check(d2xx_.setBitMode(handle_, outputMask, kBitModeSynchronous)) &&
               check(d2xx_.purge(handle_, kPurgeReceive | kPurgeTransmit));
    }

    bool exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in) override {
        // The driver keeps reading the adapter's samples while the bytes go out.
        const auto n = static_cast<DWORD>(out.size());
        DWORD written = 0, read = 0;
        if (!check(d2xx_.write(handle_, const_cast<std::uint8_t*>(out.data()), n, &written))) return false;
        if (!check(d2xx_.read(handle_, in.data(), n, &read))) return false;
        if (written == n && read == n) return true;
        error_ = "the adapter answered " + std::to_string(read) + " of " + std::to_string(n) + " bytes";
        return false;
    }

    std::string errorText() const override { return error_; }

private:
    bool check(FtStatus status) {
        if (status == kFtOk) return true;
        error_ = statusText(status);
        return false;
    }

    const D2xx& d2xx_;
    FtHandle handle_;
    std::string error_;
};

class D2xxAdapters final : public UsbAdapters {
public:
    D2xxAdapters() : loaded_(d2xx_.load()) {}
    ~D2xxAdapters() override {
        if (d2xx_.dll) ::FreeLibrary(d2xx_.dll);
    }
    D2xxAdapters(const D2xxAdapters&) = delete;
    D2xxAdapters& operator=(const D2xxAdapters&) = delete;

    std::vector<AdapterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<AdapterInfo> found;
        for (const Listed& l : listed(vendorId, productId))
            found.push_back({l.node.serialNumber, vendorId, productId, l.node.description});
        return found;
    }

    std::unique_ptr<BitBangDevice> open(const AdapterChoice& choice, std::string& error) override {
        if (!loaded_) {
            error = kMissingDriver;
            return nullptr;
        }
        const auto candidates = listed(choice.vendorId, choice.productId);
        const Listed* pick = nullptr;
        for (std::size_t i = 0; i < candidates.size() && !pick; ++i)
            if (choice.serial.empty() ? i == choice.index : choice.serial == candidates[i].node.serialNumber)
                pick = &candidates[i];
        if (!pick) {
            error = "no such FTDI adapter is plugged in";
            return nullptr;
        }
        if (pick->node.flags & kFlagOpened) {
            error = "the adapter is in use by another program";
            return nullptr;
        }
        if (pick->node.type != kDeviceType232R) {
            error = "the adapter is not an FT232R";
            return nullptr;
        }
        FtHandle handle = nullptr;
        char serial[16] = {};
        std::copy_n(pick->node.serialNumber, sizeof serial - 1, serial);
        const FtStatus status = serial[0] ? d2xx_.openEx(serial, kOpenBySerialNumber, &handle)
                                          : d2xx_.openByIndex(static_cast<int>(pick->index), &handle);
        if (status != kFtOk) {
            error = statusText(status);
            return nullptr;
        }
        return std::make_unique<D2xxDevice>(d2xx_, handle);
    }

    std::string unavailableReason() const override { return loaded_ ? std::string() : kMissingDriver; }

private:
    struct Listed {
        DeviceNode node;
        DWORD index; // in the driver's list: what FT_Open takes
    };

    std::vector<Listed> listed(std::uint16_t vendorId, std::uint16_t productId) {
        std::vector<Listed> found;
        DWORD count = 0;
        if (!loaded_ || d2xx_.createDeviceInfoList(&count) != kFtOk || count == 0) return found;
        std::vector<DeviceNode> nodes(count);
        if (d2xx_.getDeviceInfoList(nodes.data(), &count) != kFtOk) return found;
        const ULONG id = static_cast<ULONG>(vendorId) << 16 | productId;
        for (DWORD i = 0; i < count && i < nodes.size(); ++i) {
            nodes[i].serialNumber[sizeof nodes[i].serialNumber - 1] = '\0';
            nodes[i].description[sizeof nodes[i].description - 1] = '\0';
            if (nodes[i].id == id) found.push_back({nodes[i], i});
        }
        return found;
    }

    D2xx d2xx_;
    bool loaded_;
};

} // namespace

std::unique_ptr<UsbAdapters> makeSystemUsbAdapters() { return std::make_unique<D2xxAdapters>(); }

} // namespace tessel
