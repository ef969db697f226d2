// Building the panel's controls from the layout tables, and the view switch.
#include "editor/PanelLayout.h"

#include <cstdio>
#include <memory>

#include "editor/controls/IQMBrowserControls.h"
#include "editor/controls/IQMButtons.h"
#include "editor/controls/IQMDisplays.h"
#include "editor/controls/IQMKnobs.h"
#include "editor/framework/Controls.h"
#include "editor/framework/IGraphics.h"

namespace panel {
namespace {

const IText kVersionStyle{"Arial", 12, IColor(128, 255, 255, 255)};

// The layout belongs to the editor: this invisible control (an all-zero rectangle is never
// hit and never drawn) owns it, so it is destroyed with the editor's controls.
class LayoutHolder : public IControl {
 public:
  LayoutHolder(IPlugBase* plug, std::unique_ptr<PanelLayout> layout)
      : IControl(plug, IRect()), layout_(std::move(layout)) {}
  bool Draw(IGraphics&) override { return true; }

 private:
  std::unique_ptr<PanelLayout> layout_;
};

std::string VersionText(const Tesvar& plug) {
  const std::uint32_t word = plug.VersionWord();
  char text[32];
  std::snprintf(text, sizeof(text), "v.%u.%u.%u.%u", word >> 16, (word >> 8) & 0xFF, word & 0xFF, 0u);
  return text;
}

}  // namespace

PanelLayout::PanelLayout(IGraphics& graphics, Tesvar& plug, std::unique_ptr<PanelMenus> menus)
    : graphics_(graphics), plug_(plug), menus_(std::move(menus)) {
  graphics_.Resize(kPanelWidth, kPanelHeight);
  graphics_.HandleMouseOver(true);
  graphics_.EnableTooltips(true);
  const std::span<const ArtResource> resources = ArtResources();
  for (std::size_t i = 0; i < resources.size(); ++i) {
    art_[i] = graphics_.LoadPngResource(resources[i].id, resources[i].name, resources[i].frames);
  }
  // Drawing order: the two backgrounds, the view switch, then each view's controls.
  AddPlaces(MainViewPlaces().first(1), View::kMain, 0);
  AddPlaces(AltViewPlaces().first(1), View::kAlt, 0);
  AddPlaces(BothViewPlaces(), View::kBoth, 0);
  AddPlaces(MainViewPlaces(), View::kMain, 1);
  AddPlaces(AltViewPlaces(), View::kAlt, 1);
  if (IControl* overlay = menus_ != nullptr ? menus_->CreateOverlay() : nullptr) {
    graphics_.AddControl(overlay);
    overlay->Hide(true);
  }
  plug_.GetPanel().SetView(this);
  plug_.GetPanel().ApplyView();
  graphics_.SetTimerHandler(&PanelLayout::OnTimerTick, this);
}

PanelLayout::~PanelLayout() {
  graphics_.SetTimerHandler(nullptr, nullptr);
  plug_.GetPanel().SetView(nullptr);
}

void PanelLayout::OnTimerTick(void* context) {
  auto* layout = static_cast<PanelLayout*>(context);
  layout->timerThread_.store(std::this_thread::get_id());
  Panel& panel = layout->plug_.GetPanel();
  panel.TimerTick(panel.Now());
}

const IBitmap& PanelLayout::ArtOf(Art art) const {
  static const IBitmap kNoArt{};
  return art == Art::kNone ? kNoArt : art_[static_cast<std::size_t>(art)];
}

void PanelLayout::AddPlaces(std::span<const Place> places, View view, std::size_t from) {
  for (std::size_t p = from; p < places.size(); ++p) {
    const Place& place = places[p];
    for (int i = 0; i < place.count; ++i) {
      const int number = NumberOf(place, i);
      const int x = place.x + i * place.dx;
      const int y = place.y + i * place.dy;
      const int right = place.right == 0 ? 0 : place.right + i * place.dx;
      const int bottom = place.bottom == 0 ? 0 : place.bottom + i * place.dy;
      IControl* control = MakeControl(place, number, x, y, right, bottom);
      graphics_.AddControl(control);
      if (auto* state = dynamic_cast<StateControl*>(control)) {
        stateControls_.push_back(state);
        stateControlBases_.push_back(control);
      }
      if (auto* row = dynamic_cast<IQMScrollItemControl*>(control)) rows_.push_back(row);
      const int key = RegistryKey(view, number);
      if (key >= 0 && key < kRegistrySize) registry_[key] = control;
    }
  }
}

IControl* PanelLayout::MakeControl(const Place& place, int number, int x, int y, int right, int bottom) {
  Tesvar* plug = &plug_;
  const IRect box(x, y, right, bottom);
  const IBitmap& art = ArtOf(place.art);
  const int command = -number;
  switch (place.kind) {
    case Kind::kBackground: return new IBitmapControl(plug, x, y, number, art);
    case Kind::kVersionText: return new ITextControl(plug, box, kVersionStyle, VersionText(plug_).c_str());
    case Kind::kPresetName: return new IQMPresetName(plug, box);
    case Kind::kNumberDisplay: return new IQMNumberDisplay(plug, box, command, art);
    case Kind::kOptionMenu:
      return new IQMOptionMenu(plug, right == 0 ? IRect(x, y, x + art.FrameW(), y + art.FrameH()) : box, art,
                               menus_.get());
    case Kind::kLamp: return new IQMBitmapControl(plug, x, y, command, art);
    case Kind::kButton: return new IQMButtonKick(plug, x, y, command, art, ArtOf(place.lit));
    case Kind::kPresetMenu: return new IQMPresetMenu(plug, x, y, art, menus_.get());
    case Kind::kKnob: return new IQMKnobControl(plug, x, y, number, art, place.gearing);
    case Kind::kTextToggle: return new IQMTextToggle(plug, box, number);
    case Kind::kVoices: return new IQMVoicesControl(plug, box, number, art);
    case Kind::kFader: return new IQMParamPanelControl(plug, x, y, number, art, ArtOf(place.lit));
    case Kind::kHotSpot: return new IQMUtilityKick(plug, box, command);
    case Kind::kSwitch: return new IQMSwitchControl(plug, x, y, number, art);
    case Kind::kFileScroll: return new IQMScrollControl(plug, box, command, ListKind::kFiles);
    case Kind::kProgramScroll: return new IQMScrollControl(plug, box, command, ListKind::kPrograms);
    case Kind::kFileRow: return new IQMScrollItemControl(plug, box, command, ListKind::kFiles, command - kFirstFileRow);
    case Kind::kProgramRow:
      return new IQMScrollItemControl(plug, box, command, ListKind::kPrograms, command - kFirstProgramRow);
  }
  return nullptr;
}

IControl* PanelLayout::Find(int key) const { return key >= 0 && key < kRegistrySize ? registry_[key] : nullptr; }

bool PanelLayout::IsWindowOpen() const { return graphics_.IsWindowOpen(); }

bool PanelLayout::PromptFolder(std::string& folder) {
  // A save dialog whose file name is ignored: its folder is what counts.
  std::string fileName = "[file name is ignored]";
  std::string chosen = folder;
  graphics_.PromptFile(fileName, true, chosen, " ");
  if (fileName.empty()) return false;
  folder = chosen;
  return true;
}

void PanelLayout::ShowView(bool altView) {
  for (int key = 0; key < kRegistrySize; ++key) {
    IControl* control = registry_[key];
    if (control == nullptr) continue;
    const bool hidden = !KeyShownIn(key, altView);
    if (control->IsHidden() != hidden) control->Hide(hidden);
  }
}

void PanelLayout::RefreshBrowser() {
  for (IQMScrollItemControl* row : rows_) row->Refresh();
  RefreshPanel();
}

void PanelLayout::RefreshPanel() {
  // One hold of the plug-in lock for every look (the editor's lock is already held here).
  platform::Guard guard(plug_.Lock());
  for (std::size_t i = 0; i < stateControls_.size(); ++i) {
    if (!stateControlBases_[i]->IsHidden()) stateControls_[i]->RefreshLook();
  }
}

EditorView* AttachPanel(IGraphics* graphics, Tesvar& plug, std::unique_ptr<PanelMenus> menus) {
  if (graphics == nullptr) return nullptr;
  graphics->AddControl(new LayoutHolder(&plug, std::make_unique<PanelLayout>(*graphics, plug, std::move(menus))));
  return graphics;
}

}  // namespace panel
