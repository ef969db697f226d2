// The audio thread's bridge through the built plug-in: a block with more events than one
// list holds, malformed ones and the computer keyboard's, rendered without an allocation,
// and what the plug-in then plays.
#include "standalone/AudioBridge.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/engine/SignalMeasure.h"
#include "tests/vst2/HostTestSupport.h"
#include "tools/AllocationCounter.h"

namespace standalone {
namespace {

constexpr double kRate = 44100.0;  // LoadPlugin's
constexpr int kBlock = 512;

MidiMessage Note(int status, int note, int velocity) {
  MidiMessage m;
  m.status = static_cast<std::uint8_t>(status);
  m.data1 = static_cast<std::uint8_t>(note);
  m.data2 = static_cast<std::uint8_t>(velocity);
  return m;
}

TEST(AudioBridgeTest, AFullBlockOfEventsRendersWithoutAllocatingAndBothSourcesSound) {
  auto host = LoadPlugin("Tesvar Standalone", "Quellmark Music");
  ASSERT_NE(host, nullptr);
  host->recording = false;
  AudioBridge bridge(host->Effect());
  std::vector<float> left(kBlock);
  std::vector<float> right(kBlock);
  // One block first: whatever the first block of an instance prepares is not counted.
  bridge.Begin(kBlock);
  bridge.Render(left.data(), right.data(), kBlock);
  std::vector<double> sound;
  sound.reserve(kBlock * 40);

  allocation_counter::Start();
  ASSERT_TRUE(bridge.PostFromKeyboard(Note(0x90, 76, 100)));  // E5 from the computer keyboard
  bridge.Begin(kBlock);
  // 300 controllers (an undefined one): more than one list holds, so a full list is handed
  // over in the middle of the block.
  for (std::uint32_t i = 0; i < 300; ++i) {
    const std::uint8_t controller[3] = {0xB0, 3, static_cast<std::uint8_t>(i & 0x7F)};
    bridge.AddMidi(controller, 3, i);
  }
  const std::uint8_t a4[3] = {0x90, 69, 100};
  bridge.AddMidi(a4, 3, 310);
  const std::uint8_t shortNote[2] = {0x90, 70};
  const std::uint8_t dataTooLarge[3] = {0x90, 0x80, 100};
  const std::uint8_t noStatus[3] = {0x45, 0x40, 0x40};
  const std::uint8_t sysex[4] = {0xF0, 0x7E, 0x01, 0xF7};
  const std::uint8_t clock[1] = {0xF8};
  bridge.AddMidi(shortNote, 2, 320);
  bridge.AddMidi(dataTooLarge, 3, 330);
  bridge.AddMidi(noStatus, 3, 340);
  bridge.AddMidi(sysex, 4, 350);
  bridge.AddMidi(clock, 1, 360);
  bridge.AddMidi(a4, 0, 370);     // empty: nothing
  bridge.AddMidi(a4, 3, 100000);  // beyond the block: at its last frame, a repeated note on
  bridge.Render(left.data(), right.data(), kBlock);
  for (int block = 0; block < 40; ++block) {
    bridge.Begin(kBlock);
    bridge.Render(left.data(), right.data(), kBlock);
    sound.insert(sound.end(), left.begin(), left.end());
  }
  EXPECT_EQ(allocation_counter::Stop(), 0) << "the audio path allocated";
  EXPECT_EQ(bridge.Refused(), 3) << "a short message, a data byte over 127 and a message without status";

  // A4 from the port and E5 from the keyboard sound; the semitones beside them do not.
  for (double hz : {440.0, 659.26}) {
    using engine_test::AmplitudeAt;
    const double beside = std::max(AmplitudeAt(sound, kRate, hz * 0.9439), AmplitudeAt(sound, kRate, hz * 1.0595));
    EXPECT_GT(20 * std::log10(AmplitudeAt(sound, kRate, hz) / beside), 15.0) << hz << " Hz";
  }

  // A program change carries one data byte.
  const std::uint8_t change[2] = {0xC0, 5};
  bridge.Begin(kBlock);
  bridge.AddMidi(change, 2, 0);
  bridge.Render(left.data(), right.data(), kBlock);
  EXPECT_EQ(host->Dispatch(vst::effGetProgram), 5);
  for (float x : left) ASSERT_TRUE(std::isfinite(x));
}

TEST(AudioBridgeTest, TheKeyboardQueueRefusesWhenFullUntilABlockTakesItsMessages) {
  auto host = LoadPlugin();
  ASSERT_NE(host, nullptr);
  AudioBridge bridge(host->Effect());
  for (std::size_t i = 0; i < AudioBridge::kKeyboardQueue; ++i) ASSERT_TRUE(bridge.PostFromKeyboard(Note(0xB0, 3, 0)));
  EXPECT_FALSE(bridge.PostFromKeyboard(Note(0x90, 60, 100)));
  std::vector<float> left(kBlock);
  std::vector<float> right(kBlock);
  bridge.Begin(kBlock);
  bridge.Render(left.data(), right.data(), kBlock);
  EXPECT_TRUE(bridge.PostFromKeyboard(Note(0x90, 60, 100)));
}

}  // namespace
}  // namespace standalone
