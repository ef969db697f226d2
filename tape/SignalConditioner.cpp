// Filtering and level measurement ahead of the peak detector.
#include "tape/SignalConditioner.h"

#include <cmath>

#include "engine/dsp/Filter.h"

namespace tape {
namespace {

bool UsableFrequency(double hz) { return std::isfinite(hz) && hz > 0.0; }

}  // namespace

ConditionResult ConditionSignal(std::span<double> samples, double sampleRateHz, const TapeReadSettings& settings,
                                double& threshold) {
  threshold = 0.0;
  if (samples.empty()) return ConditionResult::kEmpty;
  if (!std::isfinite(settings.thresholdPercent) || !(sampleRateHz > 0.0)) {
    return ConditionResult::kBadSettings;
  }
  if (settings.highPassEnabled &&
      (!UsableFrequency(settings.highPassHz) || settings.highPassHz >= 0.5 * sampleRateHz)) {
    return ConditionResult::kBadSettings;
  }
  if (settings.lowPassEnabled && !UsableFrequency(settings.lowPassHz)) {
    return ConditionResult::kBadSettings;
  }

  const bool lowPass = settings.lowPassEnabled && sampleRateHz >= 2.0 * settings.lowPassHz;
  const bool highPass = settings.highPassEnabled;
  engine::HighPass hp;
  engine::LowPass lp;
  if (highPass) hp.Set(sampleRateHz, settings.highPassHz);
  if (lowPass) lp.Set(sampleRateHz, settings.lowPassHz);

  // One pass filters and sums; the order is low-pass of high-pass as on the hardware
  // reader's signal chain.
  double sum = 0.0;
  if (highPass && lowPass) {
    for (double& x : samples) sum += (x = lp.Process(hp.Process(x)));
  } else if (highPass) {
    for (double& x : samples) sum += (x = hp.Process(x));
  } else if (lowPass) {
    for (double& x : samples) sum += (x = lp.Process(x));
  } else {
    for (double x : samples) sum += x;
  }

  const double n = double(samples.size());
  const double mean = sum / n;
  double deviation = 0.0;
  for (double& x : samples) {
    x -= mean;
    deviation += std::fabs(x);
  }
  // A setting of 50 puts the threshold at half the mean absolute level.
  threshold = settings.thresholdPercent * 0.01 * (deviation / n);
  return ConditionResult::kOk;
}

}  // namespace tape
