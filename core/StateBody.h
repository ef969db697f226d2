// Walking state bodies without applying them: the layout every program body has (a
// 12-byte tag, the program index, the length-prefixed name, one double per parameter and
// the chord memory), as the bank readers and the program browser need it.
#pragma once

#include <string>
#include <string_view>

#include "core/ChunkBuffer.h"

inline constexpr int kStateTagLength = 12;

// What a body of this product looks like: its tag (kStateTagLength characters) and its
// parameter count.
struct BodyFormat {
  std::string_view tag;
  int paramCount = 0;
};

// The position after the body at pos, or -1 when it is not all there. The tag is not
// compared. A negative chord memory count means an empty memory, as the product reads it.
int SkipStateBody(const ChunkBuffer& bytes, int pos, int paramCount);

// Copies the body at pos into out (replacing its contents): the format's tag, then the
// index, the name (cut to 63 characters), the parameter doubles, the chord memory count
// and entries of the source. Answers the position after the source body, or -1 (out
// emptied) when the body is not all there or its tag is not the format's.
int CopyProgramBody(const ChunkBuffer& bytes, int pos, const BodyFormat& format, ChunkBuffer& out);
