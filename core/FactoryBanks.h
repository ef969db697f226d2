// The three factory banks embedded in the library, and restoring the whole bank or the
// current program from them.
#pragma once

#include <cstdint>

#include "core/ChunkBuffer.h"

class IPlugBase;

inline constexpr int kFactoryBankCount = 3;

// Bank 0 "FACTORY" ("Poly-61 Factory Sounds", factory.fxb), 1 "QUELLMARK" ("Quellmark's
// Factory Sounds", quellmark.fxb), 2 "VELTRUM" ("Veltrum's Factory Sounds", veltrum.fxb).
// Any number other than 1 and 2 means bank 0.
const char* FactoryBankType(int bank);
const char* FactoryBankTitle(int bank);
const char* FactoryBankFileName(int bank);

// A copy of the bank's FXB image, found as resource "PROGINIT" of the bank's type in the
// library's own module; empty when the resource is missing. Any thread.
ChunkBuffer LoadFactoryBankBytes(int bank);

// Loads an FXB image in chunk form: the chunk header at 160, then the bank body into the
// program slots, then tells the host. Neither the magic nor the plug-in ID is checked; an
// image too short to hold a bank body changes nothing (the host is still told). Takes
// the plug-in lock.
void LoadBankFromMemory(IPlugBase& plug, const std::uint8_t* bytes, int count);

// LoadBankFromMemory of the bank, then RefreshControls. Takes the plug-in lock.
void RestoreFactoryBank(IPlugBase& plug, int bank);

// Gives the current program the values and name of the bank's program with the same
// index; no other program changes. Answers false (nothing changed) when the bank has no
// readable program at that index. Takes the plug-in lock.
bool RestoreFactoryProgram(IPlugBase& plug, int bank);

// Where the bank body starts in an FXB image: 0 unless it starts with "CcnK" and carries
// plug-in ID "tsvr"; for kind "FBCh" the position after the chunk header at 160; for any
// other kind 156.
int FindBankBody(const ChunkBuffer& bytes);
