// Fuzz target: a WAV file given to the tape-dump import. The reader on its own first
// (both channels, as a tool reads them), then the plug-in's import: reader, decoder and
// program mapping.
#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "tape/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzPlugin plugin;
  const std::string path = fuzz::WriteScratchFile("input.wav", data, size);

  tape::WavReader reader;
  if (reader.OpenWav(path) == tape::WavOpenResult::kOk) {
    const std::uint64_t frameBytes = std::uint64_t(reader.Channels()) * std::uint64_t(reader.BitsPerSample() / 8);
    fuzz::Require(frameBytes > 0 && reader.SampleRate() > 0, "an accepted format");
    fuzz::Require(reader.FramesPresent() * frameBytes <= size, "no more frames than the file holds");
    std::vector<double> left;
    std::vector<double> right;
    const std::size_t frames = reader.ReadFrames(left, &right, std::size_t(1) << 20);
    fuzz::Require(frames == left.size() && frames <= reader.FramesPresent(), "frames counted as read");
    fuzz::Require(right.size() == (reader.Channels() >= 2 ? frames : 0), "the second channel when there is one");
    for (std::size_t i = 0; i < frames; ++i) {
      fuzz::Require(std::isfinite(left[i]) && (right.empty() || std::isfinite(right[i])), "finite samples");
    }
  }

  plugin.Restore();
  const std::vector<std::uint8_t> bankBefore = plugin.GetChunk(0);
  tape::TapeStatus status = tape::TapeStatus::kOk;
  const bool imported = plugin.Plug().LoadTapeDump(path, &status);
  fuzz::Require(imported == (status == tape::TapeStatus::kOk), "the status tells the outcome");
  if (!imported) fuzz::Require(plugin.GetChunk(0) == bankBefore, "a refused recording changes nothing");
  plugin.RequireParametersInRange();
  plugin.RequireFiniteRender();
  return 0;
}
