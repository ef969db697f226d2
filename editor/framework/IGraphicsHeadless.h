// An editor without a window: it draws into its back buffer exactly as a window would, and its
// dialogs answer from a script. Tests and the snapshot tool use it; it also records what a
// user would have seen (messages, menus, presented rectangles, opened addresses).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "editor/framework/IGraphics.h"

class IGraphicsHeadless : public IGraphics {
 public:
  IGraphicsHeadless(IPlugBase* plug, int width, int height, int frameRate = kDefaultFrameRate);
  ~IGraphicsHeadless() override;

  // ---- Script: answers for the next dialogs, first in first out -----------------------------
  // A message box answer (kMessageNone when the queue is empty).
  void ScriptMessage(int answer) { messages_.push_back(answer); }
  // The depth-first identifier the next menu picks (-1 dismisses, as does an empty queue).
  void ScriptMenuPick(int id) { menuPicks_.push_back(id); }
  // The path the next file dialog answers ("" cancels, as does an empty queue).
  void ScriptFile(const std::string& path) { files_.push_back(path); }
  void ScriptColor(LICE_pixel color) { colors_.push_back(color); }
  void SetLaunchSucceeds(bool on) { launchSucceeds_ = on; }
  void SetClipboard(const std::string& text) { clipboard_ = text; }
  void SetFolders(const std::string& host, const std::string& plugin, const std::string& desktop,
                  const std::string& appData);

  // ---- The entry box: typing into it as a user would ----------------------------------------
  // Types characters through the entry's filter and limit; '\b' deletes the last one.
  void TypeIntoEntry(const char* text);
  // Replaces the box's text as a paste would (no filter, the limit still holds).
  void SetEntryText(const char* text);
  const std::string& EntryText() const { return entryText_; }
  const IRect& EntryRect() const { return entryRect_; }

  // ---- Time ---------------------------------------------------------------------------------
  // Runs n timer ticks (each one TimerIntervalMs of editor time).
  void Tick(int n = 1);

  // ---- What was shown -----------------------------------------------------------------------
  struct Message {
    std::string text;
    std::string caption;
    IMessageButtons buttons;
  };
  const std::vector<Message>& Messages() const { return shown_; }
  // Menus shown: each as its top-level item texts, and where.
  const std::vector<std::vector<std::string>>& Menus() const { return menus_; }
  const std::vector<IFileRequest>& FileRequests() const { return fileRequests_; }
  const std::vector<std::string>& LaunchedUrls() const { return urls_; }
  // Every PresentRect since the last ClearPresented, and the pixels they covered.
  const std::vector<IRect>& Presented() const { return presented_; }
  long long PresentedArea() const { return presentedArea_; }
  void ClearPresented() {
    presented_.clear();
    presentedArea_ = 0;
  }
  bool CursorHidden() const { return cursorHidden_; }
  int OpenCount() const { return openCount_; }

  // ---- Platform slots -----------------------------------------------------------------------
  void PresentRect(const IRect& rect) override;
  bool IsWindowOpen() const override { return open_; }
  const char* DrawingApiName() const override { return "headless"; }
  int ShowMessage(const char* text, const char* caption, IMessageButtons buttons) override;
  std::string HostFolder() override { return hostFolder_; }
  std::string PluginFolder() override { return pluginFolder_; }
  std::string DesktopFolder() override { return desktopFolder_; }
  std::string AppDataFolder(bool common) override { return appDataFolder_; }
  bool PromptColor(LICE_pixel& color) override;
  bool OpenEditorWindow(void* parentWindow) override;
  void CloseEditorWindow() override;
  void* WindowHandle() const override { return open_ ? const_cast<IGraphicsHeadless*>(this) : nullptr; }
  bool ClipboardText(std::string& text) override;
  void HideCursor() override { cursorHidden_ = true; }
  void RestoreCursor() override { cursorHidden_ = false; }
  int TrackPopupMenu(IPopupMenu& menu, int x, int y) override;
  bool RunFileDialog(const IFileRequest& request, std::string& path) override;
  bool LaunchUrl(const char* url) override;
  bool CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) override;
  void ReadTextEntryBox(char* text, int size) override;
  void DestroyTextEntryBox() override;
  void InvalidateRect(const IRect& rect) override { Paint(rect); }
  // The desktop's scale factor as a test sets it (SetDesktopScale); 0 (none) at first.
  double DesktopScaleFactor(void* parentWindow) override { return desktopScale_; }
  void SetDesktopScale(double factor) { desktopScale_ = factor; }
  // Window sizes the window took (ResizeWindow), in order.
  const std::vector<std::pair<int, int>>& WindowSizes() const { return windowSizes_; }
  void ResizeWindow(int width, int height) override { windowSizes_.emplace_back(width, height); }

 private:
  double desktopScale_ = 0.0;
  std::vector<std::pair<int, int>> windowSizes_;
  bool open_ = false;
  int openCount_ = 0;
  std::deque<int> messages_;
  std::deque<int> menuPicks_;
  std::deque<std::string> files_;
  std::deque<LICE_pixel> colors_;
  bool launchSucceeds_ = true;
  std::string clipboard_;
  std::string hostFolder_;
  std::string pluginFolder_;
  std::string desktopFolder_;
  std::string appDataFolder_;
  std::string entryText_;
  IRect entryRect_;
  bool entryBox_ = false;
  std::vector<Message> shown_;
  std::vector<std::vector<std::string>> menus_;
  std::vector<IFileRequest> fileRequests_;
  std::vector<std::string> urls_;
  std::vector<IRect> presented_;
  long long presentedArea_ = 0;
  bool cursorHidden_ = false;
};
