// The POSIX serial backend over the preloaded fake device (shim/FakeTty.cpp): the exact calls it
// makes, how it treats busy, missing and failing ports, and a whole programming session over it
// against a virtual light bar. Without the preloaded library these tests fail before any open.

#include <algorithm>
#include <cerrno>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "VirtualBench.h"
#include "link/PosixSerial.h"
#include "shim/BarBehindShim.h"
#include "shim/FakeTtyControl.h"

#if defined(__SANITIZE_ADDRESS__)
// The fake device library is preloaded ahead of the sanitizer runtime.
extern "C" const char* __asan_default_options() { return "verify_asan_link_order=0"; }
#endif

namespace tessel {
namespace {

constexpr const char* kFakePath = "/tmp/tessel-link-test/fake-ttyS9";

// The control functions of the preloaded fake device.
struct Shim {
    template <typename F> static F get(const char* name) {
        return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    }
    decltype(&fake_tty_reset) reset = get<decltype(&fake_tty_reset)>("fake_tty_reset");
    decltype(&fake_tty_set_hooks) setHooks = get<decltype(&fake_tty_set_hooks)>("fake_tty_set_hooks");
    decltype(&fake_tty_set_holder) setHolder = get<decltype(&fake_tty_set_holder)>("fake_tty_set_holder");
    decltype(&fake_tty_set_missing) setMissing = get<decltype(&fake_tty_set_missing)>("fake_tty_set_missing");
    decltype(&fake_tty_fail_ioctl_after) failIoctlAfter =
        get<decltype(&fake_tty_fail_ioctl_after)>("fake_tty_fail_ioctl_after");
    decltype(&fake_tty_fail_termios_call) failTermiosCall =
        get<decltype(&fake_tty_fail_termios_call)>("fake_tty_fail_termios_call");
    decltype(&fake_tty_record) record = get<decltype(&fake_tty_record)>("fake_tty_record");
    decltype(&fake_tty_call_count) callCount = get<decltype(&fake_tty_call_count)>("fake_tty_call_count");
    decltype(&fake_tty_call) call = get<decltype(&fake_tty_call)>("fake_tty_call");
    decltype(&fake_tty_termios) termiosSet = get<decltype(&fake_tty_termios)>("fake_tty_termios");
    decltype(&fake_tty_refused_device_opens) refusedDeviceOpens =
        get<decltype(&fake_tty_refused_device_opens)>("fake_tty_refused_device_opens");
    decltype(&fake_tty_open_descriptors) openDescriptors =
        get<decltype(&fake_tty_open_descriptors)>("fake_tty_open_descriptors");

    bool loaded() const { return reset != nullptr && openDescriptors != nullptr; }

    std::vector<std::string> calls() const {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < callCount(); ++i) out.emplace_back(call(i));
        return out;
    }
};

class PosixSerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(shim.loaded()) << "run under LD_PRELOAD=libtessel_fake_tty.so (ctest does)";
        shim.reset(kFakePath);
        for (int n = 1; n <= 4; ++n) settings.setDevicePath(n, kFakePath);
    }
    void TearDown() override {
        if (!shim.loaded()) return;
        EXPECT_EQ(shim.openDescriptors(), 0);
        EXPECT_EQ(shim.refusedDeviceOpens(), 0);
        shim.setHooks(nullptr);
    }

    Shim shim;
    VirtualClock clock{1'000'000};
    MemoryPortSettings settings;
    PosixSerial serial;
};

TEST_F(PosixSerialTest, OpensExclusivelyAndConfiguresARawLine) {
    {
        JobResult result;
        IspPort port(serial, clock, settings, &result);
        ASSERT_TRUE(port.open());
        port.assertReset();
        port.clockLow();
        port.clockHigh();
        port.dataOut0();
        port.dataOut1();
        port.sampleDataIn();
        port.releaseReset();
        port.close();
        EXPECT_TRUE(result.ok());
    }
    EXPECT_EQ(shim.calls(), (std::vector<std::string>{
                                "open O_RDWR|O_NOCTTY|O_NONBLOCK|O_CLOEXEC",
                                "flock LOCK_EX|LOCK_NB",
                                "ioctl TIOCEXCL",
                                "tcgetattr",
                                "tcsetattr TCSANOW",
                                "ioctl TIOCMBIC DTR|RTS",
                                "tcgetattr",
                                "tcsetattr TCSANOW",
                                "ioctl TIOCMBIS DTR",
                                "ioctl TIOCMBIS RTS",
                                "ioctl TIOCMBIC RTS",
                                "ioctl TIOCSBRK",
                                "ioctl TIOCCBRK",
                                "ioctl TIOCMGET",
                                "ioctl TIOCMBIC DTR",
                                "close",
                            }));
    const termios& t = *shim.termiosSet();
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B115200));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    for (tcflag_t on : {tcflag_t(CREAD), tcflag_t(CLOCAL), tcflag_t(HUPCL)}) EXPECT_NE(t.c_cflag & on, 0u) << on;
    for (tcflag_t off : {tcflag_t(PARENB), tcflag_t(CSTOPB), tcflag_t(CRTSCTS)}) EXPECT_EQ(t.c_cflag & off, 0u) << off;
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INPCK), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST_F(PosixSerialTest, BusyMissingAndHeldPortsAreAbsent) {
    IspPort port(serial, clock, settings);
    EXPECT_TRUE(port.portPresent(1));

    shim.setHolder(1); // another program holds the lock
    EXPECT_FALSE(port.portPresent(1));
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.failure().systemError, EWOULDBLOCK);
    EXPECT_EQ(port.failure().reason,
              std::string("Cannot open ") + kFakePath + ": Resource temporarily unavailable");
    shim.setHolder(0);

    shim.setMissing(1);
    EXPECT_FALSE(port.open());
    EXPECT_EQ(port.failure().systemError, ENOENT);
    EXPECT_NE(port.failure().reason.find("No such file or directory"), std::string::npos);
    shim.setMissing(0);

    ASSERT_TRUE(port.open()); // a job holds it: the menu's probe finds it busy
    EXPECT_FALSE(port.portPresent(1));
    port.close();
    EXPECT_TRUE(port.portPresent(1));
}

TEST_F(PosixSerialTest, ConfigureFailuresNameTheirStep) {
    const char* texts[] = {"GetCommState failed. Errno=5", "SetCommState failed. Errno=5",
                           "GetCommTimeouts failed. Errno=5", "SetCommTimeouts failed. Errno=5"};
    for (int k = 1; k <= 4; ++k) {
        shim.reset(kFakePath);
        shim.failTermiosCall(k, EIO);
        IspPort port(serial, clock, settings);
        EXPECT_FALSE(port.open());
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.failure().reason, texts[k - 1]);
        EXPECT_EQ(shim.calls().back(), "close");
    }
}

TEST_F(PosixSerialTest, AFailingIoctlGivesResult32AndLaterSamplesReadZero) {
    VirtualLightBar bar(clock);
    BarBehindShim behind{bar};
    ASSERT_TRUE(bar.open("virtual", behind.handle).ok);
    FakeTtyHooks hooks{&behind, &BarBehindShim::setLine, &BarBehindShim::ring};
    shim.setHooks(&hooks);

    JobResult result;
    IspPort port(serial, clock, settings, &result);
    IspInstructions isp(port);
    ASSERT_TRUE(port.open());
    ASSERT_EQ(isp.programmingEnable(), 0);
    shim.failIoctlAfter(20);
    EXPECT_EQ(isp.readFlashByte(0), 0x00);
    EXPECT_EQ(result.code(), result::CommSystemError);

    const auto calls = shim.calls();
    const std::size_t gets = std::count(calls.begin(), calls.end(), "ioctl TIOCMGET");
    EXPECT_EQ(isp.readFlashByte(2), 0x00);
    const auto after = shim.calls();
    EXPECT_EQ(static_cast<std::size_t>(std::count(after.begin(), after.end(), "ioctl TIOCMGET")), gets);
    port.close();
}

TEST_F(PosixSerialTest, AWholeSessionProgramsTheVirtualLightBar) {
    VirtualLightBar bar(clock);
    bar.setFuses({0xE0, 0xD9, 0xFF, 0xFF});
    bar.setFlashByte(0x1F100, 0x42);
    BarBehindShim behind{bar};
    ASSERT_TRUE(bar.open("virtual", behind.handle).ok);
    FakeTtyHooks hooks{&behind, &BarBehindShim::setLine, &BarBehindShim::ring};
    shim.setHooks(&hooks);
    shim.record(0);

    std::vector<std::string> lines;
    JobResult result;
    IspPort port(serial, clock, settings, &result);
    IspInstructions isp(port, [&lines](const std::string& line) { lines.push_back(line); });
    port.selectPort(3);
    ASSERT_TRUE(port.open());
    EXPECT_FALSE(bar.inReset()); // configure drops DTR that the open raised
    ASSERT_EQ(isp.programmingEnable(), 0);
    isp.identify();
    EXPECT_TRUE(isp.correctFuses());
    EXPECT_EQ(bar.fuses().extended, 0xFD);

    const std::string text = "< Veltrane Configuration Block >\r\n";
    for (std::size_t i = 0; i < text.size(); ++i)
        isp.writeFlashByte(0x1F000 + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(text[i]));
    isp.finishPageWriting();
    std::string back;
    for (std::size_t i = 0; i < text.size(); ++i)
        back.push_back(static_cast<char>(isp.readFlashByte(0x1F000 + static_cast<std::uint32_t>(i))));
    EXPECT_EQ(back, text);
    EXPECT_EQ(isp.readFlashByte(0x1F100), 0x42);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(bar.pageWrites(), (std::vector<std::uint16_t>{0xF800}));
    EXPECT_EQ(bar.timingViolations(), 0u) << bar.violationNotes().front();
    EXPECT_TRUE(lines.empty());

    port.close(); // hang-up on close lets the light bar run again
    EXPECT_FALSE(bar.inReset());
    EXPECT_FALSE(bar.programmingMode());
}

} // namespace
} // namespace tessel
