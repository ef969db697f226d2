// The panel's command handler, lit states and displays.
#include "editor/Panel.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/Tesvar.h"

namespace panel {
namespace {

constexpr int kPrograms = Tesvar::kProgramCount;

int ModeOf(const Tesvar& plug) { return static_cast<int>(plug.GetParam(kMode)->Value()); }

}  // namespace

Panel::Panel(Tesvar& plug) : plug_(plug), altView_(plug.Settings().openAltView) {}

// ---- Commands -------------------------------------------------------------------------------

bool Panel::RunCommand(int command, bool right) {
  bool pressed = true;
  switch (command) {
    case kFileSource:
      pressed = false;
      RunFile();
      break;
    case kCurrentBankSource: ListOwnPrograms(); break;
    case kFactorySource: ListFactoryBanks(); break;
    case kViewSwitch:
      altView_ = !altView_;
      ApplyView();
      break;
    case kLearn: plug_.ToggleLearn(right); break;
    case kDown:
    case kUp: StepDownUp(command == kUp); break;
    case kProgramMode:
    case kParameterMode: programmer_.SetParameterMode(command == kParameterMode); break;
    case kHold: {
      platform::Guard guard(plug_.Lock());
      plug_.Engine().SetHold(!plug_.Engine().Hold());
      break;
    }
    case kChord: {
      platform::Guard guard(plug_.Lock());
      // A new chord in Chord mode changes the voice grid although "Mode" stays.
      if (plug_.Engine().CaptureChord()) plug_.Engine().ReconfigureVoices();
      SetPlainFromPanel(kMode, 1);
      break;
    }
    case kPoly: SetPlainFromPanel(kMode, 0); break;
    case kUnison: SetPlainFromPanel(kMode, 2); break;
    default:
      if (command >= kFirstKey && command <= kLastKey) PressDigit(command - kFirstKey + 1);
      break;  // BROWSE and the rest change nothing here
  }
  plug_.RequestEditorRefresh();
  Refresh();
  return pressed;
}

bool Panel::Press(int command, bool right, PanelTime now) {
  const bool pressed = RunCommand(command, right);
  if ((command == kDown || command == kUp) && programmer_.ParameterMode() && !altView_) {
    repeat_.Start(command, right, now);
  }
  return pressed;
}

void Panel::TimerTick(PanelTime now) {
  if (repeat_.Running() && !WindowOpen()) repeat_.Stop();
  if (repeat_.Due(now)) RunCommand(repeat_.Command(), repeat_.Right());
  RefreshStaleBrowser();
  if (!WindowOpen()) return;
  // The looks are polled at every tick, not only on request: some changes set no flag (the
  // sustain pedal lighting HOLD, a MIDI controller completing a learn).
  plug_.TakeEditorRefresh();
  view_->RefreshPanel();
}

void Panel::SelectParameter(int index) {
  if (index < kFirstSoundParam || index > kLastSoundParam) return;
  {
    platform::Guard guard(plug_.Lock());
    programmer_.SelectParameter(index, plug_.GetParam(index)->Value());
  }
  programmer_.SetParameterMode(true);
  plug_.RequestEditorRefresh();
  Refresh();
}

void Panel::StepDownUp(bool up) {
  platform::Guard guard(plug_.Lock());
  if (!programmer_.ParameterMode() || altView_) {
    plug_.SwitchProgram((plug_.CurrentProgram() + (up ? 1 : kPrograms - 1)) % kPrograms);
    return;
  }
  const int index = programmer_.SelectedParameter();
  const ParamRecord* param = plug_.GetParam(index);
  SetPlainFromPanel(index, std::round(param->Value() + (up ? 1.0 : -1.0)));
}

void Panel::PressDigit(int b) {
  const DigitAction action = programmer_.Digit(b, altView_);
  if (action.kind == DigitAction::Kind::kSwitchProgram) plug_.SwitchProgram(action.index);
  if (action.kind == DigitAction::Kind::kSelectParameter) {
    platform::Guard guard(plug_.Lock());
    programmer_.SelectParameter(action.index, plug_.GetParam(action.index)->Value());
  }
}

void Panel::SetPlainFromPanel(int index, double plain) {
  platform::Guard guard(plug_.Lock());
  ParamRecord* param = plug_.GetParam(index);
  param->SetPlain(std::clamp(plain, param->Min(), param->Max()));
  plug_.ReportParamValue(index, param->Normalised());
  if (plug_.Editor() != nullptr) plug_.Editor()->ShowParamValue(index, param->Value(), false);
  plug_.ParameterChanged(index);
}

// ---- What the controls show -----------------------------------------------------------------

bool Panel::Lit(int command) {
  switch (command) {
    case kFileSource: return browser_.Source() == BrowserSource::kFile;
    case kCurrentBankSource: return browser_.Source() == BrowserSource::kCurrentBank;
    case kFactorySource: return browser_.Source() == BrowserSource::kFactory;
    case kEditLed: {
      // Edited since the program was restored: every sound parameter, "DCO1 Octave" too.
      platform::Guard guard(plug_.Lock());
      const int index = programmer_.SelectedParameter();
      if (index >= plug_.LoadedValueCount()) return false;
      const ParamRecord* param = plug_.GetParam(index);
      const double loaded = plug_.LoadedValues()[index];
      // The restore clamped what it read; a value it could not take tells nothing.
      if (!std::isfinite(loaded)) return false;
      return param->Value() != std::clamp(loaded, param->Min(), param->Max());
    }
    case kLearn: return plug_.LearnState() != shell::LearnMode::kOff;
    case kProgramMode: return !programmer_.ParameterMode() || altView_;
    case kParameterMode: return programmer_.ParameterMode() && !altView_;
    case kHold: {
      platform::Guard guard(plug_.Lock());
      return plug_.Engine().Hold();
    }
    case kChord:
    case kPoly:
    case kUnison: {
      platform::Guard guard(plug_.Lock());
      const int mode = ModeOf(plug_);
      return (command == kChord && mode == 1) || (command == kPoly && mode == 0) || (command == kUnison && mode == 2);
    }
    default: return false;
  }
}

int Panel::LearnLabelFrame() {
  switch (plug_.LearnState()) {
    case shell::LearnMode::kLearning: return 1;
    case shell::LearnMode::kForgetting: return 2;
    default: return 0;
  }
}

int Panel::DisplayCode(int display) {
  platform::Guard guard(plug_.Lock());
  switch (display) {
    case kProgramDisplay: return programmer_.ProgramDisplayCode(plug_.CurrentProgram(), altView_);
    case kParameterDisplay: return programmer_.ParameterDisplayCode(altView_);
    case kValueDisplay: {
      const int index = programmer_.SelectedParameter();
      return ValueDisplayCode(index, plug_.GetParam(index)->Value());
    }
    default: return (kBlankDigit << 4) | kBlankDigit;
  }
}

std::array<int, 4> Panel::VoicesDigits() {
  platform::Guard guard(plug_.Lock());
  const engine::VoiceLayout& layout = plug_.Engine().Layout();
  const int p = std::clamp(layout.polyphony, 0, 99);
  const int v = std::clamp(layout.voicesPerNote, 0, 99);
  std::array<int, 4> digits{kBlankDigit, kBlankDigit, p > 9 ? p / 10 : kBlankDigit, p % 10};
  if (ModeOf(plug_) != 0) {
    // A chord of ten or more notes has no room for the minus.
    digits[0] = v > 9 ? v / 10 : v;
    digits[1] = v > 9 ? v % 10 : kMinusDigit;
  }
  return digits;
}

// ---- The product's side ---------------------------------------------------------------------

void Panel::ApplyView() {
  if (altView_) {
    if (browser_.Files().empty()) browser_.SetFiles(Browser::ListBankFolder(plug_.Settings().programFilesPath));
    if (browser_.Source() == BrowserSource::kCurrentBank) {
      ListOwnPrograms();
    } else {
      RefreshBrowser();
    }
  }
  if (view_ != nullptr) view_->ShowView(altView_);
}

void Panel::Idle() {
  if (view_ == nullptr || view_->OnEditorThread()) Refresh();
}

void Panel::Refresh() {
  RefreshStaleBrowser();
  // The flag stays set while the window is closed, so opening it shows the news.
  if (WindowOpen() && plug_.TakeEditorRefresh()) view_->RefreshPanel();
}

void Panel::RefreshStaleBrowser() {
  if (!browserStale_.exchange(false)) return;
  if (browser_.Source() == BrowserSource::kCurrentBank && !browser_.Programs().empty()) {
    ListOwnPrograms();
  } else {
    RefreshBrowser();
  }
}

void Panel::RefreshBrowser() {
  if (view_ != nullptr) view_->RefreshBrowser();
}

}  // namespace panel
