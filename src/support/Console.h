#pragma once

namespace tessel {

// Readies the terminal for the command line's output: UTF-8 text and the colour and cursor
// sequences the job log uses. Nothing to do on POSIX terminals; on Windows the console is
// switched to code page UTF-8 and to virtual-terminal processing. The window program (Tessel.exe,
// which has no console of its own) run with a command word from a command prompt writes into
// that prompt's console; its output, when redirected, goes where it was sent.
void prepareConsole();

enum class StandardStream { Input, Output, Error };
// Whether the stream is a terminal (a console on Windows), not a file or a pipe.
bool isTerminal(StandardStream stream);

} // namespace tessel
