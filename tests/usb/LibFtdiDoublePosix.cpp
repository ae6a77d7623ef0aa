// A double of libftdi1 (and of the few libusb calls the back end makes), linked into the test in
// place of the libraries' own: one FT232R, the emulated one, as libftdi 1.5 presents it. Its
// transfers complete when the back end waits on libusb's events; a read the adapter never
// answers does not, and each wait then lets the wait's time pass on the adapter's virtual clock.
#include "BackEndDouble.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace tessel::testing {
namespace {

struct LibFtdiDouble {
    EmulatedFt232r* adapter = nullptr;
    int refusedOpen = 0; // the code the next open fails with
    std::uint32_t baudRate = 0;
    ftdi_transfer_control* reading = nullptr;       // waits for the next write's samples
    std::vector<ftdi_transfer_control*> completing; // complete at the next wait on events
};

LibFtdiDouble& theDouble() {
    static LibFtdiDouble d;
    return d;
}

bool present() {
    return theDouble().adapter && theDouble().adapter->plugged();
}

ftdi_transfer_control* newTransfer(ftdi_context* ftdi, unsigned char* buf, int size) {
    auto* tc = new ftdi_transfer_control{};
    tc->ftdi = ftdi;
    tc->buf = buf;
    tc->size = size;
    tc->transfer = static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
    tc->transfer->status = LIBUSB_TRANSFER_COMPLETED;
    return tc;
}

void freeTransfer(ftdi_transfer_control* tc) {
    std::erase(theDouble().completing, tc);
    if (theDouble().reading == tc) theDouble().reading = nullptr;
    std::free(tc->transfer);
    delete tc;
}

int fail(ftdi_context* ftdi, int code, const char* text) {
    ftdi->error_str = text;
    return code;
}

} // namespace

std::unique_ptr<UsbAdapters> backEndBefore(EmulatedFt232r& adapter) {
    theDouble() = LibFtdiDouble{};
    theDouble().adapter = &adapter;
    return makeSystemUsbAdapters();
}

void refuseNextOpen() {
    theDouble().refusedOpen = -4;
} // libusb_open: the device node's mode

std::string refusedOpenReason() {
    return "no permission to use the adapter: install Tessel's package (its udev rule gives the "
           "dialout group the adapter), join the dialout group, then unplug and plug in the "
           "adapter";
}

} // namespace tessel::testing

using tessel::testing::theDouble;

extern "C" {

ftdi_context* ftdi_new(void) {
    return new ftdi_context{};
}
void ftdi_free(ftdi_context* ftdi) {
    delete ftdi;
}

// The device list is the back end's, not the jobs': it finds nothing here.
int ftdi_usb_find_all(ftdi_context*, ftdi_device_list** devlist, int, int) {
    *devlist = nullptr;
    return 0;
}
void ftdi_list_free(ftdi_device_list** devlist) {
    *devlist = nullptr;
}
int libusb_get_port_numbers(libusb_device*, uint8_t*, int) {
    return LIBUSB_ERROR_NOT_FOUND;
}
uint8_t libusb_get_bus_number(libusb_device*) {
    return 0;
}

int ftdi_usb_open_desc_index(ftdi_context* ftdi, int vendor, int product, const char*,
                             const char* serial, unsigned int index) {
    auto& d = theDouble();
    if (const int code = std::exchange(d.refusedOpen, 0); code != 0)
        return tessel::testing::fail(ftdi, code, "usb_open() failed");
    if (!tessel::testing::present() || vendor != 0x0403 || product != 0x6001 ||
        (serial ? d.adapter->serial() != serial : index != 0))
        return tessel::testing::fail(ftdi, -3, "device not found");
    if (!d.adapter->claim()) return tessel::testing::fail(ftdi, -5, "unable to claim usb device");
    ftdi->type = TYPE_R;
    ftdi->usb_dev = reinterpret_cast<libusb_device_handle*>(d.adapter);
    return 0;
}

int ftdi_usb_close(ftdi_context* ftdi) {
    if (ftdi->usb_dev) theDouble().adapter->unclaim();
    ftdi->usb_dev = nullptr;
    return 0;
}

int ftdi_set_baudrate(ftdi_context* ftdi, int baudrate) {
    if (!tessel::testing::present())
        return tessel::testing::fail(ftdi, -2, "setting baudrate failed");
    theDouble().baudRate = static_cast<std::uint32_t>(baudrate);
    return 0;
}

int ftdi_set_bitmode(ftdi_context* ftdi, unsigned char bitmask, unsigned char mode) {
    auto& d = theDouble();
    const bool on = mode != BITMODE_SYNCBB || d.adapter->startBitBang(bitmask, d.baudRate);
    return on && tessel::testing::present()
               ? 0
               : tessel::testing::fail(ftdi, -1, "unable to configure bitbang mode");
}

int ftdi_set_latency_timer(ftdi_context*, unsigned char) {
    return 0;
}
int ftdi_tcioflush(ftdi_context*) {
    return 0;
}
const char* ftdi_get_error_string(ftdi_context* ftdi) {
    return ftdi->error_str;
}

ftdi_transfer_control* ftdi_read_data_submit(ftdi_context* ftdi, unsigned char* buf, int size) {
    if (!tessel::testing::present()) return nullptr;
    return theDouble().reading = tessel::testing::newTransfer(ftdi, buf, size);
}

// The bytes go out and their samples come back into the read submitted before.
ftdi_transfer_control* ftdi_write_data_submit(ftdi_context* ftdi, unsigned char* buf, int size) {
    auto& d = theDouble();
    if (!tessel::testing::present() || !d.reading) return nullptr;
    ftdi_transfer_control* writing = tessel::testing::newTransfer(ftdi, buf, size);
    ftdi_transfer_control* reading = std::exchange(d.reading, nullptr);
    std::vector<std::uint8_t> samples(static_cast<std::size_t>(size));
    const auto clocked = d.adapter->clockOut({buf, samples.size()}, samples);
    reading->offset = static_cast<int>(std::min<std::size_t>(clocked.samples, reading->size));
    std::copy_n(samples.begin(), reading->offset, reading->buf);
    writing->offset = size;
    d.completing.push_back(writing);
    using Fault = tessel::EmulatedFt232r::Fault;
    if (clocked.fault == Fault::Unplugged)
        writing->transfer->status = reading->transfer->status = LIBUSB_TRANSFER_NO_DEVICE;
    if (clocked.fault != Fault::Stopped) d.completing.push_back(reading);
    return writing;
}

int libusb_handle_events_timeout_completed(libusb_context*, timeval* tv, int*) {
    auto& d = theDouble();
    const auto done = std::exchange(d.completing, {});
    for (ftdi_transfer_control* tc : done)
        tc->completed = 1;
    if (done.empty() && tv) // nothing came: the wait ran out
        d.adapter->clock().advanceMicros(static_cast<std::uint64_t>(tv->tv_sec) * 1'000'000 +
                                         static_cast<std::uint64_t>(tv->tv_usec));
    return 0;
}

int ftdi_transfer_data_done(ftdi_transfer_control* tc) {
    const int done =
        tc->completed && tc->transfer->status == LIBUSB_TRANSFER_COMPLETED ? tc->offset : -1;
    tessel::testing::freeTransfer(tc);
    return done;
}

void ftdi_transfer_data_cancel(ftdi_transfer_control* tc, timeval*) {
    tessel::testing::freeTransfer(tc);
}

} // extern "C"
