// The adapter's own rules, checked on an instance made directly: host identification,
// refused sample rates and the product's state body.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "engine/Tesvar.h"

namespace {

struct Instance {
  Tesvar plug{nullptr};
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f) {
    return plug.Dispatch(opcode, index, value, ptr, opt);
  }
};

TEST(AdapterTest, HostIdsFollowTheProductTextInOrder) {
  EXPECT_EQ(IPlugVST::HostIdForProduct("REAPER"), 1);
  EXPECT_EQ(IPlugVST::HostIdForProduct("Cubase 12"), 3);
  EXPECT_EQ(IPlugVST::HostIdForProduct("Ableton Live 11"), 9);
  EXPECT_EQ(IPlugVST::HostIdForProduct("Nuendo and Cubase"), 3);  // order decides
  EXPECT_EQ(IPlugVST::HostIdForProduct("Ardour"), 28);
  EXPECT_EQ(IPlugVST::HostIdForProduct("Nothing Known"), 0);
  EXPECT_EQ(IPlugVST::HostIdForProduct(""), 0);
  EXPECT_EQ(IPlugVST::HostIdForProduct(nullptr), 0);
  EXPECT_EQ(IPlugVST::PackHostVersion(10203), 0x010203);
}

TEST(AdapterTest, OnlySensibleSampleRatesAndBlockSizesAreTaken) {
  Instance i;
  i.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  EXPECT_EQ(i.plug.SampleRate(), 48000.0);
  for (float rate : {999.0f, 768001.0f, -1.0f, 0.0f, std::numeric_limits<float>::quiet_NaN(),
                     std::numeric_limits<float>::infinity()}) {
    i.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_EQ(i.plug.SampleRate(), 48000.0) << rate;
  }
  i.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 1000.0f);
  EXPECT_EQ(i.plug.SampleRate(), 1000.0);
  EXPECT_EQ(i.plug.BlockSize(), 1024);
  i.Dispatch(vst::effSetBlockSize, 0, 0);
  i.Dispatch(vst::effSetBlockSize, 0, -1);
  EXPECT_EQ(i.plug.BlockSize(), 1024);
  i.Dispatch(vst::effSetBlockSize, 0, 32);
  EXPECT_EQ(i.plug.BlockSize(), 32);
}

TEST(AdapterTest, StateBodyLayoutAndRoundTrip) {
  Instance i;
  i.plug.MakeDefaultPrograms();
  i.plug.GetParam(kVcfCutoff)->SetPlain(12.5);
  const int chord[] = {0, 4, 7};
  i.plug.SetChordMemory(chord, 3);
  ChunkBuffer body;
  ASSERT_TRUE(i.plug.WriteState(body));
  const std::string name = i.plug.ProgramName(0);
  EXPECT_EQ(body.Size(), 12 + 4 + 4 + static_cast<int>(name.size()) + 51 * 8 + 4 + 3 * 4);
  EXPECT_EQ(std::memcmp(body.Data(), "Tesvar_1.0.0", 12), 0);

  Instance j;
  EXPECT_EQ(j.plug.ReadState(body, 0), body.Size());
  EXPECT_EQ(j.plug.GetParam(kVcfCutoff)->Value(), 12.5);
  ASSERT_EQ(j.plug.ChordNoteCount(), 3);
  EXPECT_EQ(j.plug.ChordNote(2), 7);
  EXPECT_EQ(j.plug.LoadedValues()[kVcfCutoff], 12.5);

  // Cut after two values: those two are restored, the third (bend) reads as 0 clamped, the
  // rest stay.
  ChunkBuffer cut;
  const int valuesAt = 12 + 4 + 4 + static_cast<int>(name.size());
  cut.Assign(body.Data(), valuesAt + 2 * 8 + 3);
  Instance k;
  k.plug.GetParam(kWheelFrequency)->SetPlain(9.0);
  k.plug.GetParam(kMode)->SetPlain(2);
  EXPECT_EQ(k.plug.ReadState(cut, 0), -1);
  EXPECT_EQ(k.plug.GetParam(kTune)->Value(), 0);
  EXPECT_EQ(k.plug.GetParam(kBend)->Value(), 0);
  EXPECT_EQ(k.plug.GetParam(kWheelFrequency)->Value(), 9.0);
  EXPECT_EQ(k.plug.GetParam(kMode)->Value(), 2);

  // A damaged value that is not finite leaves its parameter alone.
  ChunkBuffer nan;
  nan.Assign(body.Data(), body.Size());
  const double notANumber = std::numeric_limits<double>::quiet_NaN();
  std::memcpy(nan.Data() + valuesAt + kVcfCutoff * 8, &notANumber, 8);
  Instance m;
  m.plug.GetParam(kVcfCutoff)->SetPlain(40);
  EXPECT_EQ(m.plug.ReadState(nan, 0), nan.Size());
  EXPECT_EQ(m.plug.GetParam(kVcfCutoff)->Value(), 40);
}

TEST(AdapterTest, KnobsSurviveASampleRateChange) {
  // Regression: a rate change used to put the MG delay step back to 1, so "MG Delay" did
  // nothing after every host set-up until the knob was moved.
  Instance i;
  i.Dispatch(vst::effOpen);
  i.plug.HostSetParameter(kMgDelay, 0.5f);
  const double step = i.plug.Engine().Settings().mgDelayStep;
  EXPECT_NEAR(step, 1.0 / 751.0, 1e-12);
  i.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
  i.Dispatch(vst::effMainsChanged, 0, 1);
  EXPECT_EQ(i.plug.Engine().Settings().mgDelayStep, step);
}

TEST(AdapterTest, InstancesStartFromTheSameOscillatorPhases) {
  Instance a;
  Instance b;
  b.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  b.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Instance c;
  c.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  a.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  for (int v = 0; v < 64; ++v) {
    EXPECT_EQ(a.plug.Engine().GetVoice(v).Dco1().phase, c.plug.Engine().GetVoice(v).Dco1().phase);
    EXPECT_LT(a.plug.Engine().GetVoice(v).Dco2().phase, 1u << 26);  // first half-cycle
  }
}

TEST(AdapterTest, InitProgramRestoresDefaultsAndNamesTheSlot) {
  Instance i;
  i.plug.MakeDefaultPrograms();
  i.plug.SelectPreset(19);
  i.plug.GetParam(kVcfResonance)->SetPlain(6);
  const int chord[] = {0, 3};
  i.plug.SetChordMemory(chord, 2);
  i.plug.InitProgram();
  EXPECT_EQ(i.plug.GetParam(kVcfResonance)->Value(), 0);
  EXPECT_EQ(i.plug.GetParam(kVolume)->Value(), 0.5);
  EXPECT_EQ(i.plug.ChordNoteCount(), 0);
  EXPECT_EQ(i.plug.ProgramName(19), "Program 3-4");
}

TEST(AdapterTest, ProgramNumbersBeyondTheIntRangeSelectNothing) {
  // Regression: the 64-bit value was cut to an int, so 2^32 + 3 selected program 3.
  if constexpr (sizeof(std::intptr_t) == 8) {
    Instance i;
    i.plug.MakeDefaultPrograms();
    i.Dispatch(vst::effSetProgram, 0, 5);
    i.Dispatch(vst::effSetProgram, 0, static_cast<std::intptr_t>((std::int64_t{1} << 32) + 3));
    EXPECT_EQ(i.Dispatch(vst::effGetProgram), 5);
    i.Dispatch(vst::effSetProgram, 0, -1);
    i.Dispatch(vst::effSetProgram, 0, 64);
    EXPECT_EQ(i.Dispatch(vst::effGetProgram), 5);
  }
}

TEST(AdapterTest, TheChordMemoryChangesOnlyUnderThePluginLock) {
  // Regression: SetChordMemory rebuilt the voices without the lock, so it could run in
  // the middle of a render block on the audio thread.
  Instance i;
  std::atomic<bool> done{false};
  std::thread other;
  {
    platform::Guard guard(i.plug.Lock());
    other = std::thread([&] {
      const int chord[] = {0, 5};
      i.plug.SetChordMemory(chord, 2);
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load());
  }
  other.join();
  EXPECT_TRUE(done.load());
  EXPECT_EQ(i.plug.ChordNoteCount(), 2);
}

}  // namespace
