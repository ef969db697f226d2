// Envelope stage times and settings.
#include "engine/dsp/Envelope.h"

#include <cmath>
#include <numbers>

#include "engine/dsp/Lanes.h"

namespace engine {

double EnvelopeSettings::StageSeconds(double x) {
  const double s = x >= 1.0 ? 15.0 : (x > 0.0 ? 15.0 * x : 0.0);  // NaN gives 0
  const int lo = static_cast<int>(std::floor(s));
  const int hi = static_cast<int>(std::ceil(s));
  return kTimeTable[lo] + (kTimeTable[hi] - kTimeTable[lo]) * (s - lo);
}

void EnvelopeSettings::SetSampleRate(double sampleRate) {
  const bool usable = sampleRate > 0.0 && std::isfinite(sampleRate);
  timeScale = usable ? std::numbers::ln10 / sampleRate : 0.002302585092994046;
  stageCoefficient[1] = Coefficient(attack);
  stageCoefficient[2] = Coefficient(decay);
  stageCoefficient[3] = Coefficient(release);
}

}  // namespace engine
