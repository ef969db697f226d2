// Builds and shares the per-rate tables.
#include "engine/dsp/RateTables.h"

#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <numbers>

#include "engine/dsp/Wavetables.h"

namespace engine {

RateTables::RateTables(double rate) : sampleRate(rate) {
  constexpr double kPhaseUnits = 134217728.0;  // 2^27
  for (int c = 0; c < kPitchCodeCount; ++c) {
    const double f = PitchToFrequency(c);
    // Rates below ~1.3 kHz would overflow the 32-bit step at the top codes; clamp there.
    const double step =
        std::min(std::trunc(f * kPhaseUnits / rate), static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    increment[c] = static_cast<std::int32_t>(step);
    table[c] = static_cast<std::uint8_t>(Wavetables::TableForIncrement(increment[c]));
    const double w = f * std::numbers::pi / rate;
    ladderW[c] = w;
    ladderG[c] = w / (w + 2.0);
    ladderR[c] = (w - 2.0) / (w + 2.0);
    if (f < 500.0) {
      ladderQ[c] = 4.1;
    } else if (f > 2000.0) {
      ladderQ[c] = 4.005;
    } else {
      ladderQ[c] = 4.1 - (f - 500.0) * 0.09499999999999975 / 1500.0;
    }
  }
}

std::shared_ptr<const RateTables> RateTables::For(double sampleRate) {
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) sampleRate = 44100.0;
  // Weak entries: a set lives as long as some oscillator or filter holds it, so a host
  // that tries many rates does not pile up tables.
  static std::mutex mutex;
  static std::map<double, std::weak_ptr<const RateTables>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  std::erase_if(cache, [sampleRate](const auto& entry) { return entry.first != sampleRate && entry.second.expired(); });
  std::weak_ptr<const RateTables>& slot = cache[sampleRate];
  std::shared_ptr<const RateTables> tables = slot.lock();
  if (!tables) {
    tables = std::make_shared<const RateTables>(sampleRate);
    slot = tables;
  }
  return tables;
}

}  // namespace engine
