// A single voice driven like the render loop drives it: parameters through EngineSettings,
// a control tick every (rate/1000) samples with the modulation sums, and per-sample output.
#pragma once

#include <cmath>
#include <vector>

#include "engine/EngineSettings.h"
#include "engine/Modulation.h"
#include "engine/Voice.h"

namespace engine_test {

struct ParamRange {
  double min, max, def, shape;
};

// Ranges, defaults and curves of parameters 0 ... 43.
inline constexpr ParamRange kParams[44] = {
    {0, 1, 0.5, 1},     {-1, 1, 0, 1},   {0, 12, 2, 1},  {0.3, 15, 5.6, 2}, {0, 1, 0, 1},   {0, 2, 0, 1},
    {0, 7, 2, 1},       {0, 1, 0, 1},    {0, 2, 1, 1},   {0, 2, 0, 1},      {0, 7, 0, 1},   {0, 15, 0, 1},
    {0, 2, 1, 1},       {0, 2, 0, 1},    {0, 4, 0, 1},   {1, 6, 1, 1},      {0, 63, 63, 1}, {0, 7, 0, 1},
    {0, 1, 1, 1},       {-7, 7, 0, 1},   {0, 1, 0, 1},   {0, 15, 0, 1},     {0, 15, 0, 1},  {0, 15, 0, 1},
    {0, 15, 0, 1},      {0, 1, 0, 1},    {0, 15, 0, 1},  {0, 15, 0, 1},     {0, 15, 15, 1}, {0, 15, 1, 1},
    {0, 15, 8, 1},      {0, 3, 0, 1},    {0, 7, 0, 1},   {0, 7, 0, 1},      {0, 3, 0, 1},   {0, 1, 0.15, 1},
    {-1, 1, -0.3, 1},   {0, 1, 0.5, 1},  {0, 1, 0.5, 1}, {0, 1, 0.25, 1},   {0, 1, 0.5, 1}, {0.01, 15, 9.2, 2},
    {0.01, 15, 1.9, 2}, {0, 1, 0.92, 1},
};

class VoiceRig {
 public:
  explicit VoiceRig(double rate) : rate_(rate), samplesPerTick_(static_cast<int>(rate) / 1000), voices_(1) {
    settings_.patch.SetSampleRate(rate);
    voices_[0].Restart();
    modulation_.Reset();
    for (int i = 0; i < 44; ++i) Set(i, kParams[i].def);
  }

  void Set(int index, double v) {
    const ParamRange& p = kParams[index];
    const double e = std::pow((v - p.min) / (p.max - p.min), 1.0 / p.shape);
    settings_.Apply(index, v, e);
  }

  void Play(int note) { voices_[0].NoteOn(note, note * 128, 0, modulation_.Values(), settings_.patch); }
  void Release() { voices_[0].NoteOff(false); }

  std::vector<double> Render(double seconds) {
    std::vector<double> out(static_cast<std::size_t>(seconds * rate_));
    for (double& s : out) {
      if (countdown_ <= 0) {
        const engine::ModulationValues& m = modulation_.Tick(settings_, 0.0, 0.0);
        voices_[0].UpdateControl(m, settings_.patch);
        countdown_ = samplesPerTick_;
      }
      --countdown_;
      s = voices_[0].Render(settings_.patch);
    }
    return out;
  }

  engine::Voice& voice() { return voices_[0]; }
  const engine::VoicePatch& patch() const { return settings_.patch; }
  double rate() const { return rate_; }

 private:
  double rate_;
  int samplesPerTick_;
  int countdown_ = 0;
  std::vector<engine::Voice> voices_;
  engine::EngineSettings settings_;
  engine::Modulation modulation_;
};

// The part of a rendering after `skipSeconds`.
inline std::vector<double> After(const std::vector<double>& x, double rate, double skipSeconds) {
  return std::vector<double>(x.begin() + static_cast<long>(skipSeconds * rate), x.end());
}

}  // namespace engine_test
