// Writing factory-bank FXB images byte by byte.
#include "resources/BankImage.h"

#include <cstring>

namespace resources {
namespace {

void PutLittle32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::uint8_t(v >> shift));
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(v >> shift));
}

// Doubles are stored as their IEEE 754 bits, least significant byte first, whatever the
// host's own byte order.
void PutDouble(std::vector<std::uint8_t>& out, double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  for (int shift = 0; shift < 64; shift += 8) out.push_back(std::uint8_t(bits >> shift));
}

void PutChars(std::vector<std::uint8_t>& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text) {
  PutLittle32(out, std::uint32_t(text.size()));
  PutChars(out, text);
}

void SetBig32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}

}  // namespace

std::vector<std::uint8_t> WriteStateBody(std::int32_t index, const BankProgram& program) {
  std::vector<std::uint8_t> body;
  PutChars(body, kStateTag);
  PutLittle32(body, std::uint32_t(index));
  PutText(body, program.name);
  for (const double v : program.values) PutDouble(body, v);
  PutLittle32(body, std::uint32_t(program.chord.size()));
  for (const std::int32_t offset : program.chord) PutLittle32(body, std::uint32_t(offset));
  return body;
}

std::vector<std::uint8_t> WriteBankImage(const BankTable& table, std::int32_t pluginVersion) {
  std::vector<std::uint8_t> image;
  PutChars(image, "CcnK");
  PutBig32(image, 0);  // byte size, filled in below
  PutChars(image, "FBCh");
  PutBig32(image, 2);
  PutChars(image, "tsvr");
  PutBig32(image, std::uint32_t(pluginVersion));
  PutBig32(image, std::uint32_t(table.programs.size()));
  PutBig32(image, 0);  // current program
  image.resize(image.size() + 124, 0);
  PutBig32(image, 0);  // chunk size, filled in below

  // The chunk header's magic is the little-endian value 0x70666674, i.e. "tffp" in order.
  PutChars(image, "tffp");
  PutLittle32(image, kChunkVersion);
  for (std::size_t i = 0; i < table.programs.size(); ++i) {
    const BankProgram& program = table.programs[i];
    PutText(image, program.name);
    image.push_back(1);  // initialised
    const std::vector<std::uint8_t> body = WriteStateBody(std::int32_t(i), program);
    image.insert(image.end(), body.begin(), body.end());
  }
  SetBig32(image, 4, std::uint32_t(image.size() - 8));
  SetBig32(image, kFxbHeaderSize - 4, std::uint32_t(image.size() - kFxbHeaderSize));
  return image;
}

}  // namespace resources
