#include "link/IspPort.h"

#include "support/ComPorts.h"

#include <array>

namespace tessel {

namespace {

std::string configureFailureText(ConfigureStep step, int error) {
    static constexpr std::array<const char*, 4> kNames = {
        "GetCommState", "SetCommState", "GetCommTimeouts", "SetCommTimeouts"};
    return std::string(kNames[static_cast<std::size_t>(step)]) +
           " failed. Errno=" + std::to_string(error);
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
    failure_ = LinkError::none();
    serialLink_.restart();
    if (portIndex_ == 0) {
        failure_ = LinkError::of(LinkError::Kind::Unavailable, "No COM port is selected");
        return false;
    }
    const std::string path = settings_.devicePath(portIndex_);
    failure_ = isUsbAdapterDevice(path) ? openAdapter(path) : openSerial(path);
    if (failure_.failed()) return false;
    openPath_ = path;
    return true;
}

LinkError IspPort::openSerial(const std::string& path) {
    using Kind = LinkError::Kind;
    SerialHandle handle = kNoSerialHandle;
    SerialResult opened = lines_.open(path, handle);
    // Tells a technician why the light bar did not answer: busy, missing, not permitted.
    if (!opened.ok)
        return LinkError::of(Kind::Unavailable,
                             "Cannot open " + path + ": " + lines_.errorText(opened.error),
                             opened.error);
    ConfigureResult configured = lines_.configure(handle);
    if (!configured.ok) {
        lines_.close(handle);
        return LinkError::of(Kind::Unavailable,
                             configureFailureText(configured.failedStep, configured.error),
                             configured.error);
    }
    handle_ = handle;
    rtsLevel_ = breakLevel_ = kLevelUnknown;
    return LinkError::none();
}

LinkError IspPort::openAdapter(const std::string& device) {
    const std::string name = "Cannot open " + device +
                             (device == kUsbAdapterPrefix ? " (the first FT232R found)" : "") +
                             ": ";
    auto unavailable = [&](const std::string& why) {
        return LinkError::of(LinkError::Kind::Unavailable, name + why);
    };
    std::string why;
    const auto choice = AdapterChoice::parse(device, why);
    if (!choice) return unavailable(why);
    auto ft232r = settings_.ft232rSettings(why);
    if (!ft232r) return unavailable(why);
    if (!adapters_) return unavailable("no USB adapters can be used here");
    // A rate the adapter was stepped down to, in this run or an earlier one, is where it starts.
    configuredSckHz_ = ft232r->sckHz;
    std::optional<std::uint32_t> worked = settings_.sckHzThatWorked(device);
    if (const auto it = sckHzThatWorked_.find(device); it != sckHzThatWorked_.end())
        worked = it->second;
    if (worked && *worked < ft232r->sckHz) ft232r->sckHz = *worked;

    OpenedAdapter opened = adapters_->open(*choice);
    LinkError error = opened.error;
    if (opened.device && !error.failed())
        error = opened.device->start(ft232r->outputMask(), ft232r->baudRate());
    auto link =
        error.failed() ? nullptr : std::make_unique<Ft232rLink>(*opened.device, *ft232r, *this);
    if (link) error = link->start();
    if (error.failed()) {
        error.reason = name + error.reason;
        return error; // the link, then the device, let go of the adapter
    }
    adapter_ = std::move(opened.device);
    usbLink_ = std::move(link);
    return LinkError::none();
}

void IspPort::noteEnabled() {
    if (!usbLink_) return;
    const auto hz = usbLink_->clockHz();
    if (!hz) return;
    sckHzThatWorked_[openPath_] = *hz;
    if (*hz < configuredSckHz_ && settings_.sckHzThatWorked(openPath_) != hz)
        settings_.keepSckHzThatWorked(openPath_, *hz);
}

void IspPort::lineCallFailed(int error) {
    ++failedCalls_;
    const std::string port = openPath_.empty() ? "the port" : openPath_;
    reportLinkFailure(
        LinkError::of(LinkError::Kind::Failed,
                      "a line call on " + port + " failed: " + lines_.errorText(error), error));
}

void IspPort::reportLinkFailure(const LinkError& error) {
    if (!failure_.failed()) failure_ = error;
    if (failures_) failures_->fail(result::CommSystemError);
}

void IspPort::close() {
    if (usbLink_) usbLink_->finish();
    usbLink_.reset();
    adapter_.reset(); // leaves bit-bang mode; the system's serial driver takes the adapter back
    if (handle_ != kNoSerialHandle) lines_.close(handle_);
    handle_ = kNoSerialHandle;
    openPath_.clear();
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
