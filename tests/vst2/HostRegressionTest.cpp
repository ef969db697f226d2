// Faults the fuzz targets found in the way hosts send events, each kept as the host sends
// it through the entry point.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tests/vst2/HostTestSupport.h"

namespace {

// The peak of `blocks` blocks of 512 frames.
double RenderPeak(PluginHost& host, int blocks) {
  std::vector<float> left, right;
  double peak = 0.0;
  for (int b = 0; b < blocks; ++b) {
    host.ProcessReplacing(left, right, 512);
    for (int s = 0; s < 512; ++s) peak = std::max({peak, std::fabs(double(left[s])), std::fabs(double(right[s]))});
  }
  return peak;
}

TEST(HostRegressionTest, EventListLongerThanItsTwoDeclaredPointersIsReadWhole) {
  // The list record declares two event pointers; hosts allocate room for all of them.
  // Only the sixth event starts a note.
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  std::vector<MidiMessage> events(5, MidiMessage{0, 0xB0, 1, 0});
  events.push_back({0, 0x90, 60, 100});
  host->SendMidi(events);
  EXPECT_GT(RenderPeak(*host, 4), 0.01);
}

TEST(HostRegressionTest, NoteQueuedLaterInTheBlockThanAllNotesOffNeverSounds) {
  // All notes off acts when it arrives; a note on queued for later in the same block used
  // to start afterwards and hang, since its note off had been sent before.
  for (int controller : {120, 123}) {
    auto host = LoadPlugin();
    ASSERT_TRUE(host);
    host->SendMidi({{300, 0x90, 60, 100}, {400, 0xB0, static_cast<std::uint8_t>(controller), 0}});
    EXPECT_LT(RenderPeak(*host, 20), 1e-6) << "controller " << controller;
  }
}

TEST(HostRegressionTest, NoteQueuedBeyondTheBlockIsDroppedWhenTheHostSuspends) {
  // A note on for a block that never plays (the host stopped first) used to start after
  // the restart and hang, with no note off to come.
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  host->SendMidi({{2000, 0x90, 60, 100}});
  EXPECT_LT(RenderPeak(*host, 1), 1e-6);
  host->Dispatch(vst::effMainsChanged, 0, 0);
  host->Dispatch(vst::effMainsChanged, 0, 1);
  EXPECT_LT(RenderPeak(*host, 20), 1e-6);

  // A note already sounding still ends with its note off sent after the restart.
  host->SendMidi({{0, 0x90, 64, 100}});
  EXPECT_GT(RenderPeak(*host, 4), 0.01);
  host->Dispatch(vst::effMainsChanged, 0, 0);
  host->Dispatch(vst::effMainsChanged, 0, 1);
  host->SendMidi({{0, 0x80, 64, 0}});
  RenderPeak(*host, 200);  // the longest release of the program
  EXPECT_LT(RenderPeak(*host, 4), 1e-4);
}

TEST(HostRegressionTest, ProgramNameWithAZeroByteReadsBackTheSameFromEveryChunk) {
  // A bank chunk may carry a name with a zero byte inside. The program chunk's way back
  // cut it there, so restoring the host's own program chunk changed the bank.
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  auto chunk = [&](int index) {
    void* data = nullptr;
    const auto size = host->Dispatch(vst::effGetChunk, index, 0, &data);
    return std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  };
  auto set = [&](int index, std::vector<std::uint8_t> bytes) {
    return host->Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()), bytes.data());
  };
  // The bank chunk: an 8-byte header, then program 0's name as a length and its bytes.
  std::vector<std::uint8_t> bank = chunk(0);
  std::int32_t length = 0;
  std::memcpy(&length, bank.data() + 8, 4);
  const std::string name("Lead\0Pad", 8);
  std::vector<std::uint8_t> named(bank.begin(), bank.begin() + 8);
  const auto size = static_cast<std::int32_t>(name.size());
  named.insert(named.end(), reinterpret_cast<const std::uint8_t*>(&size),
               reinterpret_cast<const std::uint8_t*>(&size) + 4);
  named.insert(named.end(), name.begin(), name.end());
  named.insert(named.end(), bank.begin() + 12 + length, bank.end());
  ASSERT_EQ(set(0, named), 1);
  EXPECT_EQ(host->Text(vst::effGetProgramNameIndexed, 0), "Lead");

  const std::vector<std::uint8_t> restored = chunk(0);
  ASSERT_EQ(set(1, chunk(1)), 1);
  EXPECT_EQ(chunk(0), restored);
  EXPECT_EQ(host->Text(vst::effGetProgramNameIndexed, 0), "Lead");
}

}  // namespace
