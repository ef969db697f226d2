// Envelope stage times and transitions.
#include "engine/Envelope.h"

#include <cmath>
#include <numbers>

namespace engine {

double Envelope::StageSeconds(double x) {
  const double s = x >= 1.0 ? 15.0 : (x > 0.0 ? 15.0 * x : 0.0);  // NaN gives 0
  const int lo = static_cast<int>(std::floor(s));
  const int hi = static_cast<int>(std::ceil(s));
  return kTimeTable[lo] + (kTimeTable[hi] - kTimeTable[lo]) * (s - lo);
}

void Envelope::SetSampleRate(double sampleRate) {
  const bool usable = sampleRate > 0.0 && std::isfinite(sampleRate);
  timeScale_ = usable ? std::numbers::ln10 / sampleRate : 0.002302585092994046;
  state_ = State::kIdle;
  level_ = 0.0;
  previous_ = 0.0;
}

void Envelope::SetAttack(double x) {
  attack_ = x;
  if (state_ == State::kAttack) coefficient_ = Coefficient(x);
}

void Envelope::SetDecay(double x) {
  decay_ = x;
  if (state_ == State::kDecay) coefficient_ = Coefficient(x);
}

void Envelope::SetSustain(double x) {
  sustain_ = x;
  if (state_ == State::kDecay) target_ = x;
}

void Envelope::SetRelease(double x) {
  release_ = x;
  if (state_ == State::kRelease) coefficient_ = Coefficient(x);
}

void Envelope::GateOn() {
  target_ = kAttackTarget;
  state_ = State::kAttack;
  coefficient_ = Coefficient(attack_);
}

void Envelope::Release() {
  if (level_ > 0.0) {
    state_ = State::kRelease;
    target_ = kReleaseTarget;
    coefficient_ = Coefficient(release_);
  } else {
    state_ = State::kIdle;
    level_ = 0.0;
  }
}

}  // namespace engine
