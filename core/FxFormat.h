// The layouts of VST program (FXP) and bank (FXB) files: header offsets, kind codes and
// the big-endian numbers they are written in. The chunk inside is little-endian.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "core/ChunkBuffer.h"

namespace fx {

// Four-character codes are stored as their characters in order.
inline constexpr char kChunkMagic[] = "CcnK";
inline constexpr char kProgramChunkKind[] = "FPCh";   // program with an opaque chunk
inline constexpr char kProgramParamsKind[] = "FxCk";  // program as normalised floats
inline constexpr char kBankChunkKind[] = "FBCh";
inline constexpr char kBankParamsKind[] = "FxBk";

// Header fields shared by both file kinds.
inline constexpr int kMagicAt = 0;
inline constexpr int kByteSizeAt = 4;  // file length - 8
inline constexpr int kKindAt = 8;
inline constexpr int kFormatVersionAt = 12;
inline constexpr int kPluginIdAt = 16;
// Our plug-in id, "tsvr", as the files hold it (big-endian); the factory banks carry it.
inline constexpr std::uint32_t kTesvarId = 0x74737672;
inline constexpr int kPluginVersionAt = 20;

// Program files.
inline constexpr int kProgramFormatVersion = 1;
inline constexpr int kParamCountAt = 24;
inline constexpr int kNameAt = 28;
inline constexpr int kNameField = 28;  // at most 27 characters, zero-filled
inline constexpr int kParamsAt = 56;   // "FxCk": one float per parameter
inline constexpr int kProgramChunkSizeAt = 56;
inline constexpr int kProgramChunkAt = 60;

// Bank files.
inline constexpr int kBankFormatVersion = 2;
inline constexpr int kProgramCountAt = 24;
inline constexpr int kCurrentProgramAt = 28;
inline constexpr int kReservedAt = 32;
inline constexpr int kReservedBytes = 124;
inline constexpr int kBankChunkSizeAt = 156;
inline constexpr int kBankChunkAt = 160;
inline constexpr int kBankRecordsAt = 156;  // "FxBk": one "FxCk" program record per program

// Size of one "FxCk" program record with paramCount floats.
constexpr int ProgramRecordSize(int paramCount) { return kParamsAt + 4 * paramCount; }

// True when the four bytes at pos spell code; bytes beyond the end never match.
inline bool HasCode(const ChunkBuffer& bytes, int pos, const char* code) {
  char found[4];
  return bytes.GetBytes(found, 4, pos) >= 0 && std::memcmp(found, code, 4) == 0;
}

// The big-endian 32-bit word at pos, or false when the bytes are not there.
inline bool GetWord(const ChunkBuffer& bytes, int pos, std::uint32_t* out) {
  std::uint8_t raw[4];
  if (bytes.GetBytes(raw, 4, pos) < 0) return false;
  *out = (std::uint32_t{raw[0]} << 24) | (std::uint32_t{raw[1]} << 16) | (std::uint32_t{raw[2]} << 8) | raw[3];
  return true;
}

// True when the word at pos is there and equals value.
inline bool WordIs(const ChunkBuffer& bytes, int pos, std::uint32_t value) {
  std::uint32_t word = 0;
  return GetWord(bytes, pos, &word) && word == value;
}

inline bool GetFloat(const ChunkBuffer& bytes, int pos, float* out) {
  std::uint32_t word = 0;
  if (!GetWord(bytes, pos, &word)) return false;
  std::memcpy(out, &word, 4);
  return true;
}

inline void PutWord(ChunkBuffer& bytes, std::uint32_t value) {
  const std::uint8_t raw[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                               static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  bytes.PutBytes(raw, 4);
}

// Overwrites the word at pos, which must lie inside the buffer.
inline void SetWord(ChunkBuffer& bytes, int pos, std::uint32_t value) {
  std::uint8_t* p = bytes.Data() + pos;
  p[0] = static_cast<std::uint8_t>(value >> 24);
  p[1] = static_cast<std::uint8_t>(value >> 16);
  p[2] = static_cast<std::uint8_t>(value >> 8);
  p[3] = static_cast<std::uint8_t>(value);
}

inline void PutCode(ChunkBuffer& bytes, const char* code) { bytes.PutBytes(code, 4); }

// A 28-byte name field: the first 27 characters of name, zero-filled.
inline void PutName(ChunkBuffer& bytes, const std::string& name) {
  char field[kNameField] = {};
  std::memcpy(field, name.data(), name.size() < kNameField - 1 ? name.size() : kNameField - 1);
  bytes.PutBytes(field, kNameField);
}

// The name field at pos up to its first zero; empty when the field is not all there.
inline std::string GetName(const ChunkBuffer& bytes, int pos) {
  char field[kNameField];
  if (bytes.GetBytes(field, kNameField, pos) < 0) return std::string();
  std::size_t length = 0;
  while (length < sizeof(field) && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace fx
