// The voice paths agree: the SSE2 and AVX2 paths render exactly the scalar path's samples,
// at any block size, for patches across every parameter, in all three key-assign modes and
// at three rates; voices that do not sound are left as they were; the environment picks
// the path.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "tests/SanitizedBuild.h"
#include "engine/RenderLoop.h"
#include "tests/engine/VoiceRig.h"

namespace engine {
namespace {

using engine_test::kParams;

class ScriptedMidi : public TickSource {
 public:
  struct Message {
    int at;  // absolute sample
    std::uint8_t status, data1, data2;
  };
  void Add(int at, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    messages_.push_back({at, status, data1, data2});
  }
  void DispatchQueuedMidi(int tickStart, int tickEnd, VoiceEventQueue& events) override {
    while (!messages_.empty() && messages_.front().at - blockStart_ < tickEnd) {
      const Message& m = messages_.front();
      if (!events.Push(m.at - blockStart_ - tickStart, m.status, m.data1, m.data2)) return;
      messages_.pop_front();
    }
  }
  void EndBlock(int frames) override { blockStart_ += frames; }

 private:
  std::deque<Message> messages_;  // in time order
  int blockStart_ = 0;
};

// A deterministic pseudo-random patch: every voice, filter, envelope, modulation and
// effect parameter somewhere in its range.
class Patch {
 public:
  explicit Patch(std::uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  double Uniform() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }
  void ApplyTo(RenderLoop& loop) {
    for (int index = 7; index < 44; ++index) {
      if (index == 34) continue;  // effects mode: chosen by the caller
      const auto& p = kParams[index];
      double v = p.min + Uniform() * (p.max - p.min);
      // List and stepped parameters take whole values.
      if (p.max - p.min >= 2.0 && index != 1 && index != 3 && index != 41 && index != 42) v = static_cast<int>(v + 0.5);
      Set(loop, index, v);
    }
    Set(loop, 0, 0.5);
  }
  static void Set(RenderLoop& loop, int index, double v) {
    const auto& p = kParams[index];
    const double x = (v - p.min) / (p.max - p.min);
    loop.ApplyParameter(index, v, p.shape == 1 ? x : std::pow(x, 1.0 / p.shape));
  }

 private:
  std::uint32_t state_;
};

// Renders `total` samples in blocks of `block` samples into one interleaved stereo vector,
// calling between(pos, b) before block b (which starts at sample pos).
template <class Between>
std::vector<double> RenderBlocks(RenderLoop& loop, TickSource& midi, int total, int block, Between&& between) {
  loop.SetTickSource(&midi);
  std::vector<double> out(2 * static_cast<std::size_t>(total));
  std::vector<double> left(block), right(block);
  for (int pos = 0, b = 0; pos < total; pos += block, ++b) {
    between(pos, b);
    const int frames = std::min(block, total - pos);
    double* outputs[2] = {left.data(), right.data()};
    loop.RenderBlock(outputs, frames);
    for (int i = 0; i < frames; ++i) {
      out[2 * (pos + i)] = left[i];
      out[2 * (pos + i) + 1] = right[i];
    }
  }
  loop.SetTickSource(nullptr);
  return out;
}

struct Session {
  std::uint32_t seed;
  int mode;
  int effect;
  double rate;
};

// A third of a second: chords, a sustained and a stolen note, releases, and parameter,
// bend and wheel changes while notes sound (at multiples of 512 samples, where every block
// size tried here has a block boundary).
std::vector<double> Render(VoicePath path, const Session& s, int block) {
  auto loop = std::make_unique<RenderLoop>();
  loop->SetVoicePath(path);
  loop->ResetEngine(s.rate);
  Patch patch(s.seed);
  patch.ApplyTo(*loop);
  const int chord[3] = {4, 7, 12};
  loop->SetChordMemory(chord, 3);
  Patch::Set(*loop, 5, s.mode);
  Patch::Set(*loop, 6, 2 + s.seed % 6);
  Patch::Set(*loop, 34, s.effect);
  loop->FinishConstruction();
  ScriptedMidi midi;
  const int total = static_cast<int>(s.rate / 3);
  const int third = total / 3;
  for (int k = 0; k < 5; ++k) midi.Add(7 + 13 * k, 0x90, static_cast<std::uint8_t>(41 + 5 * k), 90);
  midi.Add(third - 5, 0xB0, 64, 127);
  midi.Add(third, 0x80, 41, 0);
  midi.Add(third + 1, 0x80, 46, 0);
  for (int k = 0; k < 9; ++k) midi.Add(third + 20 + 31 * k, 0x90, static_cast<std::uint8_t>(60 + 2 * k), 100);
  midi.Add(2 * third, 0xB0, 64, 0);
  for (int k = 0; k < 9; ++k) midi.Add(2 * third + 3 * k, 0x80, static_cast<std::uint8_t>(60 + 2 * k), 0);
  return RenderBlocks(*loop, midi, total, block, [&](int pos, int) {
    if (pos % 512 == 0) {
      switch ((pos / 512) % 8) {
        case 2: Patch::Set(*loop, 9, (pos / 4096) % 3); break;  // DCO1 wave between ticks
        case 3: loop->SetPitchBend(patch.Uniform() * 2.0 - 1.0); break;
        case 4: loop->SetModWheel(patch.Uniform()); break;
        case 5: Patch::Set(*loop, 16, static_cast<int>(patch.Uniform() * 63)); break;
        case 6: Patch::Set(*loop, 17, static_cast<int>(patch.Uniform() * 7)); break;
        case 7: Patch::Set(*loop, 20, (pos / 4096) % 2); break;
        default: break;
      }
    }
  });
}

// The first sample where two renders differ, or -1.
long FirstDifference(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // Bit for bit: equal values, or both NaN (which no render should hold anyway).
    if (!(a[i] == b[i] || (a[i] != a[i] && b[i] != b[i]))) return static_cast<long>(i / 2);
  }
  return -1;
}

// The sanitizer builds run many times slower (the address one unoptimised): there the sweep
// keeps a sample of its cases, and the release build runs it whole.
#if TESVAR_SANITIZED_BUILD
constexpr bool kShortSweep = true;
#else
constexpr bool kShortSweep = false;
#endif

TEST(VoicePathTest, EveryPathAndBlockSizeRendersTheScalarSamples) {
  const VoicePath best = BestVoicePath();
  int compared = 0;
  for (std::uint32_t seed = 1; seed <= (kShortSweep ? 1u : 4u); ++seed) {
    for (int mode = 0; mode < 3; ++mode) {
      for (double rate : {44100.0, 48000.0, 96000.0}) {
        if (kShortSweep && rate != 44100.0) continue;
        const Session s{seed, mode, static_cast<int>((seed + mode) % 4), rate};
        const std::vector<double> reference = Render(VoicePath::kScalar, s, 512);
        double peak = 0.0;
        for (double v : reference) peak = std::max(peak, std::fabs(v));
        ASSERT_GT(peak, 1e-3) << "seed " << seed << " mode " << mode << ": the session should sound";
        // The changes fall on block edges for blocks of 1, 64 and 512 (multiples of 512), so
        // those render the 512 reference exactly; at 7 and 4096 they fall elsewhere, and each
        // path renders the scalar samples of the same block size.
        for (int block : {1, 7, 64, 512, 4096}) {
          const bool aligned = 512 % block == 0;
          const std::vector<double> scalar = block == 512 ? reference : Render(VoicePath::kScalar, s, block);
          for (VoicePath path : kVoicePaths) {
            if (static_cast<int>(path) > static_cast<int>(best)) continue;
            if (path == VoicePath::kScalar && (block == 512 || !aligned)) continue;
            const std::vector<double> render = path == VoicePath::kScalar ? scalar : Render(path, s, block);
            const long at = FirstDifference(aligned ? reference : scalar, render);
            EXPECT_EQ(at, -1) << VoicePathName(path) << " block " << block << " seed " << seed << " mode " << mode
                              << " effect " << s.effect << " rate " << rate;
            ++compared;
          }
        }
      }
    }
  }
  std::printf("compared %d renders with the scalar path (best path here: %s)\n", compared, VoicePathName(best));
}

// The voice path keeps its lanes between control ticks and host blocks. Every change
// between blocks (a voice-patch parameter before every block, and in turn the pedal, all
// notes off, a reset, a chord capture, reading a voice, any other parameter) must reach
// the voices exactly as if the lanes were loaded afresh for every block: the reference is
// the scalar path told to switch to itself before every block (which writes the lanes back
// and lets them go). Blocks of 1, 7 and 13 samples change the patch at every tick and end
// inside ticks; 44 is one tick; 4096 holds many ticks and events.
std::vector<double> RenderWithChanges(VoicePath path, int block, bool reloadEveryBlock) {
  auto loop = std::make_unique<RenderLoop>();
  loop->SetVoicePath(path);
  loop->ResetEngine(44100.0);
  Patch patch(11);
  patch.ApplyTo(*loop);
  Patch::Set(*loop, 6, 7);    // 64 voices
  Patch::Set(*loop, 28, 12);  // EG2 sustain
  loop->FinishConstruction();
  ScriptedMidi midi;
  const int total = 12000;
  for (int at = 5, k = 0; at < total; at += 97, ++k) {
    midi.Add(at, 0x90, static_cast<std::uint8_t>(40 + (k * 7) % 40), 100);
    if (k % 3 != 0) midi.Add(at + 300, 0x80, static_cast<std::uint8_t>(40 + (k * 7) % 40), 0);
  }
  return RenderBlocks(*loop, midi, total, block, [&](int, int b) {
    if (reloadEveryBlock) loop->SetVoicePath(loop->GetVoicePath());
    // One of the parameters the voice patch holds (DCO octaves ... EG2 release), leaving out
    // pulse width and PWM rate, which only the control tick reads.
    int index = 8 + (b * 5) % 22;
    if (index == 10 || index == 11) index = 16;
    const auto& p = kParams[index];
    Patch::Set(*loop, index, p.min + static_cast<int>(patch.Uniform() * (p.max - p.min + 0.99)));
    switch (b % 9) {
      case 0: {
        int index = 7 + static_cast<int>(patch.Uniform() * 37);
        if (index == 34 || index == 5 || index == 6) index = 16;  // mode and grid changes silence the notes
        const auto& p = kParams[index];
        Patch::Set(*loop, index, p.min + static_cast<int>(patch.Uniform() * (p.max - p.min + 0.99)));
        break;
      }
      case 1: loop->SetHold(b % 4 == 1); break;
      case 2: EXPECT_GE(loop->GetVoice(b % 64).Note(), 0); break;
      case 3: loop->SetPitchBend(patch.Uniform() * 2.0 - 1.0); break;
      case 4: loop->CaptureChord(); break;
      case 5: loop->ResetEngine(44100.0); break;
      case 6:
        if (b % 90 == 6) loop->AllNotesOff();
        break;
      case 7: Patch::Set(*loop, 16, static_cast<int>(patch.Uniform() * 63)); break;  // cutoff
      default: break;
    }
  });
}

TEST(VoicePathTest, ChangesBetweenBlocksReachTheVoicesTheLanesHold) {
  for (int block : {1, 7, 13, 44, 4096}) {
    const std::vector<double> reference = RenderWithChanges(VoicePath::kScalar, block, true);
    double peak = 0.0;
    for (double v : reference) peak = std::max(peak, std::fabs(v));
    ASSERT_GT(peak, 1e-3) << "block " << block;
    for (VoicePath path : kVoicePaths) {
      if (static_cast<int>(path) > static_cast<int>(BestVoicePath())) continue;
      EXPECT_EQ(FirstDifference(reference, RenderWithChanges(path, block, false)), -1)
          << VoicePathName(path) << " block " << block;
    }
  }
}

// A voice that no longer sounds (its amplifier envelope idle) but whose group still
// renders keeps its state: the filter envelope it stopped in, its phases, its filter.
TEST(VoicePathTest, SilentVoicesOfASoundingGroupAreLeftAlone) {
  for (VoicePath path : kVoicePaths) {
    SCOPED_TRACE(VoicePathName(path));
    auto loop = std::make_unique<RenderLoop>();
    loop->SetVoicePath(path);
    loop->ResetEngine(44100.0);
    Patch::Set(*loop, 6, 7);    // 64 voices
    Patch::Set(*loop, 23, 15);  // EG1 sustain full
    Patch::Set(*loop, 24, 15);  // EG1 release: 15 s
    Patch::Set(*loop, 29, 0);   // EG2 release: at once
    Patch::Set(*loop, 28, 15);
    loop->FinishConstruction();
    ScriptedMidi midi;
    midi.Add(0, 0x90, 50, 100);  // voice 1
    midi.Add(0, 0x90, 52, 100);  // voice 2
    midi.Add(4410, 0x80, 50, 0);
    loop->SetTickSource(&midi);
    std::vector<double> left(441), right(441);
    double* outputs[2] = {left.data(), right.data()};
    for (int k = 0; k < 20; ++k) loop->RenderBlock(outputs, 441);
    const Voice before = loop->GetVoice(1);
    ASSERT_FALSE(before.IsActive());
    ASSERT_TRUE(loop->GetVoice(2).IsActive());  // the group still renders
    ASSERT_EQ(before.Eg1().stage, EnvelopeStage::kRelease);
    for (int k = 0; k < 5; ++k) loop->RenderBlock(outputs, 441);
    const Voice& after = loop->GetVoice(1);
    EXPECT_EQ(after.Eg1().level, before.Eg1().level);
    EXPECT_EQ(after.Dco1().phase, before.Dco1().phase);
    EXPECT_EQ(after.Vcf().s1, before.Vcf().s1);
    EXPECT_EQ(after.Vcf().delta, before.Vcf().delta);
    loop->SetTickSource(nullptr);
  }
}

void SetVariable(const char* value) {
#ifdef _WIN32
  _putenv_s("TESVAR_VOICE_PATH", value);
#else
  if (*value == 0) {
    unsetenv("TESVAR_VOICE_PATH");
  } else {
    setenv("TESVAR_VOICE_PATH", value, 1);
  }
#endif
}

TEST(VoicePathTest, TheEnvironmentChoosesAPathThatExists) {
  SetVariable("scalar");
  EXPECT_EQ(std::make_unique<RenderLoop>()->GetVoicePath(), VoicePath::kScalar);
  SetVariable("sse2");
  EXPECT_EQ(std::make_unique<RenderLoop>()->GetVoicePath(), AvailableVoicePath(VoicePath::kSse2));
  SetVariable("avx2");
  EXPECT_EQ(std::make_unique<RenderLoop>()->GetVoicePath(), AvailableVoicePath(VoicePath::kAvx2));
  SetVariable("avx512");
  EXPECT_EQ(std::make_unique<RenderLoop>()->GetVoicePath(), BestVoicePath());
  SetVariable("");
  EXPECT_EQ(std::make_unique<RenderLoop>()->GetVoicePath(), BestVoicePath());
  // A path the processor lacks falls back to the best below it.
  EXPECT_LE(static_cast<int>(AvailableVoicePath(VoicePath::kAvx512)), static_cast<int>(BestVoicePath()));
}

}  // namespace
}  // namespace engine
