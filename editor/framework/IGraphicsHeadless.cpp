#include "editor/framework/IGraphicsHeadless.h"

#include "platform/Platform.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate) {
  const std::string home = platform::DocumentsFolder();
  SetFolders(home, home, home, platform::LocalAppDataFolder());
}

IGraphicsHeadless::~IGraphicsHeadless() {
  if (open_) CloseEditorWindow();
}

void IGraphicsHeadless::SetFolders(const std::string& host, const std::string& plugin, const std::string& desktop,
                                   const std::string& appData) {
  auto withSeparator = [](std::string folder) {
    if (!folder.empty() && folder.back() != platform::PathSeparator()) folder += platform::PathSeparator();
    return folder;
  };
  hostFolder_ = withSeparator(host);
  pluginFolder_ = withSeparator(plugin);
  desktopFolder_ = withSeparator(desktop);
  appDataFolder_ = withSeparator(appData);
}

void IGraphicsHeadless::TypeIntoEntry(const char* text) {
  if (!entryBox_ || text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '\b') {
      if (!entryText_.empty()) entryText_.pop_back();
      continue;
    }
    if (!Entry().Accepts(c) || static_cast<int>(entryText_.size()) >= Entry().Limit()) continue;
    entryText_.push_back(static_cast<char>(c));
  }
}

void IGraphicsHeadless::SetEntryText(const char* text) {
  if (!entryBox_) return;
  entryText_ = text != nullptr ? text : "";
  if (static_cast<int>(entryText_.size()) > Entry().Limit())
    entryText_.resize(static_cast<std::size_t>(Entry().Limit()));
}

void IGraphicsHeadless::Tick(int n) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  for (int i = 0; i < n; ++i) OnTimer();
}

void IGraphicsHeadless::PresentRect(const IRect& rect) {
  presented_.push_back(rect);
  presentedArea_ += static_cast<long long>(rect.W()) * rect.H();
}

int IGraphicsHeadless::ShowMessage(const char* text, const char* caption, IMessageButtons buttons) {
  if (ClosePending()) return kMessageNone;
  shown_.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", buttons});
  if (messages_.empty()) return kMessageNone;
  const int answer = messages_.front();
  messages_.pop_front();
  return answer;
}

bool IGraphicsHeadless::PromptColor(LICE_pixel& color) {
  if (colors_.empty()) return false;
  color = colors_.front();
  colors_.pop_front();
  return true;
}

bool IGraphicsHeadless::OpenEditorWindow(void* parentWindow) {
  if (open_) CloseEditorWindow();
  open_ = true;
  ++openCount_;
  WindowOpened();
  return true;
}

void IGraphicsHeadless::CloseEditorWindow() {
  if (entryBox_) DestroyTextEntryBox();
  open_ = false;
  WindowClosed();
}

bool IGraphicsHeadless::ClipboardText(std::string& text) {
  if (clipboard_.empty()) return false;
  text = clipboard_;
  return true;
}

int IGraphicsHeadless::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
  std::vector<std::string> texts;
  for (int i = 0; i < menu.ItemCount(); ++i) texts.push_back(menu.DisplayText(i));
  menus_.push_back(std::move(texts));
  if (menuPicks_.empty()) return -1;
  const int id = menuPicks_.front();
  menuPicks_.pop_front();
  return id;
}

bool IGraphicsHeadless::RunFileDialog(const IFileRequest& request, std::string& path) {
  fileRequests_.push_back(request);
  if (files_.empty()) return false;
  path = files_.front();
  files_.pop_front();
  return !path.empty();
}

bool IGraphicsHeadless::LaunchUrl(const char* url) {
  if (!launchSucceeds_) return false;
  urls_.emplace_back(url);
  return true;
}

bool IGraphicsHeadless::CreateTextEntryBox(const TextEntry& entry, const IRect& rect, const IText& style) {
  entryBox_ = true;
  entryRect_ = rect;
  entryText_ = entry.InitialText();
  return true;
}

void IGraphicsHeadless::ReadTextEntryBox(char* text, int size) {
  if (size <= 0) return;
  const std::size_t n = std::min(entryText_.size(), static_cast<std::size_t>(size - 1));
  entryText_.copy(text, n);
  text[n] = '\0';
}

void IGraphicsHeadless::DestroyTextEntryBox() {
  entryBox_ = false;
  entryText_.clear();
  entryRect_ = IRect();
}
