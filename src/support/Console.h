#pragma once

namespace tessel {

// Readies the terminal for the command line's output: UTF-8 text and the colour and cursor
// sequences the job log uses. The window program (Tessel.exe, which has no console of its own)
// run with a command word from a command prompt writes into that prompt's console; its output,
// when redirected, goes where it was sent.
//
// Returns whether standard error is a terminal that shows those sequences as colours and cursor
// moves: on POSIX any terminal; on Windows a console whose virtual-terminal processing is on
// (switched on here; a console that refuses the switch gets plain text). On Windows the console's
// output code page and modes are changed and put back as found when the program ends: at its
// exit, and through restoreConsole() on the ways that end it at once.
bool prepareConsole();

// Puts the console back as prepareConsole() found it; once, from any thread. Nothing on POSIX.
void restoreConsole();

enum class StandardStream { Input, Output, Error };
// Whether the stream is a terminal (a console on Windows), not a file or a pipe.
bool isTerminal(StandardStream stream);

} // namespace tessel
