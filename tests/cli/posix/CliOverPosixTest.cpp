// The whole command line over the POSIX serial backend: the preloaded fake device carries the
// port's lines to a virtual light bar, so read, in-place programming and firmware work as on a
// bench, through termios and the modem ioctls.
#include "CliRunner.h"
#include "shim/BarBehindShim.h"
#include "sim/VirtualLightBar.h"
#include "support/Clock.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The fake device library is preloaded ahead of the sanitizer runtime.
extern "C" const char* __asan_default_options() { return "verify_asan_link_order=0"; }
#endif

namespace tessel::testing {
namespace {

template <typename F> F shimFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

class CliOverPosix : public ::testing::Test {
protected:
    void SetUp() override {
        reset = shimFunction<decltype(&fake_tty_reset)>("fake_tty_reset");
        setHooks = shimFunction<decltype(&fake_tty_set_hooks)>("fake_tty_set_hooks");
        record = shimFunction<decltype(&fake_tty_record)>("fake_tty_record");
        refused = shimFunction<decltype(&fake_tty_refused_device_opens)>(
            "fake_tty_refused_device_opens");
        ASSERT_TRUE(reset && setHooks && record && refused)
            << "run under LD_PRELOAD=libtessel_fake_tty.so (ctest does)";
        device = cli.path("fake-ttyS9");
        reset(device.c_str());
        record(0);
        ASSERT_TRUE(bar.open("virtual", behind.handle).ok);
        setHooks(&hooks);
    }
    void TearDown() override {
        if (!setHooks) return;
        setHooks(nullptr);
        EXPECT_EQ(refused(), 0) << "nothing tried to open a real serial device";
    }

    int run(std::vector<std::string> args) {
        std::vector<std::string> all = {"--ini", cli.ini, "--port", "2", "--device", device};
        all.insert(all.end(), args.begin(), args.end());
        std::ostringstream o, e;
        std::istringstream i;
        CliEnvironment env{o, e, i, false, false, false, cli.dir / "tessel", &clock};
        const int code = runCommandLine(all, env);
        cli.out = o.str();
        cli.err = e.str();
        return code;
    }

    CliRunner cli;
    std::string device;
    VirtualClock clock{1'000'000};
    VirtualLightBar bar{clock};
    BarBehindShim behind{bar};
    FakeTtyHooks hooks = behind.hooks();
    decltype(&fake_tty_reset) reset = nullptr;
    decltype(&fake_tty_set_hooks) setHooks = nullptr;
    decltype(&fake_tty_record) record = nullptr;
    decltype(&fake_tty_refused_device_opens) refused = nullptr;
};

TEST_F(CliOverPosix, ReadProgramInPlaceAndFirmwareThroughTheTty) {
    ASSERT_EQ(run({"--yes", "init-vcb"}), 0) << cli.out << cli.err;
    ASSERT_EQ(run({"read-vcb"}), 0) << cli.out << cli.err;
    EXPECT_NE(cli.out.find("S/N:                    1\r\n"), std::string::npos) << cli.out;

    writeFile(cli.path("block.txt"), "< Veltrane Configuration Block >\r\nVCB Format: 2\r\n"
                                     "S/N: 1\r\nProduct Name: KD-7\r\n< end >\r\n");
    ASSERT_EQ(run({"program-vcb", cli.path("block.txt")}), 0) << cli.out << cli.err;
    EXPECT_NE(cli.err.find(" Light Bar Erasure not required"), std::string::npos) << cli.out;
    ASSERT_EQ(run({"verify-vcb", cli.path("block.txt")}), 0) << cli.out;

    writeFile(cli.path("fw.hex"), sampleHex(2));
    ASSERT_EQ(run({"--yes", "program-code", cli.path("fw.hex")}), 0) << cli.out << cli.err;
    ASSERT_EQ(run({"verify-code", cli.path("fw.hex")}), 0) << cli.out;
    EXPECT_EQ(bar.flashByte(1), 10u);
    EXPECT_EQ(bar.timingViolations(), 0u);
    EXPECT_FALSE(bar.inReset()) << "closing the port at job end released the light bar";
}

// The fast link through termios and the modem ioctls: chosen by the INI key for a read and by
// the option for a firmware programming, which the specified link then verifies.
TEST_F(CliOverPosix, TheFastLinkReadsAndProgramsThroughTheTty) {
    const std::string fastLine = " Fast link: datasheet waits, fewer line calls\n";
    ASSERT_EQ(run({"--yes", "init-vcb"}), 0) << cli.out << cli.err;
    EXPECT_EQ(cli.err.find(fastLine), std::string::npos);

    writeFile(cli.ini, "[Configuration]\nFastLink=1\n");
    ASSERT_EQ(run({"read-vcb"}), 0) << cli.out << cli.err;
    EXPECT_LT(cli.err.find(fastLine), cli.err.find(" Signature Bytes")) << cli.err;
    EXPECT_NE(cli.out.find("S/N:                    1\r\n"), std::string::npos) << cli.out;

    writeFile(cli.ini, "[Configuration]\nFastLink=0\n");
    writeFile(cli.path("fw.hex"), sampleHex(2, 3000));
    const std::uint64_t pollsBefore = bar.counts().busyPolls;
    ASSERT_EQ(run({"--fast-link", "--yes", "program-code", cli.path("fw.hex")}), 0)
        << cli.out << cli.err;
    EXPECT_LT(cli.err.find(fastLine), cli.err.find(" Signature Bytes")) << cli.err;
    EXPECT_GT(bar.counts().busyPolls, pollsBefore) << "page writes were polled";
    ASSERT_EQ(run({"verify-code", cli.path("fw.hex")}), 0) << cli.out;
    EXPECT_EQ(cli.err.find(fastLine), std::string::npos);
    EXPECT_EQ(bar.timingViolations(), 0u) << bar.violationNotes().front();
}

TEST_F(CliOverPosix, ABusyDeviceIsNamedWhenTheLightBarDoesNotAnswer) {
    auto setHolder = shimFunction<decltype(&fake_tty_set_holder)>("fake_tty_set_holder");
    setHolder(1);
    EXPECT_EQ(run({"read-vcb"}), 8);
    EXPECT_NE(cli.err.find(" Error - Light Bar is not responding"), std::string::npos);
    EXPECT_NE(cli.err.find(device), std::string::npos) << cli.err;
}

TEST_F(CliOverPosix, PortsProbeTheDeviceAndFindItBusyWhenHeld) {
    // COM2 is the fake device (--port 2 --device); the others lead into the temporary folder.
    writeFile(cli.ini, "[Ports]\nCOM1=" + cli.path("a") + "\nCOM3=" + cli.path("c") +
                           "\nCOM4=" + cli.path("d") + "\n");
    ASSERT_EQ(run({"ports"}), 0) << cli.err;
    EXPECT_NE(cli.out.find("COM1\t" + cli.path("a") + "\tunavailable\n"), std::string::npos);
    EXPECT_NE(cli.out.find("COM2\t" + device + "\tfree\tselected\n"), std::string::npos) << cli.out;
    shimFunction<decltype(&fake_tty_set_holder)>("fake_tty_set_holder")(1);
    ASSERT_EQ(run({"ports"}), 0);
    EXPECT_NE(cli.out.find("COM2\t" + device + "\tunavailable\tselected\n"), std::string::npos);
}

} // namespace
} // namespace tessel::testing
