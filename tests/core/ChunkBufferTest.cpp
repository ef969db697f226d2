// Little-endian readers and writers, and the chunk header.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ChunkBuffer.h"

namespace {

TEST(ChunkBufferTest, WritesLittleEndianAndReadsBack) {
  ChunkBuffer b;
  b.PutInt32(0x01020304);
  b.PutDouble(1.0);
  b.PutText("abc");
  ASSERT_EQ(b.Size(), 4 + 8 + 4 + 3);
  EXPECT_EQ(b.Data()[0], 0x04);
  EXPECT_EQ(b.Data()[3], 0x01);
  EXPECT_EQ(b.Data()[4 + 7], 0x3F);  // the sign/exponent byte of 1.0 comes last
  std::int32_t i = 0;
  double d = 0;
  std::string s;
  int pos = b.GetInt32(&i, 0);
  pos = b.GetDouble(&d, pos);
  pos = b.GetText(&s, pos);
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(d, 1.0);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(pos, b.Size());
}

TEST(ChunkBufferTest, ReadersRefuseMissingBytesAndHostileLengths) {
  ChunkBuffer b;
  b.PutInt32(7);
  std::int32_t i = 99;
  double d = 5;
  EXPECT_EQ(b.GetDouble(&d, 0), -1);
  EXPECT_EQ(d, 5);
  EXPECT_EQ(b.GetInt32(&i, 1), -1);
  EXPECT_EQ(b.GetInt32(&i, -4), -1);
  std::string s = "keep";
  EXPECT_EQ(b.GetText(&s, 0), -1);  // claims 7 bytes, none follow
  ChunkBuffer huge;
  huge.PutInt32(0x7FFFFFFF);
  EXPECT_EQ(huge.GetText(&s, 0), -1);
  ChunkBuffer negative;
  negative.PutInt32(-20);
  EXPECT_EQ(negative.GetText(&s, 0), 4);
  EXPECT_EQ(s, "");
  EXPECT_EQ(b.SkipText(0), -1);
  EXPECT_EQ(negative.SkipText(0), 4);
  EXPECT_EQ(huge.SkipText(0), -1);
  ChunkBuffer longName;
  longName.PutText(std::string(300, 'n'));
  EXPECT_EQ(longName.GetText(&s, 0), 304);
  EXPECT_EQ(s.size(), 255u);
}

TEST(ChunkBufferTest, ChunkHeaderCases) {
  ChunkBuffer b;
  chunk_header::Write(b);
  EXPECT_EQ(std::memcmp(b.Data(), "tffp", 4), 0);
  std::int32_t version = 0;
  EXPECT_EQ(chunk_header::Read(b, 0, &version), 8);
  EXPECT_EQ(version, 0x00010000);

  ChunkBuffer none;
  none.PutInt32(12345);
  EXPECT_EQ(chunk_header::Read(none, 0, &version), 0);
  EXPECT_EQ(version, 0);

  ChunkBuffer cut;
  cut.PutBytes("tffp", 4);
  EXPECT_EQ(chunk_header::Read(cut, 0, &version), -1);
}

}  // namespace
