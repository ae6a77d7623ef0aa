#include "app/Instructions.h"


namespace tessel {

const std::string_view kInstructionsHeading =
    "         Instructions for Updating Light Bar Firmware";

const std::string_view kInstructionsBody =
    "This utility downloads firmware updates to the Light Bar.\r\n"
    "A special interface cable connects the Light Bar to the Host PC COM Port.\r\n"
    "\r\n"
    "Steps for installing Light Bar firmware from file 'KdV2.9.a90':\r\n"
    "\r\n"
    "  1. Connect special interface cable between Light Bar and PC COM port.\r\n"
    "  2. Connect DC power to interface cable.\r\n"
    "  3. Execute this program ('Tessel.exe')\r\n"
    "  4. Click on 'COM Port' menu,\r\n"
    "       then click on the COM Port number connected to the Light Bar.\r\n"
    "       Note:  There must be a check mark by the correct COM Port.\r\n"
    "  5. Click on the 'Read VCB' button.\r\n"
    "       If 'Error - Light Bar is not responding' occurs, check connections to\r\n"
    "       Light Bar and 'COM Port' setting. Click 'OK', then repeat step 5.\r\n"
    "       Click 'OK' to exit the programming screen.\r\n"
    "  6. If the existing firmware version is v2.0 or earlier, 'VCB Format 1'\r\n"
    "       will be displayed in the right part of the 'Tessel' window.\r\n"
    "       Click on the 'File' menu, then Click on 'Convert VCB to Format 2'.\r\n"
    "       Click 'OK' in response to the prompt 'Light Bar will be Erased...'.\r\n"
    "       The VCB is converted to Format 2 and written to the Light Bar.\r\n"
    "       Click 'OK' to exit the programming screen\r\n"
    "  7. Click on the 'Prog Code' button.\r\n"
    "       A 'File Open' box will appear.\r\n"
    "       Note: It may be necessary to click on the down arrow to the right\r\n"
    "                of the 'Look in:' box and locate the folder containing the\r\n"
    "                'KdV2.9.a90' file.\r\n"
    "       Click on the file 'KdV2.9.a90', then click on 'Open'.\r\n"
    "       The Light Bar VCB is read.   Click 'OK' to continue.\r\n"
    "       The Light Bar Code will be programmed and verified.\r\n"
    "                This takes a few moments.  The progress bar shows activity.\r\n"
    "       Programming is complete. Click 'OK' to exit.\r\n"
    "  8. Close 'Tessel' by clicking the upper right X box.\r\n";

namespace {
constexpr std::string_view kDesignName = "Tessel.exe";
} // namespace

std::string programNameOf(std::string_view executablePath) {
    // Either separator: a Windows path read on any system.
    const auto slash = executablePath.find_last_of("/\\");
    const std::string_view name =
        slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    return std::string(name.empty() ? kDesignName : name);
}

std::string instructionsBody(std::string_view programName) {
    std::string body(kInstructionsBody);
    const std::string quoted = "('" + std::string(kDesignName) + "')";
    if (const auto at = body.find(quoted); at != std::string::npos)
        body.replace(at, quoted.size(), "('" + std::string(programName) + "')");
    return body;
}

std::vector<PrintedText> instructionsPage(int r, std::string_view body) {
    const int step = r * 16 / 72;
    const int top = r * 50 / 72;
    const int left = r * 30 / 72;
    std::vector<PrintedText> page{{left, top, std::string(kInstructionsHeading), true}};

    constexpr std::size_t kLineBuffer = 255;
    int n = 2;
    std::size_t i = 0;
    while (i < body.size()) {
        for (; i < body.size() && (body[i] == '\r' || body[i] == '\n'); ++i)
            if (body[i] == '\n') ++n;
        std::size_t end = i;
        while (end < body.size() && end - i < kLineBuffer && body[end] != '\r' &&
               body[end] != '\n')
            ++end;
        page.push_back({left, top + n * step, std::string(body.substr(i, end - i)), false});
        i = end;
    }
    return page;
}

} // namespace tessel
