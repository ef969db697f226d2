// ADSR envelope: one-pole segments aimed past their end points so that each stage ends
// in finite time.
#pragma once

namespace engine {

// Settings are normalised 0 ... 1 (the panel's 0 ... 15 divided by 15). A stage with
// setting x takes about T(x) seconds from the time table to cover 90 % of its distance.
// Owned by one voice; SetSampleRate on the dispatcher thread, the rest on the audio thread.
class Envelope {
 public:
  enum class State : int { kIdle = 0, kAttack = 1, kDecay = 2, kRelease = 3 };

  // Seconds for settings 0 ... 15, interpolated linearly in between.
  static constexpr double kTimeTable[16] = {0.001, 0.005, 0.01, 0.02, 0.03, 0.04, 0.05, 0.07,
                                            0.12,  0.2,   0.35, 0.7,  1.2,  2.0,  3.0,  15.0};
  // Attack aims at 10/9 and release at -1/9: covering 90 % of the way lands on 1 or 0.
  static constexpr double kAttackTarget = 1.1111111111111112;
  static constexpr double kReleaseTarget = -0.1111111111111111;
  // A decay towards sustain 0 never reaches 0 exactly; below this level (-300 dB) the
  // envelope counts as finished instead of crawling through subnormal numbers.
  static constexpr double kSilentLevel = 1e-15;

  // Idle at level 0, time scale ln(10)/sampleRate.
  void SetSampleRate(double sampleRate);

  void SetAttack(double x);
  void SetDecay(double x);
  void SetSustain(double x);
  void SetRelease(double x);

  // Note-on: attack from the current level.
  void GateOn();
  // Note-off: release from the current level, or idle at once from level 0.
  void Release();

  // One sample.
  double Process() {
    if (state_ == State::kIdle) return level_;
    previous_ = level_;
    level_ += (target_ - level_) * coefficient_;
    if (state_ == State::kAttack) {
      if (level_ >= 1.0) {
        level_ = 1.0;
        state_ = State::kDecay;
        coefficient_ = Coefficient(decay_);
        target_ = sustain_;
      }
    } else if (level_ <= kSilentLevel) {
      level_ = 0.0;
      state_ = State::kIdle;
    }
    return level_;
  }

  double Level() const { return level_; }
  double PreviousLevel() const { return previous_; }
  State GetState() const { return state_; }
  bool IsIdle() const { return state_ == State::kIdle; }

  // Stage time in seconds for a normalised setting.
  static double StageSeconds(double x);
  // Per-sample coefficient K/T for a normalised setting. Below about 2.3 kHz the shortest
  // stages would give K/T > 1, and a step past the target makes the decay oscillate around
  // the sustain level until it crosses 0 and cuts the note; at most 1, a stage lands on its
  // target in one sample instead.
  double Coefficient(double x) const {
    const double c = timeScale_ / StageSeconds(x);
    return c < 1.0 ? c : 1.0;
  }

 private:
  double level_ = 0.0;
  double attack_ = 0.0;
  double decay_ = 0.0;
  double sustain_ = 0.0;
  double release_ = 0.0;
  State state_ = State::kIdle;
  double timeScale_ = 0.002302585092994046;  // ln(10)/1000 until a rate is set
  double target_ = 0.0;
  double previous_ = 0.0;
  double coefficient_ = 0.0;
};

}  // namespace engine
