// FT232R adapters through libftdi1 (Debian's libftdi1-dev, linked as the shared library).
//
// Opening an adapter detaches the kernel's ftdi_sio driver from it (its /dev/ttyUSB* goes away)
// and asks libusb to attach it again when the adapter is released; the device's destructor
// always releases it, whatever the job did, so the serial device comes back after every job.
// Listing reads the adapters' serial numbers from sysfs: no adapter is opened to list it.
#include "link/UsbAdapters.h"

#include <ftdi.h>
#include <libusb.h>

#include <fstream>
#include <string>

namespace tessel {

namespace {

constexpr int kLatencyMs = 2; // the last short packet of a transfer leaves after this at most

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

// Says what a technician can do about the usual failures.
std::string explain(int code, const char* text) {
    std::string why = text ? text : "libftdi error";
    if (code == -3) return "no such FTDI adapter is plugged in";
    if (code == -8)
        return why + " (install the package's udev rule and join the dialout group, or unplug and "
                     "replug the adapter after installing)";
    if (code == -5) return why + " (is another program using the adapter?)";
    return why;
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

    bool start(std::uint8_t outputMask, std::uint32_t baudRate) override {
        // The baud rate first: once bit-bang mode is on, libftdi multiplies what it is given by 4.
        return check(ftdi_set_baudrate(context_, static_cast<int>(baudRate))) &&
               check(ftdi_set_latency_timer(context_, kLatencyMs)) &&
               check(ftdi_set_bitmode(context_, outputMask, BITMODE_SYNCBB)) &&
               check(ftdi_tcioflush(context_));
    }

    bool exchange(std::span<const std::uint8_t> out, std::span<std::uint8_t> in) override {
        // The read is submitted first and runs while the bytes go out, so the adapter's 256-byte
        // buffer of samples never fills and stalls the pins.
        const int n = static_cast<int>(out.size());
        ftdi_transfer_control* reading = ftdi_read_data_submit(context_, in.data(), n);
        if (!reading) return check(-1);
        ftdi_transfer_control* writing =
            ftdi_write_data_submit(context_, const_cast<std::uint8_t*>(out.data()), n);
        if (!writing) {
            timeval soon{0, 100000};
            ftdi_transfer_data_cancel(reading, &soon);
            return check(-1);
        }
        const int written = ftdi_transfer_data_done(writing);
        const int read = ftdi_transfer_data_done(reading);
        if (written < 0) return check(written);
        if (read < 0) return check(read);
        if (written != n || read != n) {
            error_ = "the adapter returned " + std::to_string(read) + " of " + std::to_string(n) + " bytes";
            return false;
        }
        return true;
    }

    std::string errorText() const override { return error_; }

private:
    bool check(int code) {
        if (code >= 0) return true;
        error_ = explain(code, ftdi_get_error_string(context_));
        return false;
    }

    ftdi_context* context_;
    std::string error_;
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

    std::unique_ptr<BitBangDevice> open(const AdapterChoice& choice, std::string& error) override {
        ftdi_context* context = ftdi_new();
        if (!context) {
            error = "libftdi could not start";
            return nullptr;
        }
        context->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        const int code = ftdi_usb_open_desc_index(context, choice.vendorId, choice.productId,
                                                  nullptr,
                                                  choice.serial.empty() ? nullptr : choice.serial.c_str(),
                                                  choice.serial.empty() ? choice.index : 0);
        if (code < 0) {
            error = explain(code, ftdi_get_error_string(context));
            ftdi_free(context);
            return nullptr;
        }
        auto device = std::make_unique<LibFtdiDevice>(context);
        if (context->type != TYPE_R) {
            error = "the adapter is not an FT232R";
            return nullptr; // the device's destructor gives it back
        }
        return device;
    }
};

} // namespace

std::unique_ptr<UsbAdapters> makeSystemUsbAdapters() { return std::make_unique<LibFtdiAdapters>(); }

} // namespace tessel
