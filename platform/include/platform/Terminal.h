// The user's terminal: standard error for what is shown, the controlling terminal for what is asked.
#pragma once

#include <string>

namespace platform {

// True when standard error is a terminal.
bool terminalIsInteractive();
// Columns and rows of the terminal on standard error (80 x 24 when unknown).
void terminalSize(int& columns, int& rows);
// Writes UTF-8 text to standard error, whole and unbuffered.
void terminalWrite(const std::string& text);
// Writes `prompt` (to standard error) and reads one line typed at the controlling terminal (without
// its line break). With `masked`, what is typed is echoed as '*'; the terminal is quiet before the
// prompt appears, so nothing typed in answer shows. False at end of input or without a terminal.
bool terminalReadLine(const std::string& prompt, std::string& line, bool masked);
// A line the user has already finished typing, taken without waiting; false when there is none,
// and always when standard input is a terminal: the lines typed there belong to the program.
bool terminalPollLine(std::string& line);

}  // namespace platform
