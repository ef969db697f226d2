// Helper programs of the Linux editor: the desktop's file dialogs (zenity, kdialog) and
// xdg-open. Nothing here runs on the audio thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace x11 {

// Whether a program of this name is on PATH.
bool ProgramExists(const char* name);
// Starts a program and does not wait for it (no zombie is left). False when it cannot start.
bool StartDetached(const std::vector<std::string>& argv);
// Runs a program to its end and collects its standard output; `keepAlive` is called about
// every 20 ms while it runs (the editor paints there) and ends the program when it answers
// false. True when it exited with status 0.
bool RunForOutput(const std::vector<std::string>& argv, std::string& output, const std::function<bool()>& keepAlive);

}  // namespace x11
