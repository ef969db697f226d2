// FXP/FXB files and program selection from the host's side.
#include "tools/HostPrograms.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/FxFormat.h"
#include "core/StateBody.h"
#include "resources/ParameterInfo.h"

namespace {

constexpr std::uint32_t Fourcc(const char (&c)[5]) {
  return static_cast<std::uint32_t>(c[0]) << 24 | static_cast<std::uint32_t>(c[1]) << 16 |
         static_cast<std::uint32_t>(c[2]) << 8 | static_cast<std::uint32_t>(c[3]);
}

std::uint32_t Big32(const std::vector<std::uint8_t>& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

void PutBig32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

float BigFloat(const std::vector<std::uint8_t>& b, std::size_t at) {
  const std::uint32_t bits = Big32(b, at);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

std::string Name28(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::string name;
  for (std::size_t i = at; i < at + fx::kNameField && i < b.size() && b[i] != 0; ++i) name += static_cast<char>(b[i]);
  return name;
}

std::intptr_t SetChunk(PluginHost& host, int index, const std::vector<std::uint8_t>& b, std::size_t from) {
  if (from >= b.size()) return 0;
  std::vector<std::uint8_t> chunk(b.begin() + static_cast<long>(from), b.end());
  return host.Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(chunk.size()), chunk.data());
}

// One "FxCk" record at `at`: its floats set the parameters, its name the program's.
bool LoadParameterRecord(PluginHost& host, const std::vector<std::uint8_t>& b, std::size_t at) {
  const int count = static_cast<int>(Big32(b, at + fx::kParamCountAt));
  const int params = host.Effect()->numParams;
  for (int i = 0; i < std::min(count, params); ++i) {
    const std::size_t where = at + fx::kParamsAt + 4 * static_cast<std::size_t>(i);
    if (where + 4 > b.size()) return false;
    host.SetParameter(i, BigFloat(b, where));
  }
  const std::string name = Name28(b, at + fx::kNameAt);
  if (!name.empty()) host.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  bytes->clear();
  std::uint8_t buffer[65536];
  std::size_t n;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
    bytes->insert(bytes->end(), buffer, buffer + n);
    if (bytes->size() > (64u << 20)) {
      ok = false;
      break;
    }
  }
  std::fclose(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

bool LoadProgramFile(PluginHost& host, const std::vector<std::uint8_t>& b, std::string* error) {
  if (Big32(b, 0) != Fourcc("CcnK")) {
    *error = "not an FXP or FXB file";
    return false;
  }
  if (Big32(b, fx::kPluginIdAt) != static_cast<std::uint32_t>(host.Effect()->uniqueID)) {
    *error = "the file belongs to another plug-in";
    return false;
  }
  const std::uint32_t kind = Big32(b, fx::kKindAt);
  if (kind == Fourcc("FPCh")) {
    if (SetChunk(host, 1, b, fx::kProgramChunkAt) != 1) {
      *error = "the program in the file cannot be read";
      return false;
    }
    const std::string name = Name28(b, fx::kNameAt);
    if (!name.empty()) host.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
    return true;
  }
  if (kind == Fourcc("FBCh")) {
    if (SetChunk(host, 0, b, fx::kBankChunkAt) != 1) {
      *error = "the bank in the file cannot be read";
      return false;
    }
    return true;
  }
  if (kind == Fourcc("FxCk")) {
    if (LoadParameterRecord(host, b, 0)) return true;
    *error = "the program in the file is truncated";
    return false;
  }
  if (kind == Fourcc("FxBk")) {
    const int count = static_cast<int>(std::min<std::uint32_t>(Big32(b, fx::kProgramCountAt), 64));
    std::size_t at = fx::kBankRecordsAt;
    for (int p = 0; p < count && at + fx::kParamsAt <= b.size(); ++p) {
      if (Big32(b, at) != Fourcc("CcnK") || Big32(b, at + fx::kKindAt) != Fourcc("FxCk")) break;
      host.Dispatch(vst::effSetProgram, 0, p);
      if (!LoadParameterRecord(host, b, at)) break;
      at += fx::kParamsAt + 4 * static_cast<std::size_t>(Big32(b, at + fx::kParamCountAt));
    }
    host.Dispatch(vst::effSetProgram, 0,
                  static_cast<std::intptr_t>(std::min<std::uint32_t>(Big32(b, fx::kCurrentProgramAt), 63)));
    return true;
  }
  *error = "unknown kind of FXP/FXB file";
  return false;
}

bool LoadBankFile(PluginHost& host, const std::vector<std::uint8_t>& b, std::string* error) {
  const std::uint32_t kind = Big32(b, fx::kKindAt);
  if (Big32(b, 0) == Fourcc("CcnK") && (kind == Fourcc("FPCh") || kind == Fourcc("FxCk"))) {
    *error = "a program file (FXP), not a bank";
    return false;
  }
  if (!LoadProgramFile(host, b, error)) return false;
  if (b.size() < fx::kCurrentProgramAt + 4) {
    *error = "the bank file is truncated";
    return false;
  }
  const std::uint32_t current = Big32(b, fx::kCurrentProgramAt);
  if (current < static_cast<std::uint32_t>(host.Effect()->numPrograms)) {
    host.Dispatch(vst::effSetProgram, 0, static_cast<std::intptr_t>(current));
  }
  return true;
}

std::vector<std::uint8_t> BankFile(const std::uint8_t* chunk, std::size_t size, std::int32_t uniqueId,
                                   std::int32_t version, int programCount, int currentProgram) {
  std::vector<std::uint8_t> file;
  PutBig32(file, Fourcc("CcnK"));
  PutBig32(file, static_cast<std::uint32_t>(fx::kBankChunkAt + size - 8));
  PutBig32(file, Fourcc("FBCh"));
  PutBig32(file, 2);
  PutBig32(file, static_cast<std::uint32_t>(uniqueId));
  PutBig32(file, static_cast<std::uint32_t>(version));
  PutBig32(file, static_cast<std::uint32_t>(programCount));
  PutBig32(file, static_cast<std::uint32_t>(currentProgram));
  file.resize(file.size() + fx::kReservedBytes, 0);
  PutBig32(file, static_cast<std::uint32_t>(size));
  file.insert(file.end(), chunk, chunk + size);
  return file;
}

std::vector<std::uint8_t> SaveBankFile(PluginHost& host) {
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, 0, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  return BankFile(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size), host.Effect()->uniqueID,
                  host.Effect()->version, host.Effect()->numPrograms,
                  static_cast<int>(host.Dispatch(vst::effGetProgram)));
}

bool FindChunkInFile(const std::vector<std::uint8_t>& b, std::int32_t uniqueId, FileChunkPlace* place,
                     std::string* error) {
  if (Big32(b, 0) != Fourcc("CcnK")) {
    *error = "not an FXP or FXB file";
    return false;
  }
  if (Big32(b, fx::kPluginIdAt) != static_cast<std::uint32_t>(uniqueId)) {
    *error = "the file belongs to another plug-in";
    return false;
  }
  const std::uint32_t kind = Big32(b, fx::kKindAt);
  if (kind != Fourcc("FPCh") && kind != Fourcc("FBCh")) {
    *error = "not a program or bank file in chunk form";
    return false;
  }
  place->bank = kind == Fourcc("FBCh");
  place->at = static_cast<std::size_t>(place->bank ? fx::kBankChunkAt : fx::kProgramChunkAt);
  place->size = Big32(b, place->bank ? fx::kBankChunkSizeAt : fx::kProgramChunkSizeAt);
  if (place->at > b.size() || place->size > b.size() - place->at) {
    *error = "the file is cut short";
    return false;
  }
  return true;
}

std::vector<std::string> BankChunkNames(const std::vector<std::uint8_t>& chunk) {
  ChunkBuffer buffer;
  buffer.Assign(chunk.data(), static_cast<int>(chunk.size()));
  std::int32_t version = 0;
  int pos = chunk_header::Read(buffer, 0, &version);
  std::vector<std::string> names;
  for (int i = 0; i < 64 && pos >= 0; ++i) {
    std::string name;
    std::uint8_t flag = 0;
    pos = buffer.GetText(&name, pos);
    if (pos >= 0) pos = buffer.GetBytes(&flag, 1, pos);
    if (pos >= 0 && flag != 0) pos = SkipStateBody(buffer, pos, static_cast<int>(resources::kParameterCount));
    if (pos >= 0) names.push_back(name);
  }
  if (pos < 0) names.clear();
  return names;
}

int FindProgramIn(const std::vector<std::string>& names, const std::string& text) {
  const int count = static_cast<int>(names.size());
  if (text.size() == 2 && text[0] >= '1' && text[0] <= '8' && text[1] >= '1' && text[1] <= '8') {
    const int index = (text[0] - '1') * 8 + (text[1] - '1');
    return index < count ? index : -1;
  }
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  int caseless = -1;
  for (int i = 0; i < count; ++i) {
    if (text == names[i]) return i;
    if (caseless < 0 && lower(text) == lower(names[i])) caseless = i;
  }
  return caseless;
}

int FindProgram(PluginHost& host, const std::string& text) {
  std::vector<std::string> names;
  for (int i = 0; i < host.Effect()->numPrograms; ++i) {
    char name[64] = {};
    host.Dispatch(vst::effGetProgramNameIndexed, i, 0, name);
    names.emplace_back(name);
  }
  return FindProgramIn(names, text);
}
