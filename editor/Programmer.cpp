// The programmer's digit rule and display codes.
#include "editor/Programmer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "editor/PanelCommands.h"

namespace panel {
namespace {

// Hardware numbers in parameter order: 8 is 11, 33 is 64. Rows of the hardware's matrix
// hold four or five parameters.
constexpr int kNumberCodes[kLastSoundParam - kFirstSoundParam + 1] = {
    0x11, 0x12, 0x13, 0x14,        // DCO1
    0x21, 0x22, 0x23, 0x24,        // DCO2
    0x31, 0x32, 0x33, 0x34, 0x35,  // VCF
    0x41, 0x42, 0x43, 0x44,        // EG1
    0x51, 0x52, 0x53, 0x54, 0x55,  // VCA mode and EG2
    0x61, 0x62, 0x63, 0x64,        // MG
};

constexpr int Code(int high, int low) { return (high << 4) | low; }

// A whole number 0 ... 99 as digits: one digit after a blank, two digits from 10 on.
int NumberCode(int n) {
  n = std::clamp(n, 0, 99);
  return n > 9 ? Code(n / 10, n % 10) : Code(kBlankDigit, n);
}

}  // namespace

int ParameterForCode(int code) {
  const int* end = kNumberCodes + std::size(kNumberCodes);
  const int* found = std::find(kNumberCodes, end, code);
  return found == end ? -1 : kFirstSoundParam + static_cast<int>(found - kNumberCodes);
}

int CodeForParameter(int index) {
  if (index < kFirstSoundParam || index > kLastSoundParam) return Code(kBlankDigit, kBlankDigit);
  return kNumberCodes[index - kFirstSoundParam];
}

int ValueDisplayCode(int index, double x) {
  if (index < kFirstSoundParam || index > kLastSoundParam || !std::isfinite(x)) return Code(kBlankDigit, kBlankDigit);
  // The hardware shows whole numbers; values between steps round half away from zero.
  const int n = static_cast<int>(std::lround(std::clamp(x, -99.0, 99.0)));
  switch (index) {
    case kDco1Octave:  // 16', 8', 4'
    case kDco2Octave: {
      constexpr int kFeet[3] = {Code(1, 6), Code(kBlankDigit, 8), Code(kBlankDigit, 4)};
      return kFeet[std::clamp(n, 0, 2)];
    }
    case kDco1Waveform:  // counts from 1
      return NumberCode(n + 1);
    case kDco2Interval: {  // 1, -3, 3, 4, 5
      constexpr int kIntervals[5] = {Code(kBlankDigit, 1), Code(kMinusDigit, 3), Code(kBlankDigit, 3),
                                     Code(kBlankDigit, 4), Code(kBlankDigit, 5)};
      return kIntervals[std::clamp(n, 0, 4)];
    }
    case kVcfEgIntensity:  // signed
      return n < 0 ? Code(kMinusDigit, std::min(-n, 9)) : NumberCode(n);
    case kVcfType:  // 12 or 24 dB per octave
      return x < 1.0 ? Code(1, 2) : Code(2, 4);
    default: return NumberCode(n);
  }
}

void Programmer::SetParameterMode(bool on) {
  parameterMode_ = on;
  pending_ = 0;
}

DigitAction Programmer::Digit(int b, bool altView) {
  DigitAction action;
  if (b < 1 || b > 8) return action;
  if (pending_ > 0) {
    if (NumbersArePrograms(altView)) {
      action.kind = DigitAction::Kind::kSwitchProgram;
      action.index = (pending_ - 1) * 8 + (b - 1);
      pending_ = 0;
      return action;
    }
    // An unknown number (such as 36 or 17) keeps the first digit waiting for a better one.
    const int parameter = pending_ <= 6 ? ParameterForCode(Code(pending_, b)) : -1;
    if (parameter >= 0) {
      action.kind = DigitAction::Kind::kSelectParameter;
      action.index = parameter;
      pending_ = 0;
    }
    return action;
  }
  if (NumbersArePrograms(altView) || b < 7) pending_ = b;
  return action;
}

void Programmer::SelectParameter(int index, double value) {
  if (index < kFirstSoundParam || index > kLastSoundParam) return;
  selected_ = index;
  selectedValue_ = value;
}

int Programmer::ProgramDisplayCode(int program, bool altView) const {
  if (pending_ > 0 && NumbersArePrograms(altView)) return Code(pending_, kMinusDigit);
  program = std::clamp(program, 0, 63);
  return 0x11 + 16 * (program / 8) + program % 8;
}

int Programmer::ParameterDisplayCode(bool altView) const {
  if (pending_ > 0 && !NumbersArePrograms(altView)) return Code(pending_, kMinusDigit);
  return CodeForParameter(selected_);
}

}  // namespace panel
