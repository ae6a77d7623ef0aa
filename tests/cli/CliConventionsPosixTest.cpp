// The command line as scripts use it on POSIX systems: data alone on standard output, the log on
// standard error, --out into devices, FIFOs and sockets (the built program in a shell), and the
// port list over mapped devices.
#include "CliRunner.h"

#include "cli/Json.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tessel::testing {
namespace {


const std::string kFormat1Block =
    "< Veltrane Configuration Block >\r\nS/N: 5\r\nProduct Name: KD-1\r\n< end >\r\n";

// The built program in a shell: its standard output (or `> redirect`) and its exit code.
struct Program {
    std::string out, err;
    int run(const CliRunner& files, const std::string& args, const std::string& redirect = "") {
        const std::string errPath = files.path("stderr.txt");
        const std::string command = std::string("'") + TESSEL_EXECUTABLE + "' " + args + " 2>'" +
                                    errPath + "'" + redirect;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return -1;
        out.clear();
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
        const int status = ::pclose(pipe);
        err = readFile(errPath);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST(CliStreams, StandardOutputIsTheDataAloneAndAFailedWriteExits74) {
    CliRunner cli;
    ASSERT_EQ(cli.run({"--yes", "init-vcb"}), 0);
    writeFile(cli.path("f1.vcb"), kFormat1Block);
    writeFile(cli.path("fw.hex"), sampleHex(2));
    const std::string bar = "--ini '" + cli.ini + "' --simulate='" + cli.state + "' ";

    Program tessel;
    for (const std::string& args : {bar + "read-vcb --json", bar + "--quiet read-vcb --json",
                                    "vcb show '" + cli.path("f1.vcb") + "' --json",
                                    "hex info '" + cli.path("fw.hex") + "' --json"}) {
        ASSERT_EQ(tessel.run(cli, args), 0) << args << tessel.err;
        EXPECT_NO_THROW(parseJson(tessel.out)) << args << ":\n" << tessel.out;
    }
    EXPECT_EQ(tessel.err, "") << "hex info has no log";
    ASSERT_EQ(tessel.run(cli, bar + "read-vcb"), 0);
    EXPECT_NE(tessel.err.find("--- Read Light Bar VCB ---\n"), std::string::npos) << tessel.err;

    for (const std::string& args : {bar + "read-vcb", "vcb show '" + cli.path("f1.vcb") + "'",
                                    std::string("--version")}) {
        EXPECT_EQ(tessel.run(cli, args, " >/dev/full"), 74) << args;
        EXPECT_NE(tessel.err.find("cannot write standard output: No space left on device"),
                  std::string::npos)
            << tessel.err;
    }
}

// Reads a descriptor to its end and closes it.
void readAll(int fd, std::string& bytes) {
    char buf[512];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
        bytes.append(buf, static_cast<std::size_t>(n));
    if (fd >= 0) ::close(fd);
}

TEST(CliOut, DevicesFifosAndSocketsAreWrittenIntoAndStayWhatTheyAre) {
    CliRunner cli;
    writeFile(cli.path("f1.vcb"), kFormat1Block);
    ASSERT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb")}), 0);
    const std::string shown = cli.out;

    const std::string fifo = cli.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { readAll(::open(fifo.c_str(), O_RDONLY), received); });
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb"), "--out", fifo}), 0) << cli.err;
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)); // the reader ends even after a failure
    reader.join();
    EXPECT_EQ(received, shown);
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the FIFO was not replaced by a file";

    // A listening socket is connected to and written into.
    const std::string socketPath = cli.path("sock");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    received.clear();
    std::thread server([&] { readAll(::accept(listener, nullptr, nullptr), received); });
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb"), "--out", socketPath}), 0) << cli.err;
    ::shutdown(listener, SHUT_RDWR); // the server ends even after a failure
    server.join();
    ::close(listener);
    EXPECT_EQ(received, shown);

    EXPECT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb"), "--out", cli.path("none/x.txt")}), 74);
    EXPECT_NE(cli.err.find("x.txt: No such file or directory"), std::string::npos) << cli.err;

    const std::string device = cli.path("null-device"); // the null device's numbers, our own node
    if (::mknod(device.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "mknod is not permitted here";
    EXPECT_EQ(cli.run({"vcb", "show", cli.path("f1.vcb"), "--out", device}), 0) << cli.err;
    ASSERT_EQ(::stat(device.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device was not replaced by a file";
}

TEST(CliPorts, ListsEachPortsDeviceAndWhetherItIsFree) {
    CliRunner cli;
    // Every port mapped into the temporary folder: nothing here leads to a real device.
    writeFile(cli.ini, "[Configuration]\nCOM Port=3\nSkipComPort2=1\n[Ports]\nCOM1=" +
                           cli.path("missing") + "\nCOM2=" + cli.path("skipped") + "\nCOM3=" +
                           cli.ini + "\nCOM4=" + cli.path("missing4") + "\n");
    ASSERT_EQ(cli.run({"ports"}, false), 0) << cli.err;
    EXPECT_EQ(cli.out, "COM1\t" + cli.path("missing") + "\tunavailable\n" +
                           "COM2\t" + cli.path("skipped") + "\tskipped\n" +
                           "COM3\t" + cli.ini + "\tunavailable\tselected\n" +
                           "COM4\t" + cli.path("missing4") + "\tunavailable\n");

    ASSERT_EQ(cli.run({"ports"}), 0) << cli.err;
    EXPECT_NE(cli.out.find("COM1\t(virtual light bar)\tfree\n"), std::string::npos) << cli.out;
    EXPECT_NE(cli.out.find("COM2\t(virtual light bar)\tskipped\n"), std::string::npos);
}

} // namespace
} // namespace tessel::testing
