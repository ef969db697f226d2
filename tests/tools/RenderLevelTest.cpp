// The renderer's levels, through its command line: the demo phrase fits at the defaults,
// --gain scales what is written, an integer file that would clip is warned about and cut
// off at full scale (never wrapped round), and a MIDI file too long to render is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tape/WavReader.h"

namespace {

namespace fs = std::filesystem;

class RenderLevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("tesvar-level-" + std::to_string(random()));
    fs::create_directories(folder_);
    ::setenv("HOME", folder_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (folder_ / ".config").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // Runs the renderer; answers its exit status, with its output in out_ and err_.
  int Render(const std::string& args) {
    const std::string command = std::string(TESVAR_RENDER_PATH) + " " + TESVAR_PLUGIN_PATH + " " + args + " >" +
                                Path("stdout") + " 2>" + Path("stderr");
    const int status = std::system(command.c_str());
    out_ = Read(Path("stdout"));
    err_ = Read(Path("stderr"));
    return status;
  }

  // A format-0 file at 120 bpm, 1000 ticks per quarter (0.5 ms a tick): a C major triad
  // held for `ticks`, with an optional tempo (microseconds per quarter) before it.
  void WriteChordFile(const std::string& path, std::uint32_t ticks, std::uint32_t tempo = 0) {
    std::vector<std::uint8_t> track;
    auto delta = [&track](std::uint32_t v) {
      std::uint8_t bytes[5];
      int n = 0;
      do {
        bytes[n++] = static_cast<std::uint8_t>(v & 0x7F);
        v >>= 7;
      } while (v != 0);
      while (n > 1) track.push_back(static_cast<std::uint8_t>(bytes[--n] | 0x80));
      track.push_back(bytes[0]);
    };
    if (tempo != 0) {
      delta(0);
      track.insert(track.end(), {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(tempo >> 16),
                                 static_cast<std::uint8_t>(tempo >> 8), static_cast<std::uint8_t>(tempo)});
    }
    const std::uint8_t keys[3] = {60, 64, 67};
    for (std::uint8_t key : keys) {
      delta(0);
      track.insert(track.end(), {0x90, key, 100});
    }
    for (int i = 0; i < 3; ++i) {
      delta(i == 0 ? ticks : 0);
      track.insert(track.end(), {0x80, keys[i], 0});
    }
    delta(0);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
    std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x03, 0xE8, 'M', 'T', 'r', 'k'};
    const auto size = static_cast<std::uint32_t>(track.size());
    for (int s = 24; s >= 0; s -= 8) file.push_back(static_cast<std::uint8_t>(size >> s));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  }

  // Both channels of a WAV file, interleaved as frames (left, right, left, ...).
  static std::vector<double> ReadWav(const std::string& path) {
    tape::WavReader reader;
    EXPECT_EQ(reader.OpenWav(path), tape::WavOpenResult::kOk) << path;
    std::vector<double> left, right, frames;
    reader.ReadFrames(left, &right, std::size_t(1) << 24);
    for (std::size_t i = 0; i < left.size(); ++i) frames.insert(frames.end(), {left[i], right[i]});
    return frames;
  }

  static double Peak(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double v : samples) peak = std::max(peak, std::fabs(v));
    return peak;
  }

  std::string out_;
  std::string err_;

 private:
  static std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }
  fs::path folder_;
};

TEST_F(RenderLevelTest, DemoPhrasePeaksBelowFullScaleAtTheDefaults) {
  ASSERT_EQ(Render("--out " + Path("demo.wav") + " --bits 16"), 0) << err_;
  EXPECT_EQ(err_.find("warning"), std::string::npos) << err_;
  double peakDb = 0.0;
  ASSERT_EQ(std::sscanf(out_.substr(out_.find("peak ")).c_str(), "peak %lf dBFS", &peakDb), 1) << out_;
  EXPECT_LT(peakDb, 0.0);
  EXPECT_GT(peakDb, -12.0);  // and still well audible
  EXPECT_LT(Peak(ReadWav(Path("demo.wav"))), 1.0);
}

TEST_F(RenderLevelTest, GainScalesTheFileAndAnIntegerFileThatClipsIsWarnedAboutAndCutOff) {
  WriteChordFile(Path("chord.mid"), 600);
  const std::string common = "--midi " + Path("chord.mid") + " --tail 0.2 ";
  ASSERT_EQ(Render(common + "--out " + Path("plain.wav")), 0) << err_;
  ASSERT_EQ(Render(common + "--gain 20 --out " + Path("loud.wav")), 0) << err_;
  EXPECT_EQ(err_.find("warning"), std::string::npos) << "a float file holds any level";
  const std::vector<double> plain = ReadWav(Path("plain.wav"));
  const std::vector<double> loud = ReadWav(Path("loud.wav"));
  ASSERT_EQ(plain.size(), loud.size());
  ASSERT_GT(Peak(plain), 0.2);
  for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_NEAR(loud[i], 10.0 * plain[i], 1e-5 * Peak(loud)) << i;

  ASSERT_EQ(Render(common + "--gain 20 --bits 16 --out " + Path("loud16.wav")), 0) << err_;
  char expected[128];
  const double peakDb = 20.0 * std::log10(Peak(loud));
  std::snprintf(expected, sizeof(expected), "peaks at %+.1f dBFS and clips in a 16-bit file; --gain %.1f would fit",
                peakDb, std::floor((20.0 - peakDb) * 10.0) / 10.0);
  EXPECT_NE(err_.find(expected), std::string::npos) << err_;
  // Cut off at full scale with the sign kept: a wrapped sample would jump to the other side.
  const std::vector<double> clipped = ReadWav(Path("loud16.wav"));
  ASSERT_EQ(clipped.size(), loud.size());
  for (std::size_t i = 0; i < loud.size(); ++i) {
    ASSERT_NEAR(clipped[i], std::clamp(loud[i], -1.0, 1.0), 2.0 / 32768.0) << "sample " << i;
  }
}

TEST_F(RenderLevelTest, MidiFileLongerThanAnHourIsRefusedBeforeAnythingIsWritten) {
  // The slowest tempo and the longest delta time: the chord ends after about 52 days.
  WriteChordFile(Path("endless.mid"), 0x0FFFFFFF, 0xFFFFFF);
  EXPECT_NE(Render("--midi " + Path("endless.mid") + " --out " + Path("endless.wav")), 0);
  EXPECT_NE(err_.find("renders at most"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Path("endless.wav")));
}

}  // namespace
