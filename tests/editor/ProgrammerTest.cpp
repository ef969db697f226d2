// The programmer's digit rule and its three displays, on its own.
#include "editor/Programmer.h"

#include <gtest/gtest.h>

#include "editor/PanelCommands.h"

namespace {

using panel::DigitAction;
using panel::Programmer;
constexpr int kB = panel::kBlankDigit;
constexpr int kM = panel::kMinusDigit;
constexpr int Code(int high, int low) { return (high << 4) | low; }

TEST(ProgrammerTest, TwoKeysMakeAProgramWithTheFirstDigitShownAndAMinus) {
  Programmer p;
  EXPECT_EQ(p.ProgramDisplayCode(0, false), 0x11);
  EXPECT_EQ(p.ProgramDisplayCode(63, false), 0x88);
  EXPECT_EQ(p.Digit(3, false).kind, DigitAction::Kind::kNone);
  EXPECT_EQ(p.ProgramDisplayCode(0, false), Code(3, kM));
  const DigitAction a = p.Digit(5, false);
  EXPECT_EQ(a.kind, DigitAction::Kind::kSwitchProgram);
  EXPECT_EQ(a.index, 20);
  EXPECT_EQ(p.ProgramDisplayCode(20, false), 0x35);
  EXPECT_FALSE(p.DigitPending());
  // Keys 7 and 8 make banks 7 and 8 in program mode.
  p.Digit(8, false);
  EXPECT_EQ(p.Digit(8, false).index, 63);
  EXPECT_EQ(p.Digit(0, false).kind, DigitAction::Kind::kNone);  // not a key
  EXPECT_FALSE(p.DigitPending());
}

TEST(ProgrammerTest, ParameterNumbersFollowTheHardwareMatrix) {
  Programmer p;
  p.SetParameterMode(true);
  p.Digit(3, false);
  EXPECT_EQ(p.ParameterDisplayCode(false), Code(3, kM));
  EXPECT_EQ(p.ProgramDisplayCode(7, false), 0x18);  // the program display keeps the number
  DigitAction a = p.Digit(5, false);
  EXPECT_EQ(a.kind, DigitAction::Kind::kSelectParameter);
  EXPECT_EQ(a.index, 20);  // "VCF Type"
  p.SelectParameter(a.index, 1.0);
  EXPECT_EQ(p.ParameterDisplayCode(false), 0x35);

  // 36 is no parameter: the 3 stays pending until a digit completes a number.
  p.Digit(3, false);
  EXPECT_EQ(p.Digit(6, false).kind, DigitAction::Kind::kNone);
  EXPECT_TRUE(p.DigitPending());
  EXPECT_EQ(p.PendingDigit(), 3);
  EXPECT_EQ(p.Digit(1, false).index, 16);  // "VCF Cutoff"

  // 7 and 8 cannot start a number; 6 can, and 65 is no parameter.
  p.Digit(7, false);
  p.Digit(8, false);
  EXPECT_FALSE(p.DigitPending());
  p.Digit(6, false);
  EXPECT_EQ(p.Digit(5, false).kind, DigitAction::Kind::kNone);
  EXPECT_EQ(p.Digit(4, false).index, 33);

  // Changing mode forgets a pending digit.
  p.Digit(2, false);
  p.SetParameterMode(false);
  EXPECT_FALSE(p.DigitPending());
}

TEST(ProgrammerTest, TheAlternativeViewTakesEveryNumberAsAProgram) {
  Programmer p;
  p.SetParameterMode(true);
  p.Digit(7, true);
  EXPECT_EQ(p.ProgramDisplayCode(0, true), Code(7, kM));
  EXPECT_EQ(p.ParameterDisplayCode(true), 0x11);  // the selection's number, not the digit
  const DigitAction a = p.Digit(2, true);
  EXPECT_EQ(a.kind, DigitAction::Kind::kSwitchProgram);
  EXPECT_EQ(a.index, 49);
}

TEST(ProgrammerTest, EverySoundParameterHasItsOwnNumber) {
  for (int index = panel::kFirstSoundParam; index <= panel::kLastSoundParam; ++index) {
    const int code = panel::CodeForParameter(index);
    EXPECT_EQ(panel::ParameterForCode(code), index) << index;
    EXPECT_GE(code >> 4, 1);
    EXPECT_LE(code >> 4, 6);
    EXPECT_GE(code & 15, 1);
    EXPECT_LE(code & 15, 5);
  }
  EXPECT_EQ(panel::CodeForParameter(16), 0x31);
  EXPECT_EQ(panel::CodeForParameter(29), 0x55);
  EXPECT_EQ(panel::CodeForParameter(7), Code(kB, kB));
  EXPECT_EQ(panel::ParameterForCode(0x15), -1);
  EXPECT_EQ(panel::ParameterForCode(0x71), -1);
  Programmer p;
  p.SelectParameter(34, 0.0);  // not a sound parameter: ignored
  EXPECT_EQ(p.SelectedParameter(), 8);
}

TEST(ProgrammerTest, ValueDisplayShowsEachParameterAsTheHardwareDoes) {
  using panel::ValueDisplayCode;
  struct Case {
    int index;
    double x;
    int code;
  };
  const Case cases[] = {
      {8, 0, 0x16},         {8, 1, Code(kB, 8)},   {8, 2, Code(kB, 4)},     {12, 1, Code(kB, 8)}, {9, 0, Code(kB, 1)},
      {9, 2, Code(kB, 3)},  {13, 2, Code(kB, 2)},  {14, 0, Code(kB, 1)},    {14, 1, Code(kM, 3)}, {14, 2, Code(kB, 3)},
      {14, 4, Code(kB, 5)}, {19, -7, Code(kM, 7)}, {19, -0.3, Code(kB, 0)}, {19, 5, Code(kB, 5)}, {20, 0, 0x12},
      {20, 1, 0x24},        {16, 63, 0x63},        {16, 9, Code(kB, 9)},    {16, 40.5, 0x41},     {16, 40.49, 0x40},
      {11, 15, 0x15},       {29, 12, 0x12},        {10, 7, Code(kB, 7)},    {25, 1, Code(kB, 1)}, {31, 3, Code(kB, 3)},
      {15, 6, Code(kB, 6)}, {7, 1, Code(kB, kB)},  {34, 1, Code(kB, kB)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValueDisplayCode(c.index, c.x), c.code) << "index " << c.index << " value " << c.x;
  }
}

}  // namespace
