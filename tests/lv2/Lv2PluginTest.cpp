// The LV2 bundle loaded through lilv as hosts load it, against the VST2 library: the same
// sound to the sample, the same state bytes, the factory programs as presets, MIDI thru,
// the file property and the rules of the parameter ports.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/lv2/Lv2TestSupport.h"
#include "tools/HostPrograms.h"
#include "tools/Renderer.h"

namespace {

constexpr double kRate = 44100.0;

// Program 35 of the current (first factory) bank.
constexpr int kProgram35 = 2 * 8 + 4;

// The VST2 library told of blocks of `announced` frames and called with `callFrames` at a time.
Stereo PlayVst2(PluginHost& host, const std::vector<TimedMidi>& events, double seconds, int announced, int callFrames) {
  host.Dispatch(vst::effMainsChanged, 0, 0);
  host.Dispatch(vst::effSetBlockSize, 0, announced);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  RenderSettings settings;
  settings.sampleRate = kRate;
  settings.blockSize = callFrames;
  settings.tailSeconds = 0.0;
  Stereo out;
  std::vector<float> left, right;
  ForEachBlock(
      events, seconds, settings, [&](const std::vector<MidiMessage>& messages) { host.SendMidi(messages); },
      [&](int frames) {
        host.ProcessReplacing(left, right, frames);
        out.left.insert(out.left.end(), left.begin(), left.begin() + frames);
        out.right.insert(out.right.end(), right.begin(), right.begin() + frames);
      });
  return out;
}

std::vector<std::uint8_t> Vst2BankChunk(PluginHost& host) {
  void* data = nullptr;
  const auto size = host.Dispatch(vst::effGetChunk, 0, 0, &data);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return size > 0 ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

void SelectLv2Program(Lv2Host& host, int program) {
  Lv2Host::State state = SavedState(host);
  state[lv2uris::kStateProgram] = IntValue(program);
  ASSERT_EQ(host.RestoreState(state), 0);
}

TEST(Lv2Plugin, SoundsLikeTheVst2BuildToTheSample) {
  // The host's announced block against the length of its runs: equal, shorter runs, and
  // runs longer than announced (which the plug-in cuts into pieces). The VST2 library is
  // called alike: where a block starts decides which tick a queued controller waits for.
  const struct {
    int announced;
    int runFrames;
    int program;
  } cases[] = {{512, 512, 0}, {256, 100, kProgram35}, {256, 1000, kProgram35}, {64, 64, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE("announced " + std::to_string(c.announced) + ", runs of " + std::to_string(c.runFrames) +
                 ", program index " + std::to_string(c.program));
    Lv2HostSettings settings;
    settings.sampleRate = kRate;
    settings.blockSize = c.announced;
    auto lv2 = LoadLv2(settings);
    auto vst2 = LoadPlugin();
    ASSERT_TRUE(lv2 && vst2);
    SelectLv2Program(*lv2, c.program);
    vst2->Dispatch(vst::effSetProgram, 0, c.program);
    const Stereo a = PlayLv2(*lv2, ShortPhrase(), 1.6, kRate, c.runFrames);
    const Stereo b = PlayVst2(*vst2, ShortPhrase(), 1.6, c.announced, c.runFrames);
    EXPECT_GT(Peak(b), 0.01);
    EXPECT_LE(LargestDifference(a.left, b.left), 1e-6);
    EXPECT_LE(LargestDifference(a.right, b.right), 1e-6);
  }
}

TEST(Lv2Plugin, NeedsNoFeatureButTheUridMap) {
  // As lv2bench and the simplest hosts load it: no options (the block length unknown), no
  // worker, no log. The same sound as with all of them, announced at the plug-in's default.
  Lv2HostSettings bare;
  bare.offerOptions = false;
  bare.offerWorker = false;
  bare.offerLog = false;
  Lv2HostSettings full;
  full.blockSize = 1024;
  auto a = LoadLv2(bare);
  auto b = LoadLv2(full);
  ASSERT_TRUE(a && b);
  const Stereo sa = PlayLv2(*a, ShortPhrase(), 1.4, kRate, 1024);
  const Stereo sb = PlayLv2(*b, ShortPhrase(), 1.4, kRate, 1024);
  EXPECT_TRUE(AllFinite(sa));
  EXPECT_GT(Peak(sa), 0.01);
  EXPECT_EQ(sa.left, sb.left);
  EXPECT_EQ(sa.right, sb.right);
}

TEST(Lv2Plugin, StateIsTheVst2BankChunkAndComesBackWhole) {
  auto lv2 = LoadLv2();
  auto vst2 = LoadPlugin();
  ASSERT_TRUE(lv2 && vst2);
  // A fresh instance of either format saves the same bank.
  EXPECT_EQ(SavedState(*lv2)[lv2uris::kStateBank].bytes, Vst2BankChunk(*vst2));
  EXPECT_EQ(SavedState(*lv2)[lv2uris::kStateBank].type, kChunkType);

  // Edited: a program chosen by MIDI, a parameter set by the host's port.
  lv2->AddMidi(0, {0xC0, 12});
  lv2->Run(256);
  lv2->Control(16) = 21.5f;  // VCF cutoff
  lv2->Run(256);
  const Lv2Host::State saved = SavedState(*lv2);
  EXPECT_EQ(SavedProgram(*lv2), 12);

  auto restored = LoadLv2();
  ASSERT_TRUE(restored);
  ASSERT_EQ(restored->RestoreState(saved), 0);
  // As many frames as the first instance ran: the modulation generator runs freely.
  restored->Run(256);
  restored->Run(256);
  EXPECT_EQ(SavedState(*restored)[lv2uris::kStateBank].bytes, saved.at(lv2uris::kStateBank).bytes);
  EXPECT_EQ(SavedProgram(*restored), 12);
  const Stereo a = PlayLv2(*lv2, ShortPhrase(), 1.4, kRate, 256);
  const Stereo b = PlayLv2(*restored, ShortPhrase(), 1.4, kRate, 256);
  EXPECT_GT(Peak(a), 0.01);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
}

TEST(Lv2Plugin, PresetsAreTheFactoryProgramsAsThePanelNamesThem) {
  auto lv2 = LoadLv2();
  ASSERT_TRUE(lv2);
  const std::vector<Lv2Host::Preset> presets = lv2->Presets();
  EXPECT_EQ(presets.size(), 192u);
  std::string veltrum35;
  bool fatBrass = false;
  for (const auto& p : presets) {
    fatBrass |= p.label == "Poly-61 Factory Sounds 11: Fat Brass";
    if (p.uri == std::string(lv2uris::kPresetBase) + "veltrum-35") veltrum35 = p.label;
  }
  EXPECT_TRUE(fatBrass);
  ASSERT_FALSE(veltrum35.empty());

  // Loading a preset gives the current program that factory program (its values, chord
  // memory and name), as the VST2 library does with the bank file's program.
  ASSERT_TRUE(lv2->ApplyPreset(std::string(lv2uris::kPresetBase) + "veltrum-35"));
  auto vst2 = LoadPlugin();
  ASSERT_TRUE(vst2);
  std::vector<std::uint8_t> fxb;
  ASSERT_TRUE(ReadWholeFile(TESVAR_BANK_DIR "/veltrum.fxb", &fxb));
  std::string error;
  ASSERT_TRUE(LoadProgramFile(*vst2, fxb, &error)) << error;
  vst2->Dispatch(vst::effSetProgram, 0, kProgram35);
  EXPECT_EQ(veltrum35, "Veltrum's Factory Sounds 35: " + vst2->Text(vst::effGetProgramName, 0));
  const Stereo a = PlayLv2(*lv2, ShortPhrase(), 1.4, kRate, 512);
  const Stereo b = PlayVst2(*vst2, ShortPhrase(), 1.4, 512, 512);
  EXPECT_GT(Peak(b), 0.01);
  EXPECT_LE(LargestDifference(a.left, b.left), 1e-6);
  EXPECT_LE(LargestDifference(a.right, b.right), 1e-6);
}

TEST(Lv2Plugin, ParameterPortsActOnlyWhenTheHostChangesThem) {
  auto lv2 = LoadLv2();
  ASSERT_TRUE(lv2);
  lv2->Run(128);
  const auto bankOf = [&] { return SavedState(*lv2)[lv2uris::kStateBank].bytes; };
  const std::vector<std::uint8_t> start = bankOf();

  // Ports left at their defaults never undo the program the plug-in plays, nor one chosen
  // by MIDI later.
  for (int i = 0; i < 4; ++i) lv2->Run(128);
  EXPECT_EQ(bankOf(), start);
  lv2->AddMidi(0, {0xC0, 3});
  for (int i = 0; i < 4; ++i) lv2->Run(128);
  EXPECT_EQ(SavedProgram(*lv2), 3);
  const std::vector<std::uint8_t> program3 = bankOf();

  // Values a port cannot take change nothing; values outside the range are limited to it.
  const struct {
    int index;
    float value;
    bool changes;
  } writes[] = {{16, NAN, false}, {16, INFINITY, false}, {16, -INFINITY, false}, {0, 7.0f, true}, {16, 12.25f, true}};
  for (const auto& w : writes) {
    SCOPED_TRACE("parameter " + std::to_string(w.index) + " = " + std::to_string(w.value));
    const std::vector<std::uint8_t> before = bankOf();
    lv2->Control(w.index) = w.value;
    lv2->Run(128);
    EXPECT_EQ(bankOf() != before, w.changes);
    const Stereo s = PlayLv2(*lv2, {{0.0, 0x90, 60, 100}}, 0.05, kRate, 128);
    EXPECT_TRUE(AllFinite(s));
  }
  EXPECT_EQ(SavedProgram(*lv2), 3);
  EXPECT_NE(bankOf(), program3);
}

TEST(Lv2Plugin, StateOutranksThePortsSavedWithItButNotLaterOnes) {
  // Saved while the host's cutoff port still held a value the plug-in had left since: the
  // port was set, then a MIDI program change replaced the program.
  auto original = LoadLv2();
  ASSERT_TRUE(original);
  original->Control(16) = 20.0f;
  original->Run(128);
  original->AddMidi(0, {0xC0, 3});
  original->Run(128);
  const Lv2Host::State saved = SavedState(*original);
  const std::vector<std::uint8_t> bank = saved.at(lv2uris::kStateBank).bytes;

  // Hosts set the ports they saved before the state (Ardour), after it (lilv), or not at
  // all; either way the state stands. A value written after that acts.
  enum class Ports { kBefore, kAfter, kLeft };
  const struct {
    const char* order;
    Ports saved;
    float later;  // written after the saved port values; 0: none
  } orders[] = {{"saved ports, then the state", Ports::kBefore, 0.0f},
                {"the state, then the saved ports", Ports::kAfter, 0.0f},
                {"the state, the ports left as they were", Ports::kLeft, 0.0f},
                {"the state, the saved ports, then a new value", Ports::kAfter, 30.0f},
                {"the state, then a new value", Ports::kLeft, 30.0f}};
  for (const auto& o : orders) {
    SCOPED_TRACE(o.order);
    auto host = LoadLv2();
    ASSERT_TRUE(host);
    if (o.saved == Ports::kBefore) host->Control(16) = 20.0f;
    ASSERT_EQ(host->RestoreState(saved), 0);
    if (o.saved == Ports::kAfter) host->Control(16) = 20.0f;
    if (o.later != 0.0f) host->Control(16) = o.later;
    host->Run(128);
    EXPECT_EQ(SavedState(*host)[lv2uris::kStateBank].bytes == bank, o.later == 0.0f);
    EXPECT_EQ(SavedProgram(*host), 3);
  }
}

TEST(Lv2Plugin, MidiThruEchoesTheChannelMessagesAtTheirFrames) {
  auto lv2 = LoadLv2();
  ASSERT_TRUE(lv2);
  // MIDI thru is a global setting of the configuration file, read by new instances.
  const std::filesystem::path folder = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "QuellmarkMusic";
  std::filesystem::create_directories(folder);
  { std::ofstream(folder / "tesvar.ini") << "[MIDI Global]\nMIDI Thru=true\n"; }
  auto thru = LoadLv2();
  std::filesystem::remove(folder / "tesvar.ini");
  ASSERT_TRUE(thru);
  const std::vector<Lv2Host::MidiOut> sent = {
      {0, {0x90, 60, 100}}, {17, {0xB3, 7, 90}}, {17, {0xE0, 0, 80}}, {200, {0xD1, 40}}, {511, {0x80, 60, 0}}};
  for (const auto& m : sent) thru->AddMidi(m.frame, m.bytes);
  thru->AddMidi(300, {0xF0, 0x7E, 0x01, 0xF7});  // system exclusive: not echoed
  thru->Run(512);
  ASSERT_EQ(thru->MidiOutput().size(), sent.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(thru->MidiOutput()[i].frame, sent[i].frame);
    EXPECT_EQ(thru->MidiOutput()[i].bytes, sent[i].bytes);
  }
  // Without the setting nothing is echoed.
  lv2->AddMidi(0, {0x90, 60, 100});
  lv2->Run(512);
  EXPECT_TRUE(lv2->MidiOutput().empty());
}

TEST(Lv2Plugin, FilesLoadOnTheWorkerAndOnlyWithOne) {
  const std::string veltrum = TESVAR_BANK_DIR "/veltrum.fxb";
  std::vector<std::uint8_t> file;
  ASSERT_TRUE(ReadWholeFile(veltrum, &file));
  const std::vector<std::uint8_t> veltrumChunk(file.begin() + 160, file.end());

  auto lv2 = LoadLv2();
  ASSERT_TRUE(lv2);
  lv2->RequestFile(0, veltrum);
  lv2->Run(256);  // the request, then its work after the run
  lv2->Run(256);  // the property's new value goes out
  const std::vector<std::string>& out = lv2->OtherOutput();
  EXPECT_NE(std::find(out.begin(), out.end(), "http://lv2plug.in/ns/ext/atom#Object"), out.end());
  // The bank is the file's, with the program edits the plug-in stores on saving.
  std::vector<std::uint8_t> bank = SavedState(*lv2)[lv2uris::kStateBank].bytes;
  EXPECT_EQ(BankChunkNames(bank), BankChunkNames(veltrumChunk));

  // A file of another plug-in, and any file without a worker, change nothing.
  const std::string foreign = (std::filesystem::temp_directory_path() / "tesvar-foreign.fxb").string();
  file[19] ^= 1;  // the plug-in ID
  ASSERT_TRUE(WriteWholeFile(foreign, file));
  lv2->RequestFile(0, foreign);
  lv2->Run(256);
  EXPECT_EQ(SavedState(*lv2)[lv2uris::kStateBank].bytes, bank);
  std::filesystem::remove(foreign);

  Lv2HostSettings noWorker;
  noWorker.offerWorker = false;
  auto plain = LoadLv2(noWorker);
  ASSERT_TRUE(plain);
  bank = SavedState(*plain)[lv2uris::kStateBank].bytes;
  plain->RequestFile(0, veltrum);
  plain->Run(256);
  plain->Run(256);
  EXPECT_EQ(SavedState(*plain)[lv2uris::kStateBank].bytes, bank);
}

}  // namespace
