// The command line's help texts, made from the command table.
#include "cli/CommandLine.h"
#include "cli/CommandTable.h"
#include "support/ResultCode.h"

#include <cstdio>

namespace tessel {

namespace {

std::string synopses(bool lightBar, std::string_view prefix = {}) {
    std::string text;
    for (const auto& c : commandTable())
        if (c.lightBar == lightBar && c.name.starts_with(prefix) && !c.hidden)
            text += std::string("  tessel ") + c.synopsis + "\n";
    return text;
}

} // namespace

std::string usageText() {
    return "Usage: tessel [OPTIONS] COMMAND [ARGS]\n"
           "Without a command the Tessel window opens.\n"
           "\n"
           "Light bar commands (exit with the job's result code, 0 to 32):\n" +
           synopses(true) + "\nOffline commands (no light bar):\n" + synopses(false) +
           "\nOptions (light bar commands; the window takes --port to --fast-link too):\n"
           "  --port N           COM port 1 to 4 (default: the INI file's \"COM Port\")\n"
           "  --device PATH      device path for the selected port instead of its mapping;\n"
           "                     ftdi:[SERIAL] or ftdi:VID:PID[:INDEX]: an FT232R USB adapter\n"
           "  --simulate[=FILE]  use the virtual light bar; its state is kept in FILE\n"
           "  --advanced         as in advanced mode: jobs that show the block print it\n"
           "  --fast-link        the fast link (default: the INI file's \"FastLink\")\n"
           "  --yes              answer Yes/OK to every question, the erase included\n"
           "  --no               answer No/Cancel to every question\n"
           "  --keep-firmware    answer Cancel to every erase; other questions follow --yes/--no\n"
           "  --quiet            log only the job's final lines\n"
           "  --ini PATH         the INI file to use (the log file sits beside it)\n"
           "  --help             this text; 'tessel COMMAND --help' describes one command\n"
           "  --version          the program's version\n"
           "Data options (only for commands that have such data):\n"
           "  --out FILE         the command's data into FILE instead of standard output\n"
           "  --json             the data as JSON\n"
           "  --raw              the data's raw bytes (the 4096-byte block area, EEPROM bytes)\n"
           "\nStandard output carries only the command's data; the job log, progress and\n"
           "questions go to standard error. Without --yes or --no a question is asked on the\n"
           "terminal when standard input is one, and answered No/Cancel otherwise: nothing is\n"
           "erased unattended.\n"
           "\nA block file of exactly 4096 bytes is a block area; a shorter file is a block text.\n"
           "\nExamples:\n"
           "  tessel --simulate=bench.state --yes init-vcb\n"
           "  tessel --port 2 read-vcb --json | jq .serialNumber\n"
           "  tessel --port 2 --yes --keep-firmware program-vcb kd7.vcb\n"
           "\nExit codes: the job's result code (0 to 32), or the command line's own (64 and up);\n"
           "'tessel --help exit-codes' lists them all.\n";
}

std::string commandHelp(const std::string& command) {
    const CommandInfo* info = findCommand(command);
    if (!info) return usageText();
    return std::string("Usage: tessel [OPTIONS] ") + info->synopsis + "\n" + info->description +
           "\nExample: " + info->example + "\n";
}

std::string groupHelp(const std::string& group) {
    return "The " + group + " commands:\n" + synopses(true, group + " ") +
           synopses(false, group + " ");
}

std::string exitCodesText() {
    std::string text = "Exit codes of tessel:\n";
    char code[8];
    for (const CodeRow& row : codeTable()) {
        std::snprintf(code, sizeof code, "%4d  ", static_cast<int>(row.code));
        text += code + std::string(row.message);
        if (!row.note.empty()) text += " (" + std::string(row.note) + ")";
        text += "\n";
    }
    return text;
}

} // namespace tessel
