// The panel built into an editor: every control of both views from the layout tables, the
// control registry, the view switch, and the editor's side of the panel seam (PanelView).
// Built once per plug-in instance (with its editor, in the product's constructor) and kept
// until the editor is destroyed; closing and opening the window changes nothing here.
// User-interface thread only, like the controls.
#pragma once

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "editor/Layout.h"
#include "editor/PanelView.h"
#include "editor/controls/PanelControl.h"

class IGraphics;

namespace panel {

class IQMScrollItemControl;

class PanelLayout : public PanelView {
 public:
  // Sizes the editor, loads the artwork and adds the controls of both views to graphics,
  // then attaches itself to the plug-in's panel and applies the view state. menus may be
  // null (the menu buttons then open nothing).
  PanelLayout(IGraphics& graphics, Tesvar& plug, PanelMenus* menus);
  ~PanelLayout() override;
  PanelLayout(const PanelLayout&) = delete;
  PanelLayout& operator=(const PanelLayout&) = delete;

  // The control under a registry key (see RegistryKey), null when there is none.
  IControl* Find(int key) const;

  // ---- PanelView ----------------------------------------------------------------------------
  bool IsWindowOpen() const override;
  bool OnEditorThread() const override { return timerThread_.load() == std::this_thread::get_id(); }
  bool PromptFolder(std::string& folder) override;
  void ShowView(bool altView) override;
  void RefreshBrowser() override;
  void RefreshPanel() override;

 private:
  void AddPlaces(std::span<const Place> places, View view, std::size_t from);
  IControl* MakeControl(const Place& place, int number, int x, int y, int right, int bottom);
  const IBitmap& ArtOf(Art art) const;
  // Every editor timer tick: the panel's button repeat and idle work.
  static void OnTimerTick(void* layout);

  IGraphics& graphics_;
  Tesvar& plug_;
  PanelMenus* menus_;
  std::array<IBitmap, static_cast<std::size_t>(Art::kCount)> art_{};
  std::array<IControl*, kRegistrySize> registry_{};
  std::vector<StateControl*> stateControls_;
  std::vector<IControl*> stateControlBases_;  // the same controls, for their visibility
  std::vector<IQMScrollItemControl*> rows_;
  // The thread the editor's timer runs on (none until its first tick).
  std::atomic<std::thread::id> timerThread_{};
};

// The editor factory's work: a platform editor holding the panel, whose layout lives as long
// as the editor (it is destroyed with it). Null when graphics is null.
EditorView* AttachPanel(IGraphics* graphics, Tesvar& plug, PanelMenus* menus);

}  // namespace panel
