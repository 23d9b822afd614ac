// Where the program keeps its settings file, card folder, clipboard file and
// other working files.
#pragma once

#include <QString>

namespace platform {

// The folder named by QUORVEL_HOME when set; else the executable's folder when
// it holds a qrv.ini (a portable install); else the user's data folder,
// created when missing. Always ends with a '/'.
QString ProgramFolder();

} // namespace platform
