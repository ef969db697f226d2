// Import time of a 5-minute mono 48 kHz 16-bit recording, whole and by stage.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "tape/BitDecoder.h"
#include "tape/FrameDecoder.h"
#include "tape/SignalConditioner.h"
#include "tape/TapeDecoder.h"
#include "tape/TapeEncoder.h"
#include "tape/WavReader.h"
#include "tape/WavWriter.h"

namespace {

constexpr double kRate = 48000.0;

// The recording is written once per process into the temporary folder and removed at exit:
// noise around a dump whose leader fills the five minutes.
class Recording {
 public:
  Recording() {
    std::mt19937 random(7);
    for (auto& b : data_) b = std::uint8_t(random());
    tape::TapeSignalOptions o;
    o.sampleRate = kRate;
    o.leaderSeconds = 296.0;
    o.noiseRms = 0.02;
    const tape::TapeSignal signal = tape::EncodeTapeDump(data_, o);
    path_ = (std::filesystem::temp_directory_path() /
             ("tesvar-tape-bench-" + std::to_string(std::random_device{}()) + ".wav"))
                .string();
    tape::WriteFileBytes(path_, tape::EncodeWav(signal.samples, {}, {tape::WavFormat::kPcm16, int(kRate), 1, false}));
    seconds_ = double(signal.samples.size()) / kRate;
  }
  ~Recording() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  const tape::TapeData& Data() const { return data_; }
  double Seconds() const { return seconds_; }

 private:
  tape::TapeData data_{};
  std::string path_;
  double seconds_ = 0.0;
};

const Recording& TheRecording() {
  static const Recording recording;
  return recording;
}

std::vector<double> ReadLeft() {
  tape::WavReader reader;
  reader.OpenWav(TheRecording().Path());
  std::vector<double> left;
  reader.ReadFrames(left, nullptr, tape::kMaxTapeFrames);
  return left;
}

void BM_TapeImportFiveMinutes(benchmark::State& state) {
  const Recording& r = TheRecording();
  for (auto _ : state) {
    const tape::TapeDecodeResult result = tape::DecodeTapeFile(r.Path(), {});
    if (result.status != tape::TapeStatus::kOk || result.data != r.Data()) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(result);
  }
  state.counters["recording_s"] = r.Seconds();
}
BENCHMARK(BM_TapeImportFiveMinutes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TapeReadFrames(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadLeft());
}
BENCHMARK(BM_TapeReadFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TapeCondition(benchmark::State& state) {
  const std::vector<double> left = ReadLeft();
  std::vector<double> work;
  for (auto _ : state) {
    state.PauseTiming();
    work = left;
    state.ResumeTiming();
    double threshold = 0.0;
    tape::ConditionSignal(work, kRate, {}, threshold);
    benchmark::DoNotOptimize(threshold);
  }
}
BENCHMARK(BM_TapeCondition)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TapeBitsAndFrames(benchmark::State& state) {
  std::vector<double> left = ReadLeft();
  double threshold = 0.0;
  tape::ConditionSignal(left, kRate, {}, threshold);
  for (auto _ : state) {
    const std::vector<tape::BitEvent> events = tape::DecodeBits(left, kRate, threshold);
    std::vector<std::uint8_t> block;
    benchmark::DoNotOptimize(tape::FrameBytes(events, block));
  }
}
BENCHMARK(BM_TapeBitsAndFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
