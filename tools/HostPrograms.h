// Programs and banks from the host's side: what a host does with FXP and FXB files and
// program numbers, through the plug-in's published interface only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/PluginHost.h"

// Reads a whole file; false when it cannot be read (or is larger than 64 MiB).
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes);
bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Loads an FXP or FXB file (chunk or parameter form) into the plug-in as a host would:
// chunks through effSetChunk, parameter forms through setParameter and program names.
// Answers false with *error set when the file is not one of ours.
bool LoadProgramFile(PluginHost& host, const std::vector<std::uint8_t>& bytes, std::string* error);

// Loads an FXB file only (chunk or parameter form), then selects the current program the
// file names, as a host restores a whole saved state. False with *error set when the bytes
// are not a bank of this plug-in or it refuses them (the programs read before the fault
// may then have changed).
bool LoadBankFile(PluginHost& host, const std::vector<std::uint8_t>& bytes, std::string* error);

// The plug-in's bank as an FXB file in chunk form, the current program in its header.
std::vector<std::uint8_t> SaveBankFile(PluginHost& host);
// An FXB file in chunk form around a bank chunk.
std::vector<std::uint8_t> BankFile(const std::uint8_t* chunk, std::size_t size, std::int32_t uniqueId,
                                   std::int32_t version, int programCount, int currentProgram);

// Where the chunk of an FXP or FXB file in chunk form starts and how long it is, and whether
// it is a bank; false with *error set for other files (parameter forms included).
struct FileChunkPlace {
  bool bank = false;
  std::size_t at = 0;
  std::size_t size = 0;
};
bool FindChunkInFile(const std::vector<std::uint8_t>& bytes, std::int32_t uniqueId, FileChunkPlace* place,
                     std::string* error);

// The names of the programs in a bank chunk (the chunk header, then 64 records), in order;
// empty when the chunk cannot be walked.
std::vector<std::string> BankChunkNames(const std::vector<std::uint8_t>& chunk);
// A two-digit program number ("11" ... "88") or a name (exact, then ignoring case) among
// names; the program index or -1.
int FindProgramIn(const std::vector<std::string>& names, const std::string& numberOrName);

// Finds a program by its two-digit number ("11" ... "88") or by its name (exact, then
// ignoring case). Answers the program index, or -1.
int FindProgram(PluginHost& host, const std::string& numberOrName);
