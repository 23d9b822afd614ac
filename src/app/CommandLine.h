// The command-line modes that run without a window.
#pragma once

#include <QStringList>
#include <optional>

// Runs the mode the arguments name and returns the exit status, or nothing
// when the arguments ask for the window.
std::optional<int> RunCommandLine(const QStringList &args);
// Whether the arguments name a mode that needs no display.
bool IsHeadlessMode(int argc, char **argv);
// The command-line modes print only their own output and errors: Qt's
// notes about the session (no runtime folder, no display) are dropped.
void KeepQtNotesOffTheTerminal();
