// Connects the main window's printing commands (Print, Preview, Printer
// Setup, Printer Fine Tuning, Print Outline Test Page, Change Business Card
// Layout) to the printing module, and the printing windows to the program's
// help and window placement.
#pragma once

#include <memory>

struct TPrintContext;
class TMainScreen;
class TGBusinessCardPanel32;

// Call once before the main window is created.
void InstallPrintingCommands();

// What the printing commands get from the main window for one command.
// Whichever side the window shows, the context's panel holds the front and
// its back panel the back (none when the card has no back); the side not
// shown is read into `hidden`, which must outlive the command.
TPrintContext PrintContextOf(TMainScreen &window, std::unique_ptr<TGBusinessCardPanel32> &hidden);
