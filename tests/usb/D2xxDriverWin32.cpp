// FTDI's D2XX driver in front of the emulated FT232R, for the stand-in ftd2xx.dll beside this
// test: one FT232R, writes that clock the pins at once, reads that return the samples come so far
// (in pieces, when told) and, from an adapter that stopped, nothing once their timeout passed on
// the adapter's virtual clock.
#include "BackEndDouble.h"

#include "jobs/JobBench.h"
#include "link/D2xxAdaptersWin32.h"
#include "standin/Ftd2xxStandInWin32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <utility>

namespace tessel::testing {
namespace {

constexpr FtStatus kOk = 0;
constexpr FtStatus kDeviceNotOpened = 3;
constexpr FtStatus kIoError = 4;
constexpr UCHAR kSynchronousBitBang = 0x04;

struct D2xxDriver {
    EmulatedFt232r* adapter = nullptr;
    bool refuseOpen = false;
    std::size_t readPiece = SIZE_MAX; // the most one read hands over
    ULONG readTimeoutMs = 0;
    std::uint32_t baudRate = 0;
    std::deque<std::uint8_t> samples; // come from the adapter, not read yet
};

D2xxDriver& driver() {
    static D2xxDriver d;
    return d;
}

FtStatus present() {
    return driver().adapter->plugged() ? kOk : kIoError;
}

FtStatus WINAPI createDeviceInfoList(DWORD* count) {
    *count = driver().adapter->plugged() ? 1 : 0;
    return kOk;
}

FtStatus WINAPI getDeviceInfoList(void* nodes, DWORD* count) {
    D2xxDeviceNode node{driver().adapter->held() ? 1ul : 0ul, 5, 0x04036001, 0, {}, {}, nullptr};
    std::strncpy(node.serialNumber, driver().adapter->serial().c_str(),
                 sizeof node.serialNumber - 1);
    std::strncpy(node.description, "FT232R USB UART", sizeof node.description - 1);
    *static_cast<D2xxDeviceNode*>(nodes) = node;
    *count = 1;
    return kOk;
}

FtStatus WINAPI openEx(void*, DWORD, void** handle) {
    if (std::exchange(driver().refuseOpen, false) || !driver().adapter->claim())
        return kDeviceNotOpened;
    *handle = driver().adapter;
    return kOk;
}

FtStatus WINAPI openByIndex(int, void** handle) {
    return openEx(nullptr, 0, handle);
}

FtStatus WINAPI close(void*) {
    driver().adapter->unclaim();
    return kOk;
}

FtStatus WINAPI resetDevice(void*) {
    return present();
}

FtStatus WINAPI setBitMode(void*, UCHAR mask, UCHAR mode) {
    if (mode == kSynchronousBitBang && !driver().adapter->startBitBang(mask, driver().baudRate))
        return kIoError;
    return present();
}

FtStatus WINAPI setBaudRate(void*, ULONG baud) {
    driver().baudRate = baud;
    return present();
}

FtStatus WINAPI setLatencyTimer(void*, UCHAR) {
    return present();
}

FtStatus WINAPI setTimeouts(void*, ULONG readMs, ULONG) {
    driver().readTimeoutMs = readMs;
    return present();
}

FtStatus WINAPI purge(void*, ULONG) {
    driver().samples.clear();
    return present();
}

FtStatus WINAPI write(void*, void* data, DWORD n, DWORD* written) {
    D2xxDriver& d = driver();
    if (present() != kOk) return kIoError;
    std::vector<std::uint8_t> in(n);
    const auto clocked = d.adapter->clockOut({static_cast<const std::uint8_t*>(data), n}, in);
    if (clocked.fault == EmulatedFt232r::Fault::Unplugged) return kIoError;
    d.samples.insert(d.samples.end(), in.begin(),
                     in.begin() + static_cast<std::ptrdiff_t>(clocked.samples));
    *written = n;
    return kOk;
}

FtStatus WINAPI read(void*, void* data, DWORD n, DWORD* got) {
    D2xxDriver& d = driver();
    if (present() != kOk) return kIoError;
    const std::size_t k = std::min({static_cast<std::size_t>(n), d.readPiece, d.samples.size()});
    std::copy_n(d.samples.begin(), k, static_cast<std::uint8_t*>(data));
    d.samples.erase(d.samples.begin(), d.samples.begin() + static_cast<std::ptrdiff_t>(k));
    *got = static_cast<DWORD>(k);
    if (k == 0)
        d.adapter->clock().advanceMicros(std::uint64_t{d.readTimeoutMs} * 1000); // nothing came
    return kOk;
}

const Ftd2xxCalls kCalls = {
    createDeviceInfoList, getDeviceInfoList, openByIndex, openEx, close, resetDevice, setBitMode,
    setBaudRate,          setLatencyTimer,   setTimeouts, purge,  write, read};

// The stand-in beside this test's executable.
std::wstring standInPath() {
    wchar_t exe[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring path(exe, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"ftd2xx.dll";
}

} // namespace

std::unique_ptr<UsbAdapters> backEndBefore(EmulatedFt232r& adapter) {
    driver() = D2xxDriver{};
    driver().adapter = &adapter;
    static const HMODULE standIn = LoadLibraryW(standInPath().c_str());
    const FARPROC use = standIn ? GetProcAddress(standIn, "StandInUse") : nullptr;
    if (use)
        reinterpret_cast<StandInUseFunction>(reinterpret_cast<void (*)()>(use))(&kCalls);
    else
        ADD_FAILURE() << "no stand-in ftd2xx.dll beside the test";
    return makeD2xxAdapters(standInPath());
}

void refuseNextOpen() {
    driver().refuseOpen = true;
}

std::string refusedOpenReason() {
    return "the adapter could not be opened: another program may be using it";
}

namespace {

// The driver hands the samples over in pieces as they come: the back end reads on for the rest.
TEST(D2xxAdapters, ReadOnThroughPartialReads) {
    JobBench b{{}, backEndBefore};
    driver().readPiece = 100;
    b.useAdapter();
    b.putRecord(JobBench::sampleRecord());
    BlockArea area;
    EXPECT_EQ(b.engine.readBlock(area), 0) << ::testing::PrintToString(b.window.texts());
    EXPECT_TRUE(b.window.hasLine(" Finished Reading Light Bar VCB"));
}

} // namespace
} // namespace tessel::testing
