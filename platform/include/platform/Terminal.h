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
// Reads one line typed at the controlling terminal (without its line break). With `masked`, what is
// typed is echoed as '*'. False at end of input or when the process has no terminal.
bool terminalReadLine(std::string& line, bool masked);
// A line the user has already finished typing, taken without waiting; false when there is none.
bool terminalPollLine(std::string& line);

}  // namespace platform
