// What the fuzz targets share: a settings folder of their own, plug-in instances behind a
// minimal host, and the checks each target makes after it has fed its bytes to a reader.
// A failed check aborts, so libFuzzer keeps the input as a crash like any sanitizer report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Tesvar.h"

namespace fuzz {

// Prints what failed and aborts when condition is false.
void Require(bool condition, const char* what);

// A fresh temporary folder for this process; HOME and XDG_CONFIG_HOME point into it, so
// no target ever reads or writes the real settings. Made on first use.
const std::string& ScratchFolder();

// Writes the bytes to the file `name` in the scratch folder (replacing it) and answers
// its path.
std::string WriteScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Reads `count` bytes from the front of the input, as a little-endian number; missing
// bytes read as 0. The reader advances past what it took.
class InputCursor {
 public:
  InputCursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint32_t Take(int count);
  std::size_t Remaining() const { return size_ - at_; }
  const std::uint8_t* Rest() const { return data_ + at_; }
  void Skip(std::size_t count) { at_ += count < Remaining() ? count : Remaining(); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// One instance of the product, created and opened as the plug-in's entry point and a host
// do (44100 Hz, blocks of 512), on the calling thread. The host answers `vendor` when the
// plug-in asks for the vendor string ("Native Instruments" takes the program-chunk path).
class FuzzPlugin {
 public:
  static constexpr int kBlockSize = 512;

  explicit FuzzPlugin(const char* vendor = "Quellmark Fuzz");
  ~FuzzPlugin();
  FuzzPlugin(const FuzzPlugin&) = delete;
  FuzzPlugin& operator=(const FuzzPlugin&) = delete;

  Tesvar& Plug() { return *plug_; }
  vst::AEffect* Effect() { return effect_; }
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f);

  // The chunk the host would store: index 0 asks for the bank (unless the host is one that
  // takes program chunks only), 1 for the program. Empty when the plug-in gives none.
  std::vector<std::uint8_t> GetChunk(int index);
  std::intptr_t SetChunk(int index, const std::vector<std::uint8_t>& bytes);

  // Every program's name, parameter values and chord memory as a host hears them (it
  // switches to each program in turn and back). Comparable across loads: the program
  // index and name inside stored state bodies, which nothing reads, are left out.
  struct ProgramSound {
    std::string name;
    std::vector<double> values;
    std::vector<int> chord;
    bool operator==(const ProgramSound&) const = default;
  };
  std::vector<ProgramSound> ProgramSounds();

  // Every slot's name, use flag and stored body without the program index and name the
  // body repeats (nothing reads those; they hold whichever program was current when the
  // body was written), then the current parameter values: what a restore must bring back.
  std::vector<std::string> Slots();

  // Back to the state right after construction: the bank, current program 0 and an
  // engine reset (no voice sounding, nothing queued from an earlier input).
  void Restore();
  // The lighter restart for inputs that cannot change the stored programs: an engine reset
  // and program 0 selected again.
  void Restart();

  // Every parameter finite and inside its range.
  void RequireParametersInRange();
  // Plays a chord for a block through the replacing entry; every sample must be finite.
  void RequireFiniteRender();
  // Renders `frames` frames through the replacing entry and requires finite samples.
  void RenderFinite(int frames);

 private:
  Tesvar* plug_ = nullptr;
  vst::AEffect* effect_ = nullptr;
  std::vector<std::uint8_t> baseline_;
  std::vector<float> left_;
  std::vector<float> right_;
};

}  // namespace fuzz
