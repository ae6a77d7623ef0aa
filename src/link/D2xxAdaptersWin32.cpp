// FT232R adapters on Windows through FTDI's D2XX driver: ftd2xx.dll, which FTDI's standard
// driver package installs, loaded at run time. Without it the program runs as before and a
// "ftdi:" port says which driver to install. The functions, types and codes below are written
// from FTDI's D2XX Programmer's Guide.
//
// Nothing waits without a bound: the driver's reads and writes return after short timeouts with
// what they moved, and an exchange goes on until its bytes are there or its deadline passed.
#include "link/D2xxAdaptersWin32.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessel {

namespace {

using FtHandle = void*;
using FtStatus = ULONG;
using Kind = LinkError::Kind;

// FT_STATUS values of the guide.
constexpr FtStatus kFtOk = 0;
constexpr FtStatus kFtInvalidHandle = 1;
constexpr FtStatus kFtDeviceNotFound = 2;
constexpr FtStatus kFtIoError = 4;
constexpr DWORD kOpenBySerialNumber = 1;
constexpr ULONG kPurgeReceive = 1;
constexpr ULONG kPurgeTransmit = 2;
constexpr UCHAR kBitModeReset = 0x00;
constexpr UCHAR kBitModeSynchronous = 0x04;
constexpr ULONG kDeviceType232R = 5;
constexpr ULONG kFlagOpened = 1;
constexpr UCHAR kLatencyMs = 2;
// One read or write returns after this with what it moved; the exchange's deadline bounds the
// whole.
constexpr ULONG kSliceMs = 50;

using DeviceNode = D2xxDeviceNode;

const char* const kMissingDriver =
    "FTDI's D2XX driver is not installed (ftd2xx.dll was not found): "
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
    FtStatus(WINAPI* resetDevice)(FtHandle) = nullptr;

    template <typename F> bool find(F& function, const char* name) {
        const FARPROC found = ::GetProcAddress(dll, name);
        function = reinterpret_cast<F>(reinterpret_cast<void (*)()>(found));
        return found != nullptr;
    }

    // True when the DLL (empty path: FTDI's, from the system folder) and all of its functions
    // were found.
    bool load(const std::wstring& path) {
        // FTDI's installer puts the DLL in the system folder; nowhere else is searched.
        dll = path.empty() ? ::LoadLibraryExW(L"ftd2xx.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                           : ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!dll) return false;
        return find(createDeviceInfoList, "FT_CreateDeviceInfoList") &&
               find(getDeviceInfoList, "FT_GetDeviceInfoList") && find(openByIndex, "FT_Open") &&
               find(openEx, "FT_OpenEx") && find(close, "FT_Close") &&
               find(setBitMode, "FT_SetBitMode") && find(setBaudRate, "FT_SetBaudRate") &&
               find(setLatencyTimer, "FT_SetLatencyTimer") && find(setTimeouts, "FT_SetTimeouts") &&
               find(purge, "FT_Purge") && find(write, "FT_Write") && find(read, "FT_Read") &&
               find(resetDevice, "FT_ResetDevice");
    }
};

// The driver's statuses in plain words.
std::string statusText(FtStatus status) {
    static const char* const kTexts[] = {
        "ok",
        "the adapter's handle is no longer valid (was it unplugged?)",
        "the adapter was not found: is it plugged in?",
        "the adapter could not be opened: another program may be using it",
        "a USB transfer to the adapter failed (was it unplugged?)",
        "the system has too few resources for the adapter",
        "the driver refused a setting",
        "the adapter refused the baud rate"};
    if (status < sizeof kTexts / sizeof kTexts[0]) return kTexts[status];
    return "FTDI's driver reported error " + std::to_string(status);
}

// A status within an exchange: the adapter gone, or another failure.
LinkError exchangeFailure(FtStatus status) {
    if (status == kFtIoError || status == kFtInvalidHandle || status == kFtDeviceNotFound)
        return LinkError::of(Kind::Unplugged, "the adapter was unplugged");
    return LinkError::of(Kind::Failed, statusText(status));
}

LinkError setupFailure(FtStatus status) {
    return LinkError::of(Kind::Failed, "the adapter refused its settings: " + statusText(status));
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

    LinkError start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        FtStatus status = d2xx_.setBitMode(handle_, 0, kBitModeReset);
        if (status == kFtOk) status = d2xx_.setBaudRate(handle_, baudRate);
        if (status == kFtOk) status = d2xx_.setLatencyTimer(handle_, kLatencyMs);
        if (status == kFtOk) status = d2xx_.setTimeouts(handle_, kSliceMs, kSliceMs);
        if (status == kFtOk) status = d2xx_.setBitMode(handle_, outputMask, kBitModeSynchronous);
        if (status == kFtOk) status = d2xx_.purge(handle_, kPurgeReceive | kPurgeTransmit);
        return status == kFtOk ? LinkError::none() : setupFailure(status);
    }

    LinkError exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in, Clock& clock,
                       std::uint32_t timeoutMs) override {
        if (out.size() > kMaxTransferBytes || in.size() < out.size())
            return LinkError::of(Kind::Failed, "a transfer larger than the adapter's driver takes");
        const std::uint64_t deadline = clock.micros() + std::uint64_t{timeoutMs} * 1000;
        // The driver keeps reading the adapter's samples while the bytes go out. Each call moves
        // what it can within its timeout; a part is no failure, only the deadline is.
        auto move = [&](auto call, std::uint8_t* data) {
            const auto n = static_cast<DWORD>(out.size());
            DWORD done = 0;
            while (done < n) {
                DWORD moved = 0;
                if (const FtStatus status = call(handle_, data + done, n - done, &moved);
                    status != kFtOk)
                    return exchangeFailure(status);
                done += std::min(moved, n - done);
                if (done < n && clock.micros() >= deadline)
                    return LinkError::of(Kind::Stopped, "the adapter stopped answering");
            }
            return LinkError::none();
        };
        LinkError error = move(d2xx_.write, const_cast<std::uint8_t*>(out.data()));
        if (!error.failed()) error = move(d2xx_.read, in.data());
        return error;
    }

private:
    const D2xx& d2xx_;
    FtHandle handle_;
};

class D2xxAdapters final : public UsbAdapters {
public:
    explicit D2xxAdapters(const std::wstring& dll) : loaded_(d2xx_.load(dll)) {}
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

    OpenedAdapter open(const AdapterChoice& choice) override {
        if (!loaded_) return {nullptr, LinkError::of(Kind::Refused, kMissingDriver)};
        const auto candidates = listed(choice.vendorId, choice.productId);
        const Listed* pick = nullptr;
        for (std::size_t i = 0; i < candidates.size() && !pick; ++i)
            if (choice.serial.empty() ? i == choice.index : choice.serial == candidates[i].node.serialNumber)
                pick = &candidates[i];
        auto notFound = [] {
            return OpenedAdapter{nullptr, LinkError::of(Kind::Unavailable,
                                                        "no such FTDI adapter is plugged in")};
        };
        if (!pick) return notFound();
        if (pick->node.flags & kFlagOpened)
            return {nullptr,
                    LinkError::of(Kind::Refused, "the adapter is in use by another program")};
        if (pick->node.type != kDeviceType232R)
            return {nullptr, LinkError::of(Kind::Unavailable, "the adapter is not an FT232R")};
        FtHandle handle = nullptr;
        char serial[16] = {};
        std::copy_n(pick->node.serialNumber, sizeof serial - 1, serial);
        const FtStatus status = serial[0] ? d2xx_.openEx(serial, kOpenBySerialNumber, &handle)
                                          : d2xx_.openByIndex(static_cast<int>(pick->index), &handle);
        if (status == kFtDeviceNotFound) return notFound();
        if (status != kFtOk) return {nullptr, LinkError::of(Kind::Refused, statusText(status))};
        auto device = std::make_unique<D2xxDevice>(d2xx_, handle);
        // D2XX's open leaves the adapter as the last program left it.
        if (const FtStatus reset = d2xx_.resetDevice(handle); reset != kFtOk)
            return {nullptr, setupFailure(reset)};
        return {std::move(device), LinkError::none()};
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

std::unique_ptr<UsbAdapters> makeSystemUsbAdapters() {
    return std::make_unique<D2xxAdapters>(L"");
}

std::unique_ptr<UsbAdapters> makeD2xxAdapters(const std::wstring& dll) {
    return std::make_unique<D2xxAdapters>(dll);
}

} // namespace tessel
