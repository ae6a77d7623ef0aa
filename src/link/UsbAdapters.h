#pragma once

#include "link/LinkError.h"
#include "support/Clock.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessel {

// FTDI's vendor id and the FT232R's product id.
inline constexpr std::uint16_t kFtdiVendorId = 0x0403;
inline constexpr std::uint16_t kFt232rProductId = 0x6001;

// Which adapter a device name picks: "ftdi:" the first FT232R found, "ftdi:SERIAL" the one with
// that serial number, "ftdi:VID:PID[:INDEX]" (hexadecimal ids, INDEX counts from 0) the
// INDEX-th adapter with those ids.
struct AdapterChoice {
    std::uint16_t vendorId = kFtdiVendorId;
    std::uint16_t productId = kFt232rProductId;
    std::string serial; // empty: any
    unsigned index = 0;

    // The choice a device name makes, or nothing (error says why) when it names none.
    static std::optional<AdapterChoice> parse(const std::string& device, std::string& error);
};

// An adapter as the system lists it, without opening it.
struct AdapterInfo {
    std::string serial; // may be empty when the system does not tell
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string description;

    // The device name that picks exactly this adapter: "ftdi:SERIAL", or by ids and the index
    // among the listed adapters with the same ids when it has no serial number.
    std::string deviceName(unsigned index) const;
};

// The largest transfer a back end is given: libftdi's default write and read chunk and the D2XX
// driver's default USB transfer size, so a transfer is never split by the driver's buffers.
inline constexpr std::size_t kMaxTransferBytes = 4096;

// An FT232R held by this program in synchronous bit-bang mode: each byte written is applied to
// the output pins at one tick of the bit-bang clock, and the pins are read just before it is
// applied, so a transfer gives back as many bytes as it sends.
class BitBangDevice {
public:
    // Leaves bit-bang mode and gives the adapter back (on Linux its serial driver returns).
    virtual ~BitBangDevice() = default;

    // Sets the baud rate (the bit-bang clock is 16 times it) and enters synchronous bit-bang
    // mode with outputMask's pins as outputs; called again to change the rate.
    virtual LinkError start(std::uint8_t outputMask, std::uint32_t baudRate) = 0;
    // Writes out and reads back out.size() bytes of pin samples into in: one USB round trip of
    // at most kMaxTransferBytes. Gives up once timeoutMs have passed on clock (Stopped): a stuck
    // adapter never holds the program.
    virtual LinkError exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in,
                               Clock& clock, std::uint32_t timeoutMs) = 0;
};

// An adapter opened, or why not.
struct OpenedAdapter {
    std::unique_ptr<BitBangDevice> device;
    LinkError error;
};

// The adapters of the system (libftdi on Linux, FTDI's D2XX driver on Windows) or an emulated
// one. Tests and --simulate use only the emulated one: nothing here ever touches a real USB
// device unless the program is run on one.
class UsbAdapters {
public:
    virtual ~UsbAdapters() = default;

    // The adapters present with these ids, without opening any.
    virtual std::vector<AdapterInfo> list(std::uint16_t vendorId = kFtdiVendorId,
                                          std::uint16_t productId = kFt232rProductId) = 0;
    // Opens the chosen adapter for this program alone, in a known state (reset).
    virtual OpenedAdapter open(const AdapterChoice& choice) = 0;
    // Why list() found nothing although adapters might be there (no driver): empty when none.
    virtual std::string unavailableReason() const { return {}; }
};

// The listed adapter the choice picks, if present (it is not opened).
std::optional<AdapterInfo> findAdapter(UsbAdapters& adapters, const AdapterChoice& choice);

// The system's adapters: libftdi1 (Linux) or the D2XX DLL loaded at run time (Windows). Each
// back end's file defines it, and only one of them is built.
std::unique_ptr<UsbAdapters> makeSystemUsbAdapters();

} // namespace tessel
