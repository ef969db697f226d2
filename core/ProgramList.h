// The program browser's temporary list: the programs of an embedded bank or of a program
// or bank file, read without touching the plug-in's own programs.
#pragma once

#include <string>
#include <vector>

#include "core/ChunkBuffer.h"
#include "core/StateBody.h"

// One listed program: its name and a copy of its state body (see CopyProgramBody).
struct BrowsedProgram {
  std::string name;
  ChunkBuffer state;
};

// Both run on the user-interface thread and need no lock. The list is emptied first.
// Programs whose record says "not initialised" are not listed; the walk ends at the first
// record that cannot be read (cut short, or a body with another tag).

// Lists the embedded bank's programs, at most 64. Answers whether any were listed.
bool ListEmbeddedBankPrograms(int bank, const BodyFormat& format, std::vector<BrowsedProgram>& list);

// Lists the programs of a file by its extension: ".fxp"/".FXP" an "FPCh" program file
// (exactly one program), ".fxb"/".FXB" an "FBCh" bank file (exactly 64 programs); a list
// of another length, another extension, kind, magic or plug-in ID lists nothing.
// Answers whether any were listed.
bool ListFilePrograms(const std::string& path, const BodyFormat& format, std::vector<BrowsedProgram>& list);
