// State bodies read field by field, without a plug-in.
#include "core/StateBody.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBrowsedNameLength = 63;

struct BodyFields {
  std::int32_t index = 0;
  std::string name;
  int valuesAt = 0;  // start of the parameter doubles
  std::int32_t chordCount = 0;
  int chordAt = 0;  // start of the chord entries
  int end = -1;
};

// Reads the fields after the tag at pos; fields.end is -1 when the body is cut short.
BodyFields ReadFields(const ChunkBuffer& bytes, int pos, int paramCount, std::size_t maxName) {
  BodyFields fields;
  if (pos < 0 || paramCount < 0) return fields;
  pos = bytes.GetInt32(&fields.index, pos + kStateTagLength);
  if (pos >= 0) pos = bytes.GetText(&fields.name, pos, maxName);
  if (pos < 0) return fields;
  fields.valuesAt = pos;
  // The doubles must all be there; GetBytes checks the range without copying.
  const long long afterValues = static_cast<long long>(pos) + 8LL * paramCount;
  if (afterValues > bytes.Size()) return fields;
  pos = bytes.GetInt32(&fields.chordCount, static_cast<int>(afterValues));
  if (pos < 0) return fields;
  if (fields.chordCount < 0) fields.chordCount = 0;
  fields.chordAt = pos;
  const long long end = static_cast<long long>(pos) + 4LL * fields.chordCount;
  if (end > bytes.Size()) return fields;
  fields.end = static_cast<int>(end);
  return fields;
}

}  // namespace

int SkipStateBody(const ChunkBuffer& bytes, int pos, int paramCount) {
  if (pos < 0 || pos > bytes.Size() - kStateTagLength) return -1;
  return ReadFields(bytes, pos, paramCount, 0).end;
}

int CopyProgramBody(const ChunkBuffer& bytes, int pos, const BodyFormat& format, ChunkBuffer& out) {
  out.Clear();
  char tag[kStateTagLength];
  if (format.tag.size() != kStateTagLength || bytes.GetBytes(tag, kStateTagLength, pos) < 0 ||
      std::memcmp(tag, format.tag.data(), kStateTagLength) != 0) {
    return -1;
  }
  const BodyFields fields = ReadFields(bytes, pos, format.paramCount, kBrowsedNameLength);
  if (fields.end < 0) return -1;
  out.PutBytes(format.tag.data(), kStateTagLength);
  out.PutInt32(fields.index);
  out.PutText(fields.name);
  out.PutBytes(bytes.Data() + fields.valuesAt, 8 * format.paramCount);
  out.PutInt32(fields.chordCount);
  out.PutBytes(bytes.Data() + fields.chordAt, 4 * fields.chordCount);
  return fields.end;
}
