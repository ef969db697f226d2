#include "editor/framework/x11/X11FileChooser.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>

#include "editor/framework/x11/IGraphicsX11.h"

namespace x11 {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool NameLess(const std::string& a, const std::string& b) { return Lower(a) < Lower(b); }

constexpr int kWidth = 560;
constexpr int kHeight = 410;
constexpr int kRow = 18;
constexpr IRect kFolderList(10, 36, 200, 330);
constexpr IRect kFileList(210, 36, 550, 330);
constexpr IRect kNameField(70, 342, 550, 366);
constexpr IRect kCancelButton(370, 376, 450, 402);
constexpr IRect kAcceptButton(460, 376, 550, 402);

}  // namespace

FolderListing ListFolder(const std::string& folder, const std::vector<std::string>& extensions,
                         const std::string& pattern) {
  namespace fs = std::filesystem;
  FolderListing listing;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      listing.folders.push_back(name);
      continue;
    }
    if (!it->is_regular_file(typeError)) continue;
    const std::size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : Lower(name.substr(dot + 1));
    bool match = extensions.empty() ? (pattern != "*." || dot == std::string::npos) : false;
    for (const std::string& e : extensions) match = match || Lower(e) == extension;
    if (match) listing.files.push_back(name);
  }
  std::sort(listing.folders.begin(), listing.folders.end(), NameLess);
  std::sort(listing.files.begin(), listing.files.end(), NameLess);
  listing.folders.insert(listing.folders.begin(), "..");
  return listing;
}

namespace {

class Chooser {
 public:
  Chooser(IGraphicsX11& editor, const IFileRequest& request)
      : editor_(editor), request_(request), surface_(editor.Connection()) {
    folder_ = Normal(request.folder.empty() ? "/" : request.folder);
    name_ = request.fileName;
    Relist();
  }

  bool Run(std::string& path) {
    if (!surface_.Create(editor_.Connection().root, editor_.DialogPlace(D(kWidth), D(kHeight)), Surface::Kind::kDialog,
                         ExposureMask | ButtonPressMask | KeyPressMask | StructureNotifyMask, nullptr,
                         request_.save ? "Save" : "Open")) {
      return false;
    }
    XSetTransientForHint(editor_.Connection().display, surface_.Id(), editor_.EditorWindow());
    Draw();
    editor_.RunModal([this](XEvent& event) { return Handle(event); });
    surface_.Destroy();
    editor_.InvalidateAll();
    if (!accepted_) return false;
    path = chosen_;
    return true;
  }

 private:
  static std::string Normal(std::string folder) {
    std::error_code error;
    const std::filesystem::path p = std::filesystem::weakly_canonical(folder, error);
    std::string text = error ? folder : p.string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
  }

  void Relist() {
    listing_ = ListFolder(folder_, request_.extensions, request_.pattern);
    folderScroll_ = fileScroll_ = 0;
  }

  // Laid out in editor pixels, drawn at the editor's scale; clicks come back in editor pixels.
  int D(int v) const { return editor_.ToDevice(v); }
  IRect D(const IRect& r) const { return editor_.ToDevice(r); }
  void Label(LICE_IBitmap* b, const char* text, const IRect& rect, LICE_pixel color, int align,
             bool bold = false) const {
    x11::DrawLabel(b, text, D(rect), color, align, D(13), bold);
  }
  void Box(LICE_IBitmap* b, const IRect& rect, LICE_pixel fill, LICE_pixel line) const {
    LICE_FillRect(b, D(rect).ToLice(), fill, 1.0f, LICE_BlendMode::kCopy);
    x11::DrawFrame(b, D(rect), line, D(1));
  }

  void DrawList(LICE_IBitmap* b, const IRect& box, const std::vector<std::string>& items, int scroll, bool folders) {
    Box(b, box, kColorWhite, IColor(255, 150, 150, 150));
    const int rows = box.H() / kRow;
    for (int i = 0; i < rows && scroll + i < static_cast<int>(items.size()); ++i) {
      const std::string& item = items[static_cast<std::size_t>(scroll + i)];
      const IRect row(box.L + 2, box.T + 1 + i * kRow, box.R - 2, box.T + 1 + (i + 1) * kRow);
      if (!folders && item == name_) {
        LICE_FillRect(b, D(row).ToLice(), IColor(255, 60, 110, 200), 1.0f, LICE_BlendMode::kCopy);
      }
      const std::string label = folders ? item + "/" : item;
      Label(b, label.c_str(), row.Moved(4, 0), !folders && item == name_ ? kColorWhite : kColorBlack, LICE_TEXT_LEFT);
    }
  }

  void Draw() {
    LICE_IBitmap* b = surface_.Bitmap();
    LICE_Clear(b, IColor(255, 236, 236, 236));
    Label(b, folder_.c_str(), IRect(10, 8, kWidth - 10, 28), kColorBlack, LICE_TEXT_LEFT, true);
    DrawList(b, kFolderList, listing_.folders, folderScroll_, true);
    DrawList(b, kFileList, listing_.files, fileScroll_, false);
    Label(b, "Name:", IRect(10, kNameField.T, kNameField.L - 4, kNameField.B), kColorBlack, LICE_TEXT_LEFT);
    Box(b, kNameField, kColorWhite, IColor(255, 60, 110, 200));
    const std::string shown = name_ + "|";
    Label(b, shown.c_str(), kNameField.Moved(4, 0), kColorBlack, LICE_TEXT_LEFT);
    if (!request_.pattern.empty()) {
      Label(b, request_.pattern.c_str(), IRect(10, kCancelButton.T, kCancelButton.L - 10, kCancelButton.B),
            IColor(255, 90, 90, 90), LICE_TEXT_LEFT);
    }
    for (const IRect* r : {&kCancelButton, &kAcceptButton})
      Box(b, *r, IColor(255, 250, 250, 250), IColor(255, 140, 140, 140));
    Label(b, "Cancel", kCancelButton, kColorBlack, LICE_TEXT_CENTER);
    Label(b, request_.save ? "Save" : "Open", kAcceptButton, kColorBlack, LICE_TEXT_CENTER);
    surface_.PresentAll();
  }

  void Enter(const std::string& sub) {
    folder_ = Normal(sub == ".." ? folder_ + ".." : folder_ + sub);
    Relist();
  }

  // False ends the dialog.
  bool Accept() {
    if (name_.empty()) return true;
    const std::string full = name_[0] == '/' ? name_ : folder_ + name_;
    std::error_code error;
    if (std::filesystem::is_directory(full, error)) {
      folder_ = Normal(full);
      name_.clear();
      Relist();
      return true;
    }
    std::string candidate = full;
    const std::size_t slash = candidate.find_last_of('/');
    const std::size_t dot = candidate.find_last_of('.');
    if (request_.save && !request_.defaultExtension.empty() && (dot == std::string::npos || dot < slash)) {
      candidate += "." + request_.defaultExtension;
    }
    const bool exists = std::filesystem::is_regular_file(candidate, error);
    if (!request_.save && !exists) return true;  // opening needs an existing file
    if (!std::filesystem::is_directory(candidate.substr(0, slash + 1), error)) return true;
    if (request_.save && exists) {
      const std::string question = candidate.substr(slash + 1) + " already exists.\nDo you want to replace it?";
      if (editor_.ShowMessage(question.c_str(), "Confirm Save As", IMessageButtons::kYesNo) != kMessageYes) {
        Draw();
        return true;
      }
    }
    chosen_ = candidate;
    accepted_ = true;
    return false;
  }

  bool Handle(XEvent& event) {
    if (event.xany.window != surface_.Id()) return true;
    switch (event.type) {
      case Expose: Draw(); return true;
      case MapNotify:
        XSetInputFocus(editor_.Connection().display, surface_.Id(), RevertToParent, CurrentTime);
        return true;
      case ClientMessage: return static_cast<Atom>(event.xclient.data.l[0]) != editor_.Connection().wmDeleteWindow;
      case ButtonPress: return Click(event.xbutton);
      case KeyPress: return Key(event.xkey);
      default: return true;
    }
  }

  bool Click(const XButtonEvent& button) {
    const int x = editor_.ToEditor(button.x);
    const int y = editor_.ToEditor(button.y);
    const int wheel = button.button == Button4 ? -3 : button.button == Button5 ? 3 : 0;
    if (wheel != 0) {
      int& scroll = kFolderList.Contains(x, y) ? folderScroll_ : fileScroll_;
      const int count = static_cast<int>(kFolderList.Contains(x, y) ? listing_.folders.size() : listing_.files.size());
      scroll = std::clamp(scroll + wheel, 0, std::max(count - kFolderList.H() / kRow, 0));
      Draw();
      return true;
    }
    if (button.button != Button1) return true;
    const auto now = std::chrono::steady_clock::now();
    const bool doubleClick = now - lastClick_ < std::chrono::milliseconds(400);
    lastClick_ = now;
    if (kCancelButton.Contains(x, y)) return false;
    if (kAcceptButton.Contains(x, y)) return Accept();
    if (kFolderList.Contains(x, y)) {
      const int row = folderScroll_ + (y - kFolderList.T - 1) / kRow;
      if (row >= 0 && row < static_cast<int>(listing_.folders.size()))
        Enter(listing_.folders[static_cast<std::size_t>(row)]);
      Draw();
      return true;
    }
    if (kFileList.Contains(x, y)) {
      const int row = fileScroll_ + (y - kFileList.T - 1) / kRow;
      if (row >= 0 && row < static_cast<int>(listing_.files.size())) {
        const std::string& file = listing_.files[static_cast<std::size_t>(row)];
        const bool again = file == name_;
        name_ = file;
        if (again && doubleClick) return Accept();
      }
      Draw();
    }
    return true;
  }

  bool Key(XKeyEvent& key) {
    char text[16] = {};
    KeySym sym = NoSymbol;
    const int length = XLookupString(&key, text, sizeof(text) - 1, &sym, nullptr);
    if (sym == XK_Escape) return false;
    if (sym == XK_Return || sym == XK_KP_Enter) {
      const bool going = Accept();
      Draw();
      return going;
    }
    if (sym == XK_BackSpace) {
      while (!name_.empty() && (static_cast<unsigned char>(name_.back()) & 0xC0) == 0x80) name_.pop_back();
      if (!name_.empty()) name_.pop_back();
    } else if (length > 0 && static_cast<unsigned char>(text[0]) >= 0x20 && name_.size() < 255) {
      name_.append(text, static_cast<std::size_t>(length));
    }
    Draw();
    return true;
  }

  IGraphicsX11& editor_;
  const IFileRequest& request_;
  Surface surface_;
  std::string folder_;
  std::string name_;
  FolderListing listing_;
  int folderScroll_ = 0;
  int fileScroll_ = 0;
  std::chrono::steady_clock::time_point lastClick_{};
  bool accepted_ = false;
  std::string chosen_;
};

}  // namespace

bool RunDrawnFileChooser(IGraphicsX11& editor, const IFileRequest& request, std::string& path) {
  if (!editor.IsWindowOpen()) return false;
  Chooser chooser(editor, request);
  return chooser.Run(path);
}

}  // namespace x11
