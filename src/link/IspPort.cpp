#include "link/IspPort.h"

#include "support/ComPorts.h"

#include <array>

namespace tessel {

namespace {

std::string configureFailureText(ConfigureStep step, int error) {
    static constexpr std::array<const char*, 4> kNames = {
        "GetCommState", "SetCommState", "GetCommTimeouts", "SetCommTimeouts"};
    return std::string(kNames[static_cast<std::size_t>(step)]) + " failed. Errno=" +
           std::to_string(error) + "\r\n";
}

} // namespace

IspPort::IspPort(SerialLines& lines, Clock& clock, PortSettings& settings, JobResult* failures,
                 UsbAdapters* adapters)
    : lines_(lines), clock_(clock), settings_(settings), failures_(failures), adapters_(adapters) {}

IspPort::~IspPort() {
    if (isOpen() && resetHeld_) link().releaseReset();
    close();
}

void IspPort::selectPort(int index) { portIndex_ = (index >= 1 && index <= 4) ? index : 0; }

bool IspPort::open() {
    close();
    if (portIndex_ == 0) return false;

    const std::string path = settings_.devicePath(portIndex_);
    if (isUsbAdapterDevice(path)) return openAdapter(path);
    SerialHandle handle = kNoSerialHandle;
    SerialResult opened = lines_.open(path, handle);
    if (!opened.ok) {
        // Tells a technician why the light bar did not answer: busy, missing, not permitted.
        lastErrorNumber_ = opened.error;
        lastErrorText_ = "Cannot open " + path + ": " + lines_.errorText(opened.error) + "\r\n";
        return false;
    }
    ConfigureResult configured = lines_.configure(handle);
    if (!configured.ok) {
        lastErrorNumber_ = configured.error;
        lastErrorText_ = configureFailureText(configured.failedStep, configured.error);
        lines_.close(handle);
        return false;
    }
    handle_ = handle;
    rtsLevel_ = breakLevel_ = kLevelUnknown;
    return true;
}

bool IspPort::openAdapter(const std::string& device) {
    std::string why;
    const auto choice = AdapterChoice::parse(device, why);
    const auto ft232r = choice ? settings_.ft232rSettings(why) : std::nullopt;
    if (choice && ft232r && !adapters_) why = "no USB adapters can be used here";
    if (choice && ft232r && adapters_) {
        adapter_ = adapters_->open(*choice, why);
        if (adapter_ && !adapter_->start(ft232r->outputMask(), ft232r->baudRate())) {
            why = adapter_->errorText();
            adapter_.reset();
        }
    }
    if (!adapter_) {
        lastErrorNumber_ = 0;
        const bool first = device == kUsbAdapterPrefix;
        lastErrorText_ = "Cannot open " + device + (first ? " (the first FT232R found)" : "") +
                         ": " + why + "\r\n";
        return false;
    }
    usbLink_ = std::make_unique<Ft232rLink>(*adapter_, *ft232r, *this);
    return true;
}

void IspPort::close() {
    if (usbLink_) usbLink_->flush();
    usbLink_.reset();
    adapter_.reset(); // leaves bit-bang mode; the system's serial driver takes the adapter back
    if (handle_ != kNoSerialHandle) lines_.close(handle_);
    handle_ = kNoSerialHandle;
    rtsLevel_ = breakLevel_ = kLevelUnknown;
    // Closing drops DTR (hang-up on close), so the light bar is no longer held in reset.
    resetHeld_ = false;
}

bool IspPort::portPresent(int n) {
    if (settings_.skipComPort(n) != 0) return false;
    const std::string device = settings_.devicePath(n);
    if (isUsbAdapterDevice(device)) {
        std::string why;
        const auto choice = AdapterChoice::parse(device, why);
        return choice && adapters_ && findAdapter(*adapters_, *choice);
    }
    SerialHandle handle = kNoSerialHandle;
    if (!lines_.open(device, handle).ok) return false;
    lines_.close(handle);
    return true;
}

void IspPort::assertReset() {
    check(lines_.setDtr(handle_, true));
    wait(waits_.assertResetMs);
    resetHeld_ = true;
}

void IspPort::releaseReset() {
    check(lines_.setDtr(handle_, false));
    wait(waits_.releaseResetMs);
    resetHeld_ = false;
}

void IspPort::wait(std::uint32_t ms) {
    const std::uint32_t start = clock_.tickMs();
    // Unsigned difference: correct across the counter's wrap.
    while (static_cast<std::uint32_t>(clock_.tickMs() - start) <= ms) {
        clock_.sleepOneMs();
        pumpWhenDue();
    }
}

void IspPort::pumpWhenDue() {
    if (!pump_) return;
    const std::uint64_t now = clock_.micros();
    if (now - lastPumpMicros_ < std::uint64_t{kPumpIntervalMs} * 1000) return;
    lastPumpMicros_ = now;
    pump_();
}

} // namespace tessel
