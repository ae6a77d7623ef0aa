// FT232R adapters through libftdi1 (1.5 or later, Debian's libftdi1-dev, linked as the shared
// library).
//
// Opening an adapter detaches the kernel's ftdi_sio driver from it (its /dev/ttyUSB* goes away)
// and asks libusb to attach it again when the adapter is released; the device's destructor
// always releases it, whatever the job did, so the serial device comes back after every job.
// libftdi's open resets the adapter, so it starts from a known state. Listing reads the adapters'
// serial numbers from sysfs: no adapter is opened to list it.
//
// Nothing here waits without a bound: libftdi's own ftdi_transfer_data_done polls libusb until a
// transfer completes, which an adapter that stops clocking never does, so the transfers are
// waited for here on libusb's events with a timeout, up to the exchange's deadline.
#include "link/UsbAdapters.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace tessel {

namespace {

using Kind = LinkError::Kind;

constexpr int kLatencyMs = 2;              // the last short packet of a transfer leaves after this
constexpr int kControlTimeoutMs = 1000;    // libftdi's synchronous calls (mode, rate, flush)
constexpr long kEventSliceMicros = 50'000; // one wait on libusb's events

const char* const kNoPermission =
    "no permission to use the adapter: install Tessel's package (its udev rule gives the dialout "
    "group the adapter), join the dialout group, then unplug and plug in the adapter";

// What sysfs says of a USB device: /sys/bus/usb/devices/<bus>-<port>.<port>.../<attribute>.
std::string sysfsAttribute(libusb_device* device, const char* attribute) {
    std::uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    if (depth <= 0) return {};
    std::string name = std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < depth; ++i) name += (i ? "." : "") + std::to_string(ports[i]);
    std::ifstream in("/sys/bus/usb/devices/" + name + "/" + attribute);
    std::string value;
    std::getline(in, value);
    return value;
}

// What an open's code means for a technician. libftdi opens the device to read its strings, so
// a device node the user may not open fails as -4 (usb_open), -8 or -9 (its strings).
LinkError openFailure(int code, const char* text) {
    switch (code) {
    case -3: return LinkError::of(Kind::Unavailable, "no such FTDI adapter is plugged in");
    case -4:
    case -8:
    case -9: return LinkError::of(Kind::Refused, kNoPermission);
    case -5: return LinkError::of(Kind::Refused, "the adapter is in use by another program");
    default: break;
    }
    return LinkError::of(Kind::Failed, text ? text : "libftdi error " + std::to_string(code));
}

// What libusb's own codes and a transfer's status mean.
LinkError usbFailure(int libusbError, int transferStatus = LIBUSB_TRANSFER_ERROR) {
    if (libusbError == LIBUSB_ERROR_ACCESS) return LinkError::of(Kind::Refused, kNoPermission);
    if (libusbError == LIBUSB_ERROR_NO_DEVICE || transferStatus == LIBUSB_TRANSFER_NO_DEVICE)
        return LinkError::of(Kind::Unplugged, "the adapter was unplugged");
    return LinkError::of(Kind::Failed, "a USB transfer to the adapter failed (was it unplugged?)");
}

class LibFtdiDevice final : public BitBangDevice {
public:
    explicit LibFtdiDevice(ftdi_context* context) : context_(context) {}
    ~LibFtdiDevice() override {
        // Back to a serial port before the adapter is handed back to its driver. Both calls are
        // made even when the adapter has gone: libftdi then only frees what it holds.
        ftdi_set_bitmode(context_, 0, BITMODE_RESET);
        ftdi_usb_close(context_);
        ftdi_free(context_);
    }
    LibFtdiDevice(const LibFtdiDevice&) = delete;
    LibFtdiDevice& operator=(const LibFtdiDevice&) = delete;

    LinkError start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        // The baud rate outside bit-bang mode: once it is on, libftdi multiplies what it is given
        // by 4. So a new rate leaves the mode first.
        int code = ftdi_set_bitmode(context_, 0, BITMODE_RESET);
        if (code >= 0) code = ftdi_set_baudrate(context_, static_cast<int>(baudRate));
        if (code >= 0) code = ftdi_set_latency_timer(context_, kLatencyMs);
        if (code >= 0) code = ftdi_set_bitmode(context_, outputMask, BITMODE_SYNCBB);
        if (code >= 0) code = ftdi_tcioflush(context_);
        if (code >= 0) return LinkError::none();
        return LinkError::of(Kind::Failed, std::string("the adapter refused its settings (") +
                                               ftdi_get_error_string(context_) +
                                               "): was it unplugged?");
    }

    LinkError exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in, Clock& clock,
                       std::uint32_t timeoutMs) override {
        if (out.size() > kMaxTransferBytes || in.size() < out.size())
            return LinkError::of(Kind::Failed, "a transfer larger than the adapter's driver takes");
        const std::uint64_t deadline = clock.micros() + std::uint64_t{timeoutMs} * 1000;
        // The read is submitted first and runs while the bytes go out, so the adapter's 256-byte
        // buffer of samples never fills and stalls the pins.
        const int n = static_cast<int>(out.size());
        ftdi_transfer_control* reading = ftdi_read_data_submit(context_, in.data(), n);
        if (!reading) return usbFailure(LIBUSB_ERROR_NO_DEVICE);
        ftdi_transfer_control* writing =
            ftdi_write_data_submit(context_, const_cast<std::uint8_t*>(out.data()), n);
        if (!writing) {
            cancel(reading);
            return usbFailure(LIBUSB_ERROR_NO_DEVICE);
        }
        LinkError error = finish(writing, n, clock, deadline);
        // A write that failed leaves a read that will never be answered.
        if (error.failed())
            cancel(reading);
        else
            error = finish(reading, n, clock, deadline);
        return error;
    }

private:
    // Waits for a transfer up to the deadline; on time it collects it (libftdi frees it), else
    // cancels it.
    LinkError finish(ftdi_transfer_control* transfer, int n, Clock& clock, std::uint64_t deadline) {
        while (!transfer->completed) {
            const std::uint64_t now = clock.micros();
            if (now >= deadline) {
                cancel(transfer);
                return LinkError::of(Kind::Stopped, "the adapter stopped answering");
            }
            timeval slice{};
            slice.tv_usec = static_cast<suseconds_t>(
                std::min<std::uint64_t>(deadline - now, kEventSliceMicros));
            const int r = libusb_handle_events_timeout_completed(context_->usb_ctx, &slice,
                                                                 &transfer->completed);
            // A signal (a stop) interrupts the wait; the deadline still bounds it.
            if (r < 0 && r != LIBUSB_ERROR_INTERRUPTED) {
                cancel(transfer);
                return usbFailure(r);
            }
        }
        const int status =
            transfer->transfer ? transfer->transfer->status : LIBUSB_TRANSFER_COMPLETED;
        const int done = ftdi_transfer_data_done(transfer);
        if (done == n) return LinkError::none();
        if (done < 0 || status != LIBUSB_TRANSFER_COMPLETED) return usbFailure(0, status);
        return LinkError::of(Kind::Failed, "the adapter returned " + std::to_string(done) + " of " +
                                               std::to_string(n) + " bytes");
    }

    // libusb completes a cancelled transfer at once, also for an adapter that has gone.
    void cancel(ftdi_transfer_control* transfer) {
        timeval soon{};
        soon.tv_usec = kEventSliceMicros;
        ftdi_transfer_data_cancel(transfer, &soon);
    }

    ftdi_context* context_;
};

class LibFtdiAdapters final : public UsbAdapters {
public:
    std::vector<AdapterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override {
        std::vector<AdapterInfo> found;
        ftdi_context* context = ftdi_new();
        if (!context) return found;
        ftdi_device_list* devices = nullptr;
        if (ftdi_usb_find_all(context, &devices, vendorId, productId) > 0) {
            for (ftdi_device_list* d = devices; d; d = d->next)
                found.push_back({sysfsAttribute(d->dev, "serial"), vendorId, productId,
                                 sysfsAttribute(d->dev, "product")});
        }
        ftdi_list_free(&devices);
        ftdi_free(context);
        return found;
    }

    OpenedAdapter open(const AdapterChoice& choice) override {
        ftdi_context* context = ftdi_new();
        if (!context) return {nullptr, LinkError::of(Kind::Failed, "libftdi could not start")};
        context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        context->usb_read_timeout = context->usb_write_timeout = kControlTimeoutMs;
        const int code = ftdi_usb_open_desc_index(context, choice.vendorId, choice.productId,
                                                  nullptr,
                                                  choice.serial.empty() ? nullptr : choice.serial.c_str(),
                                                  choice.serial.empty() ? choice.index : 0);
        if (code < 0) {
            LinkError error = openFailure(code, ftdi_get_error_string(context));
            ftdi_free(context);
            return {nullptr, error};
        }
        auto device = std::make_unique<LibFtdiDevice>(context);
        if (context->type != TYPE_R) // the device's destructor gives it back
            return {nullptr, LinkError::of(Kind::Unavailable, "the adapter is not an FT232R")};
        return {std::move(device), LinkError::none()};
    }
};

} // namespace

std::unique_ptr<UsbAdapters> makeSystemUsbAdapters() { return std::make_unique<LibFtdiAdapters>(); }

} // namespace tessel
