// The utility and program menus, item by item.
#include "editor/Menus.h"

#include <cstdio>
#include <iterator>
#include <memory>

#include "editor/framework/EditorScale.h"

namespace menus {
namespace {

int Flags(bool disabled, bool checked) {
  return (disabled ? IPopupMenu::kDisabled : 0) | (checked ? IPopupMenu::kChecked : 0);
}

}  // namespace

UtilityMenu::UtilityMenu(const UtilityMenuState& state, const std::string& webHost) {
  auto a = std::make_unique<IPopupMenu>();
  a->AddItem("Load Program");
  a->AddSeparator();
  a->AddItem("Restore Poly-61 Factory Program");
  a->AddItem("Restore Quellmark's Factory Program");
  a->AddItem("Restore Veltrum's Factory Program");
  auto b = std::make_unique<IPopupMenu>();
  b->AddItem("Load FXB Bank File");
  b->AddSeparator();
  b->AddItem("Restore Poly-61 Factory Sounds");
  b->AddItem("Restore Quellmark's Factory Sounds");
  b->AddItem("Restore Veltrum's Factory Sounds");
  auto c = std::make_unique<IPopupMenu>();
  c->AddItem("MIDI Thru", Flags(false, state.midiThru));
  c->AddItem("Ignore Program Change", Flags(false, state.ignoreProgramChange));
  auto d = std::make_unique<IPopupMenu>();
  d->AddItem("Check Online for Update");
  d->AddItem(("Visit " + webHost).c_str());
  auto e = std::make_unique<IPopupMenu>();
  e->AddItem("Auto", Flags(false, state.zoom == editor_scale::kAuto));
  for (int percent : editor_scale::kSteps) {
    e->AddItem((std::to_string(percent) + " %").c_str(), Flags(false, state.zoom == percent));
  }
  a_ = a.get();
  b_ = b.get();
  c_ = c.get();
  d_ = d.get();
  e_ = e.get();

  top_.AddItem("Copy Program");
  top_.AddItem("Paste Program", Flags(!state.canPaste, false));
  top_.AddItem("Init Program");
  top_.AddSeparator();
  top_.AddSubmenu("Load Program...", std::move(a));
  top_.AddItem("Save Program");
  top_.AddSubmenu("Load Bank...", std::move(b));
  top_.AddItem("Save Bank");
  top_.AddItem("Load Poly-61 Tape Dump");
  top_.AddSeparator();
  top_.AddItem("Select Startup Bank");
  top_.AddItem("Load Startup Bank", Flags(!state.hasStartupBank, false));
  top_.AddItem("Unselect Startup Bank", Flags(!state.hasStartupBank, false));
  top_.AddSeparator();
  top_.AddItem("Default Path for Program Files...");
  top_.AddSubmenu("Global MIDI Settings...", std::move(c));
  top_.AddItem("Reload Configuration");
  top_.AddItem("Save Configuration");
  top_.AddSeparator();
  top_.AddItem("Show All Parameters", Flags(false, state.showParameters));
  top_.AddItem("Open Alt. View on Startup", Flags(false, state.openAltView));
  top_.AddSubmenu("Zoom", std::move(e));
  top_.AddSeparator();
  top_.AddSubmenu("Go Online...", std::move(d));
}

int UtilityMenu::CommandFor(const IPopupMenu* chosen) const {
  if (chosen == nullptr || chosen->ChosenItemIndex() < 0) return kNoCommand;
  const int index = chosen->ChosenItemIndex();
  if (chosen == a_) return kOffsetA + index;
  if (chosen == b_) return kOffsetB + index;
  if (chosen == c_) return kOffsetC + index;
  if (chosen == d_) return kOffsetD + index;
  if (chosen == e_) return kOffsetE + index;
  return index;
}

int ZoomOfCommand(int command) {
  if (command == kZoomAuto) return editor_scale::kAuto;
  const int step = command - kZoomAuto - 1;
  return step >= 0 && step < static_cast<int>(std::size(editor_scale::kSteps)) ? editor_scale::kSteps[step] : -1;
}

ProgramMenu::ProgramMenu(const std::vector<std::string>& names, int current) {
  for (int b = 1; b <= kBanks; ++b) {
    auto bank = std::make_unique<IPopupMenu>();
    for (int n = 1; n <= kProgramsPerBank; ++n) {
      const std::size_t index = static_cast<std::size_t>((b - 1) * kProgramsPerBank + (n - 1));
      const std::string name = index < names.size() ? names[index] : std::string();
      const int length =
          std::snprintf(nullptr, 0, "%1u%1u: %s", static_cast<unsigned>(b), static_cast<unsigned>(n), name.c_str());
      std::string text(static_cast<std::size_t>(length), '\0');
      std::snprintf(text.data(), text.size() + 1, "%1u%1u: %s", static_cast<unsigned>(b), static_cast<unsigned>(n),
                    name.c_str());
      bank->AddItem(text.c_str(), static_cast<int>(index) == current ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
    }
    banks_[b - 1] = bank.get();
    char title[16];
    std::snprintf(title, sizeof(title), "%1u1 - %1u8", static_cast<unsigned>(b), static_cast<unsigned>(b));
    top_.AddSubmenu(title, std::move(bank));
  }
}

int ProgramMenu::ProgramFor(const IPopupMenu* chosen) const {
  if (chosen == nullptr || chosen->ChosenItemIndex() < 0) return -1;
  int bank = 1;
  for (int b = 2; b <= kBanks; ++b) {
    if (chosen == banks_[b - 1]) bank = b;
  }
  return (bank - 1) * kProgramsPerBank + chosen->ChosenItemIndex();
}

}  // namespace menus
