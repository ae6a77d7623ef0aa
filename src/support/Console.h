#pragma once

namespace tessel {

// Readies the terminal for the command line's output: UTF-8 text and the colour and cursor
// sequences the job log uses. Nothing to do on POSIX terminals; on Windows the console is
// switched to code page UTF-8 and to virtual-terminal processing.
void prepareConsole();

} // namespace tessel
