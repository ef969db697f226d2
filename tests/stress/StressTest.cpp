// Every host thread at once on the built plug-in: two instances under load (audio with
// notes and system-exclusive events, automation, program switches and renames, chunks and
// files) while two quiet instances at other sample rates hold a note whose pitch is
// measured all along. No race (the ThreadSanitizer build), no deadlock (the watchdog), no
// value that is not a number, no note left sounding after its note off, no drift.
// TESVAR_STRESS_SECONDS sets the length (CI runs 30 s), TESVAR_STRESS_SEED replays a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "resources/ParameterInfo.h"
#include "tests/stress/StressActors.h"
#include "tests/vst2/HostTestSupport.h"
#include "tools/HostPrograms.h"

namespace {

using namespace stress;

void PutInt(std::vector<std::uint8_t>& out, std::int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}
void PutBig(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
  PutInt(out, static_cast<std::int32_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

// A program chunk with every parameter at its default: one sawtooth, the filter open, no
// modulation and no effect, a steady note for pitch measurement.
std::vector<std::uint8_t> PlainProgramChunk() {
  std::vector<std::uint8_t> chunk;
  PutInt(chunk, 0x70666674);  // "tffp"
  PutInt(chunk, 0x00010000);
  const char tag[] = "Tesvar_1.0.0";
  chunk.insert(chunk.end(), tag, tag + 12);
  PutInt(chunk, 0);
  PutText(chunk, "Probe");
  for (const resources::ParameterInfo& info : resources::kParameterInfo) {
    std::uint64_t bits;
    std::memcpy(&bits, &info.defaultValue, 8);
    for (int i = 0; i < 8; ++i) chunk.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  }
  PutInt(chunk, 0);  // no chord memory
  PutText(chunk, "Probe");
  return chunk;
}

// The host's program chunk wrapped as an FXP file.
std::vector<std::uint8_t> ProgramFile(PluginHost& host) {
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, 1, 0, &data);
  std::vector<std::uint8_t> file;
  PutBig(file, 0x43636E4B);  // "CcnK"
  PutBig(file, 0);           // the byte size, filled in below
  PutBig(file, 0x46504368);  // "FPCh"
  PutBig(file, 1);
  PutBig(file, static_cast<std::uint32_t>(host.Effect()->uniqueID));
  PutBig(file, static_cast<std::uint32_t>(host.Effect()->version));
  PutBig(file, static_cast<std::uint32_t>(host.Effect()->numParams));
  const std::string name = host.Text(vst::effGetProgramName, 0).substr(0, 27);
  file.insert(file.end(), name.begin(), name.end());
  file.resize(file.size() + 28 - name.size(), 0);
  PutBig(file, static_cast<std::uint32_t>(size));
  file.insert(file.end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  const auto byteSize = static_cast<std::uint32_t>(file.size() - 8);
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>(byteSize >> (8 * (3 - i)));
  return file;
}

TEST(StressTest, EveryThreadAtOnce) {
  const StressConfig config = ConfigFromEnvironment(3.0);
  std::printf("stress: seed %llu, %.0f s (replay: TESVAR_STRESS_SEED=%llu TESVAR_STRESS_SECONDS=%g)\n",
              static_cast<unsigned long long>(config.seed), config.seconds,
              static_cast<unsigned long long>(config.seed), config.seconds);
  // One instance in a plain host, one in a host that asks for program chunks only.
  auto first = LoadPlugin();
  auto second = LoadPlugin("Tesvar Test Host", "Native Instruments");
  auto probe44 = LoadPlugin();
  auto probe96 = LoadPlugin();
  ASSERT_TRUE(first && second && probe44 && probe96);
  Configure(*first, 44100.0f, 512);
  Configure(*second, 48000.0f, 256);
  Configure(*probe44, 44100.0f, 256);
  Configure(*probe96, 96000.0f, 256);
  const std::vector<std::uint8_t> plain = PlainProgramChunk();
  for (PluginHost* probe : {probe44.get(), probe96.get()}) {
    ASSERT_EQ(probe->Dispatch(vst::effSetChunk, 1, static_cast<std::intptr_t>(plain.size()),
                              const_cast<std::uint8_t*>(plain.data())),
              1);
    probe->SendMidi({{0, 0x90, 69, 100}});
    std::vector<float> left, right;
    probe->ProcessReplacing(left, right, 8192);  // past the attack
  }

  // Files as a user keeps them: the factory banks, a bank and a program saved here.
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("tesvar-stress-" + std::to_string(config.seed));
  fs::create_directories(folder);
  std::vector<std::string> files;
  for (const char* bank : {"factory.fxb", "quellmark.fxb", "veltrum.fxb"}) {
    files.push_back(std::string(TESVAR_BANK_DIR) + "/" + bank);
  }
  files.push_back((folder / "saved.fxb").string());
  ASSERT_TRUE(WriteWholeFile(files.back(), SaveBankFile(*first)));
  files.push_back((folder / "saved.fxp").string());
  ASSERT_TRUE(WriteWholeFile(files.back(), ProgramFile(*first)));

  StressCounters counters;
  AudioActor audioFirst(*first, 512, counters);
  AudioActor audioSecond(*second, 256, counters);
  HostActor automation({first.get(), second.get()}, second.get(), {48000.0f, 88200.0f}, counters);
  UserInterfaceActor userInterface({first.get(), second.get()}, files, counters);
  TuningProbeActor tuning({{probe44.get(), 44100.0}, {probe96.get(), 96000.0}}, counters);
  std::vector<StressActor*> actors = {&audioFirst, &audioSecond, &automation, &userInterface, &tuning};
  RunActors(actors, config, 60.0);
  fs::remove_all(folder);

  EXPECT_EQ(counters.nonFinite, 0) << "samples or parameter values that are not numbers";
  EXPECT_EQ(counters.ownChunksRefused, 0) << "chunks the plug-in gave and then refused";
  EXPECT_EQ(counters.missingChunks, 0) << "chunk requests answered with nothing";
  EXPECT_EQ(counters.goodFilesRefused, 0) << "good program and bank files refused";
  EXPECT_LT(PeakAfterEveryNoteOff(*first), 1e-4) << "a note kept sounding after its note off";
  EXPECT_LT(PeakAfterEveryNoteOff(*second), 1e-4) << "a note kept sounding after its note off";
  for (const TuningProbeActor::Probe& probe : tuning.Probes()) {
    EXPECT_GT(probe.windows, 0);
    EXPECT_LT(probe.worstCents, 0.01) << "the instance at " << probe.sampleRate << " Hz left its pitch";
  }

  std::printf(
      "stress: %ld blocks, %ld notes, %ld system-exclusive dumps; %ld parameter changes, %ld rate changes;\n"
      "        %ld program switches, %ld renames, %ld chunk round trips, %ld of the damaged chunks refused,\n"
      "        %ld files loaded\n",
      counters.blocks.load(), counters.notes.load(), counters.sysex.load(), counters.parameterChanges.load(),
      counters.rateChanges.load(), counters.programSwitches.load(), counters.renames.load(),
      counters.chunkRoundTrips.load(), counters.chunksRefused.load(), counters.filesLoaded.load());
  for (const TuningProbeActor::Probe& probe : tuning.Probes()) {
    std::printf("stress: at %.0f Hz %ld pitch windows, largest deviation from 440 Hz %.5f cent\n", probe.sampleRate,
                probe.windows, probe.worstCents);
  }
}

}  // namespace
