// tape-dump-gen: writes the WAV recording the hardware's tape dump of a bank would give,
// optionally impaired like a played-back cassette.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tape/TapeEncoder.h"
#include "tape/TapeProgramMapper.h"
#include "tape/WavWriter.h"

namespace {

const char kUsage[] =
    "usage: tape-dump-gen [options] OUT.wav\n"
    "programs (default: --random 1):\n"
    "  --bank-bytes FILE     the 512 hardware data bytes, raw\n"
    "  --bank-text FILE      64 lines of 51 plain parameter values (index order)\n"
    "  --random SEED         random programs within the parameters' ranges\n"
    "  --random-bytes SEED   random data bytes (fields may exceed the ranges)\n"
    "file:\n"
    "  --rate HZ             sample rate (44100)\n"
    "  --format F            8, 16, 24 (integer PCM), f32, f64 (float); 32 writes\n"
    "                        32-bit integer PCM, which the decoder refuses (16)\n"
    "  --stereo              two channels, the dump on the left, the right silent\n"
    "  --swap                with --stereo: the dump on the right, the left silent\n"
    "  --list-chunk          a LIST chunk of odd size before the data\n"
    "signal:\n"
    "  --level X             peak level of the tone, full scale 1 (0.5)\n"
    "  --dc X                DC offset (0)\n"
    "  --noise X             RMS of white noise over the whole file (0)\n"
    "  --lead-in S           seconds before the tone (0.1)\n"
    "  --lead-in-noise X     RMS of a noise burst during the lead-in (0)\n"
    "  --garbage S           seconds of random half-waves before the leader (0)\n"
    "  --leader S            seconds of leader tone (1)\n"
    "  --bandwidth HZ        upper band limit of the tape, 0 for none (8000)\n"
    "  --speed X             playback speed, 1.03 = 3 % fast (1)\n"
    "  --wow DEPTH[,HZ]      slow speed swing, e.g. 0.02,1.5 for +-2 % at 1.5 Hz\n"
    "  --dropout AT,LEN[,G]  tone at gain G (0) for LEN ms from AT ms after the \"P\"\n"
    "  --seed N              seed of noise and garbage (1)\n"
    "damage:\n"
    "  --bad-checksum        store a wrong checksum\n"
    "  --no-6                leave out the \"6\" header frame\n";

bool ReadBankBytes(const char* path, tape::TapeData& data) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  const bool ok = std::fread(data.data(), 1, data.size(), file) == data.size();
  std::fclose(file);
  return ok;
}

bool ReadBankText(const char* path, tape::TapeData& data) {
  std::ifstream in(path);
  if (!in) return false;
  tape::TapeBank bank{};
  std::string line;
  int program = 0;
  while (program < tape::kTapeProgramCount && std::getline(in, line)) {
    for (char& c : line) c = (c == ',' || c == ';') ? ' ' : c;
    std::istringstream fields(line);
    int count = 0;
    while (count < tape::kTapeParamCount && fields >> bank[std::size_t(program)][std::size_t(count)]) ++count;
    if (count == 0) continue;  // blank line
    if (count != tape::kTapeParamCount) return false;
    ++program;
  }
  if (program != tape::kTapeProgramCount) return false;
  data = tape::BankToData(bank);
  return true;
}

bool ParsePair(const char* text, double& a, double& b, double& c) {
  char* end = nullptr;
  a = std::strtod(text, &end);
  if (end == text) return false;
  if (*end == ',') b = std::strtod(end + 1, &end);
  if (*end == ',') c = std::strtod(end + 1, &end);
  return *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  tape::TapeSignalOptions options;
  tape::WavLayout layout;
  tape::TapeData data = tape::RandomInRangeData(1);
  bool swap = false;
  bool badChecksum = false;
  bool no6 = false;
  const char* out = nullptr;

  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    auto number = [&](double& target) {
      if (value == nullptr) return false;
      char* end = nullptr;
      target = std::strtod(value, &end);
      ++i;
      return end != value && *end == '\0';
    };
    bool ok = true;
    double unused = 0.0;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--bank-bytes") {
      ok = value != nullptr && ReadBankBytes(value, data);
      ++i;
    } else if (arg == "--bank-text") {
      ok = value != nullptr && ReadBankText(value, data);
      ++i;
    } else if (arg == "--random" || arg == "--random-bytes") {
      double seed = 1.0;
      ok = number(seed);
      if (arg == "--random") {
        data = tape::RandomInRangeData(std::uint32_t(seed));
      } else {
        std::mt19937 random{std::uint32_t(seed)};
        for (auto& b : data) b = std::uint8_t(random());
      }
    } else if (arg == "--rate") {
      double rate = 0.0;
      ok = number(rate) && rate >= 1000.0 && rate <= 768000.0;
      layout.sampleRate = int(rate);
      options.sampleRate = double(layout.sampleRate);
    } else if (arg == "--format") {
      ok = value != nullptr && tape::ParseWavFormat(value, layout.format);
      ++i;
    } else if (arg == "--stereo") {
      layout.channels = 2;
    } else if (arg == "--swap") {
      swap = true;
    } else if (arg == "--list-chunk") {
      layout.oddListChunk = true;
    } else if (arg == "--level") {
      ok = number(options.level);
    } else if (arg == "--dc") {
      ok = number(options.dcOffset);
    } else if (arg == "--noise") {
      ok = number(options.noiseRms);
    } else if (arg == "--lead-in") {
      ok = number(options.leadInSeconds) && options.leadInSeconds >= 0.0;
    } else if (arg == "--lead-in-noise") {
      ok = number(options.leadInNoiseRms);
    } else if (arg == "--garbage") {
      ok = number(options.garbageSeconds) && options.garbageSeconds < 3600.0;
    } else if (arg == "--leader") {
      ok = number(options.leaderSeconds) && options.leaderSeconds < 3600.0;
    } else if (arg == "--bandwidth") {
      ok = number(options.bandwidthHz);
    } else if (arg == "--speed") {
      ok = number(options.speed) && options.speed > 0.1 && options.speed < 10.0;
    } else if (arg == "--wow") {
      ok = value != nullptr && ParsePair(value, options.wowDepth, options.wowHz, unused);
      ++i;
    } else if (arg == "--dropout") {
      double at = 0.0, length = 0.0;
      ok = value != nullptr && ParsePair(value, at, length, options.dropoutGain);
      options.dropoutAtSeconds = at * 1e-3;
      options.dropoutSeconds = length * 1e-3;
      ++i;
    } else if (arg == "--seed") {
      double seed = 1.0;
      ok = number(seed);
      options.seed = std::uint32_t(seed);
    } else if (arg == "--bad-checksum") {
      badChecksum = true;
    } else if (arg == "--no-6") {
      no6 = true;
    } else if (!arg.empty() && arg[0] != '-' && out == nullptr) {
      out = argv[i];
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "tape-dump-gen: bad option or value: %s\n", arg.c_str());
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (out == nullptr) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::vector<std::uint8_t> block = tape::MakeTapeBlock(data);
  if (badChecksum) block.back() = std::uint8_t(block.back() + 1);
  if (no6) block.erase(block.begin() + 1);
  const tape::TapeSignal signal = tape::EncodeTapeBytes(block, options);
  const std::vector<double> silence;
  const bool dumpRight = swap && layout.channels == 2;
  const std::vector<std::uint8_t> bytes =
      dumpRight ? tape::EncodeWav(std::vector<double>(signal.samples.size(), 0.0), signal.samples, layout)
                : tape::EncodeWav(signal.samples, silence, layout);
  if (!tape::WriteFileBytes(out, bytes)) {
    std::fprintf(stderr, "tape-dump-gen: cannot write %s\n", out);
    return 1;
  }
  std::printf("%s: %.2f s, %d Hz, block %.3f .. %.3f s\n", out, double(signal.samples.size()) / options.sampleRate,
              layout.sampleRate, signal.blockStartSeconds, signal.blockEndSeconds);
  return 0;
}
