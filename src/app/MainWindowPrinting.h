// Connects the main window's printing commands (Print, Preview, Printer
// Setup, Printer Fine Tuning, Print Outline Test Page, Change Business Card
// Layout) to the printing module, and the printing windows to the program's
// help and window placement.
#pragma once

struct TPrintContext;
class TMainScreen;

// Call once before the main window is created.
void InstallPrintingCommands();

// What the printing commands get from the main window for one command.
TPrintContext PrintContextOf(TMainScreen &window);
