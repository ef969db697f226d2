// Through the built plug-in, as a host drives it: every factory program, in Poly, Chord
// and Unison, at 44100, 48000 and 96000 Hz and in blocks of 1, 64, 512 and 4096 frames, renders
// the same samples on the SIMD paths as on the scalar path (double-precision process
// calls). A path the processor lacks falls back to the best below it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/SanitizedBuild.h"
#include "tools/HostPrograms.h"
#include "tools/Renderer.h"

namespace {

void SetVoicePath(const char* name) {
#ifdef _WIN32
  _putenv_s("TESVAR_VOICE_PATH", name);
#else
  setenv("TESVAR_VOICE_PATH", name, 1);
#endif
}

std::vector<std::uint8_t> ReadBank(const std::string& file) {
  std::ifstream in(std::string(TESVAR_BANK_DIR) + "/" + file, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The sanitizer builds run many times slower (the address one unoptimised): there the sweep
// keeps a sample of its cases, and the release build runs it whole.
#if TESVAR_SANITIZED_BUILD
constexpr bool kShortSweep = true;
#else
constexpr bool kShortSweep = false;
#endif

// One instance on `path` plays every program of the bank in each mode: a chord with a
// bend, released before the next program starts. Returns both channels of everything.
std::vector<double> PlayBank(const char* path, const std::vector<std::uint8_t>& bank, double rate, int block) {
  SetVoicePath(path);
  PluginHost host;
  EXPECT_TRUE(host.Load(TESVAR_PLUGIN_PATH)) << host.Error();
  SetVoicePath("");
  host.Start(rate, block);
  std::string error;
  EXPECT_TRUE(LoadProgramFile(host, bank, &error)) << error;
  const std::vector<TimedMidi> phrase = {{0.0, 0x90, 48, 100}, {0.004, 0x90, 55, 90}, {0.009, 0x90, 64, 80},
                                         {0.02, 0xE0, 0, 80},  {0.03, 0x80, 48, 0},   {0.03, 0x80, 55, 0},
                                         {0.03, 0x80, 64, 0},  {0.035, 0xE0, 0, 64}};
  RenderSettings settings;
  settings.sampleRate = rate;
  settings.blockSize = block;
  settings.tailSeconds = 0.01;
  std::vector<double> out;
  std::vector<double> left, right;
  for (int program = 0; program < 64; program += kShortSweep ? 4 : 1) {
    host.Dispatch(vst::effSetProgram, 0, program);
    for (float mode : {0.0f, 0.5f, 1.0f}) {
      host.SetParameter(5, mode);  // Poly, Chord, Unison
      RunBlocks(host, phrase, 0.04, settings, [&](int frames) {
        host.ProcessDouble(left, right, frames);
        for (int i = 0; i < frames; ++i) {
          out.push_back(left[i]);
          out.push_back(right[i]);
        }
      });
    }
  }
  host.Close();
  return out;
}

TEST(VoicePathHostTest, EveryFactoryProgramSoundsTheSameOnEveryPath) {
  for (const char* file : {"factory.fxb", "quellmark.fxb", "veltrum.fxb"}) {
    const std::vector<std::uint8_t> bank = ReadBank(file);
    ASSERT_GT(bank.size(), 1000u) << file;
    if (kShortSweep && std::string(file) != "factory.fxb") continue;
    for (double rate : {44100.0, 48000.0, 96000.0}) {
      if (kShortSweep && rate != 44100.0) continue;
      // Per block size: the shell reads a bend at the next control tick it dispatches, so a
      // host block that splits a tick moves the bend by a tick, on every path alike.
      for (int block : {1, 64, 512, 4096}) {
        const std::vector<double> reference = PlayBank("scalar", bank, rate, block);
        double peak = 0.0;
        for (double v : reference) peak = std::max(peak, std::fabs(v));
        ASSERT_GT(peak, 0.01) << file;
        for (const char* path : {"sse2", "avx2", "avx512"}) {
          const std::vector<double> render = PlayBank(path, bank, rate, block);
          ASSERT_EQ(render.size(), reference.size());
          std::size_t differ = 0, first = render.size();
          for (std::size_t i = 0; i < render.size(); ++i) {
            if (render[i] != reference[i]) {
              ++differ;
              if (first == render.size()) first = i;
            }
          }
          EXPECT_EQ(differ, 0u) << file << " " << rate << " Hz, " << path << ", block " << block
                                << ": first difference at frame " << first / 2;
        }
      }
    }
  }
}

}  // namespace
