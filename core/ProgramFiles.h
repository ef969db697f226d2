// Program (FXP) and bank (FXB) files: saving the current program or the whole bank, and
// loading both the chunk forms this plug-in writes and the parameter forms other hosts do.
#pragma once

#include <string>

class IPlugBase;

// All four run on the user-interface thread (menu commands). The file is read or written
// outside the plug-in lock; everything that touches parameters or program slots runs
// under it from start to end, so a render block never sees a half-loaded bank.

// Writes the current program as an "FPCh" program file: the current name (27 characters
// at most), then the chunk header and the state body. False for an empty path or a file
// that cannot be written.
bool SaveProgramFile(IPlugBase& plug, const std::string& path);

// Writes all program slots as an "FBCh" bank file (chunk header and bank body).
bool SaveBankFile(IPlugBase& plug, const std::string& path);

// Loads a program file into the current program ("FPCh" state chunk or "FxCk" normalised
// floats), renames it with the file's name unless that is empty, reselects it and tells
// the host. False (nothing changed) for an unreadable file, a magic other than "CcnK", a
// format version other than 1, another plug-in's ID, an unknown kind, or an "FPCh" state
// body that the product refuses or that is cut short.
bool LoadProgramFile(IPlugBase& plug, const std::string& path);

// Loads a bank file ("FBCh" bank chunk or "FxBk" program records) into the program slots
// and tells the host. False (nothing changed) for an unreadable file, a wrong magic or
// plug-in ID or an unknown kind. A bank that fails part way answers false after the
// programs before the failure were loaded: an "FBCh" bank body cut short or refused, or
// an "FxBk" record that is cut short or has a wrong magic, kind, version or parameter count.
// "FxBk" records beyond the last slot are not read.
bool LoadBankFile(IPlugBase& plug, const std::string& path);
