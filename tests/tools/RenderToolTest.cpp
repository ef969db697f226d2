// The renderer's work through the built plug-in: a tape dump's programs reach the plug-in
// intact, FXP/FXB files round-trip through the host side, and the command line refuses bad
// input without writing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "resources/ParameterInfo.h"
#include "tape/TapeEncoder.h"
#include "tape/WavWriter.h"
#include "tools/HostPrograms.h"
#include "tools/RenderOptions.h"

namespace {

namespace fs = std::filesystem;

fs::path TempFolder() {
  std::random_device random;
  const fs::path folder = fs::temp_directory_path() / ("tesvar-render-" + std::to_string(random()));
  fs::create_directories(folder);
  ::setenv("HOME", folder.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (folder / ".config").c_str(), 1);
  return folder;
}

double Normalised(int index, double plain) {
  const resources::ParameterInfo& info = resources::kParameterInfo[static_cast<std::size_t>(index)];
  return std::pow((plain - info.minValue) / (info.maxValue - info.minValue), 1.0 / info.shape);
}

TEST(RenderToolTest, TapeDumpProgramsArriveInThePlugin) {
  const fs::path folder = TempFolder();
  // Random programs within the hardware's fields, through the encoder and a WAV file.
  std::mt19937 random(7);
  tape::TapeData data{};
  for (auto& byte : data) byte = static_cast<std::uint8_t>(random());
  const tape::TapeBank expected = tape::MapPrograms(data);
  tape::TapeSignalOptions options;
  const tape::TapeSignal signal = tape::EncodeTapeDump(data, options);
  const std::string wav = (folder / "dump.wav").string();
  ASSERT_TRUE(tape::WriteFileBytes(wav, tape::EncodeWav(signal.samples, {}, tape::WavLayout{})));

  PluginHost host;
  ASSERT_TRUE(host.Load(TESVAR_PLUGIN_PATH)) << host.Error();
  host.Start();
  host.Dispatch(vst::effSetProgram, 0, 9);
  std::string error;
  ASSERT_TRUE(ImportTapeDump(host, wav, &error)) << error;
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 9);
  for (int p = 0; p < 64; ++p) {
    host.Dispatch(vst::effSetProgram, 0, p);
    char name[64] = {};
    host.Dispatch(vst::effGetProgramNameIndexed, p, 0, name);
    EXPECT_EQ(std::string(name), tape::TapeProgramName(p));
    for (int i = 0; i < 51; ++i) {
      ASSERT_NEAR(host.GetParameter(i), Normalised(i, expected[p][i]), 1e-6) << "program " << p << " parameter " << i;
    }
  }

  // A damaged recording is refused and changes nothing.
  const std::string before = host.Text(vst::effGetProgramName, 0);
  std::vector<std::uint8_t> damaged = tape::EncodeWav(signal.samples, {}, tape::WavLayout{});
  damaged.resize(damaged.size() / 2);
  const std::string cut = (folder / "cut.wav").string();
  ASSERT_TRUE(tape::WriteFileBytes(cut, damaged));
  EXPECT_FALSE(ImportTapeDump(host, cut, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(host.Text(vst::effGetProgramName, 0), before);
  fs::remove_all(folder);
}

TEST(RenderToolTest, SavedBankFileLoadsIntoAFreshInstance) {
  const fs::path folder = TempFolder();
  PluginHost source;
  ASSERT_TRUE(source.Load(TESVAR_PLUGIN_PATH));
  source.Start();
  source.Dispatch(vst::effSetProgram, 0, 17);
  source.SetParameter(16, 0.125f);
  const std::vector<std::uint8_t> bank = SaveBankFile(source);
  ASSERT_GT(bank.size(), 168u);

  PluginHost target;
  ASSERT_TRUE(target.Load(TESVAR_PLUGIN_PATH));
  target.Start();
  std::string error;
  ASSERT_TRUE(LoadProgramFile(target, bank, &error)) << error;
  target.Dispatch(vst::effSetProgram, 0, 17);
  EXPECT_FLOAT_EQ(target.GetParameter(16), 0.125f);
  EXPECT_EQ(FindProgram(target, "Solo Brass"), 16);
  EXPECT_EQ(FindProgram(target, "solo brass"), 16);
  EXPECT_EQ(FindProgram(target, "37"), 22);
  EXPECT_EQ(FindProgram(target, "19"), -1);
  EXPECT_EQ(FindProgram(target, "No Such Sound"), -1);

  auto foreign = bank;
  foreign[16] = 'x';
  EXPECT_FALSE(LoadProgramFile(target, foreign, &error));
  fs::remove_all(folder);
}

TEST(RenderToolTest, CommandLineRefusesBadInputAndWritesNothing) {
  const fs::path folder = TempFolder();
  const std::string render = TESVAR_RENDER_PATH;
  const std::string plugin = TESVAR_PLUGIN_PATH;
  const fs::path out = folder / "out.wav";
  auto run = [&](const std::string& args) {
    return std::system(
        (render + " " + plugin + " --out " + out.string() + " --tail 0.1 " + args + " 2>/dev/null >/dev/null").c_str());
  };
  std::FILE* bad = std::fopen((folder / "bad.mid").c_str(), "wb");
  std::fputs("not a midi file", bad);
  std::fclose(bad);
  EXPECT_NE(run("--program 'No Such Sound'"), 0);
  EXPECT_NE(run("--program 91"), 0);
  EXPECT_NE(run("--midi " + (folder / "bad.mid").string()), 0);
  EXPECT_NE(run("--midi " + (folder / "missing.mid").string()), 0);
  EXPECT_NE(run("--tape-dump " + (folder / "bad.mid").string() + " --save-bank " + (folder / "b.fxb").string()), 0);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(fs::exists(folder / "b.fxb"));
  EXPECT_EQ(run("--program 12 --save-bank " + (folder / "b.fxb").string()), 0);
  EXPECT_TRUE(fs::exists(out));
  EXPECT_GT(fs::file_size(folder / "b.fxb"), 168u);
  fs::remove_all(folder);
}

TEST(RenderToolTest, EveryFactoryProgramPlays) {
  // Each program of the three factory banks, loaded from its bank file as a host would,
  // holds a C major triad for a second: the sound must be finite, audible and not absurd.
  const fs::path folder = TempFolder();
  for (const char* bankFile : {"factory.fxb", "quellmark.fxb", "veltrum.fxb"}) {
    PluginHost host;
    ASSERT_TRUE(host.Load(TESVAR_PLUGIN_PATH));
    host.Start();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(std::string(TESVAR_BANK_DIR) + "/" + bankFile, &bytes)) << bankFile;
    std::string error;
    ASSERT_TRUE(LoadProgramFile(host, bytes, &error)) << error;
    for (int p = 0; p < 64; ++p) {
      host.Dispatch(vst::effSetProgram, 0, p);
      const std::string name = host.Text(vst::effGetProgramName, 0);
      const std::vector<TimedMidi> chord = {{0.0, 0x90, 60, 100}, {0.0, 0x90, 64, 100}, {0.0, 0x90, 67, 100},
                                            {1.0, 0x80, 60, 0},   {1.0, 0x80, 64, 0},   {1.0, 0x80, 67, 0}};
      RenderSettings settings;
      settings.tailSeconds = 0.5;
      const RenderedAudio audio = Render(host, chord, 1.0, settings);
      double peak = 0.0;
      for (std::size_t i = 0; i < audio.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(audio.left[i]) && std::isfinite(audio.right[i])) << bankFile << " " << name;
        peak = std::max({peak, std::fabs(double(audio.left[i])), std::fabs(double(audio.right[i]))});
      }
      EXPECT_GT(peak, 0.001) << bankFile << " program " << p << " \"" << name << "\" is silent";
      EXPECT_LT(peak, 8.0) << bankFile << " program " << p << " \"" << name << "\"";
    }
  }
  fs::remove_all(folder);
}

}  // namespace
