// Message boxes drawn by the Linux editor: a small transient window over the editor with the
// text and OK, or Yes and No. Modal to the editor: the editor gets no input until it closes.
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "editor/framework/x11/IGraphicsX11.h"

namespace {

constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kLineHeight = 18;
constexpr int kMaxTextWidth = 420;

// Breaks the text at blanks and line breaks into lines no wider than the limit.
std::vector<std::string> WrapLines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream paragraphs(text);
  std::string paragraph;
  while (std::getline(paragraphs, paragraph)) {
    std::string line;
    std::stringstream words(paragraph);
    std::string word;
    while (words >> word) {
      const std::string candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && x11::LabelWidth(candidate.c_str()) > kMaxTextWidth) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
    }
    lines.push_back(line);
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

}  // namespace

int IGraphicsX11::ShowMessage(const char* text, const char* caption, IMessageButtons buttons) {
  std::lock_guard<std::recursive_mutex> guard(EditorLock());
  if (!IsWindowOpen() || ClosePending()) return kMessageNone;
  const std::vector<std::string> lines = WrapLines(text != nullptr ? text : "");
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, x11::LabelWidth(line.c_str()));
  const int width = std::max(textWidth + 40, 2 * kButtonWidth + 60);
  const int height = static_cast<int>(lines.size()) * kLineHeight + kButtonHeight + 50;
  struct Button {
    IRect rect;
    const char* label;
    int answer;
  };
  std::vector<Button> choices;
  const int by = height - kButtonHeight - 12;
  if (buttons == IMessageButtons::kYesNo) {
    choices.push_back({IRect(width / 2 - kButtonWidth - 6, by, width / 2 - 6, by + kButtonHeight), "Yes", kMessageYes});
    choices.push_back({IRect(width / 2 + 6, by, width / 2 + 6 + kButtonWidth, by + kButtonHeight), "No", kMessageNo});
  } else {
    choices.push_back({IRect((width - kButtonWidth) / 2, by, (width + kButtonWidth) / 2, by + kButtonHeight), "OK", kMessageOK});
  }
  int focus = 0;
  x11::Surface box(Connection());
  if (!box.Create(Connection().root, DialogPlace(width, height), x11::Surface::Kind::kDialog,
                  ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | StructureNotifyMask, nullptr,
                  caption != nullptr ? caption : "")) {
    return kMessageNone;
  }
  XSetTransientForHint(Connection().display, box.Id(), EditorWindow());
  auto draw = [&] {
    LICE_IBitmap* b = box.Bitmap();
    LICE_Clear(b, IColor(255, 236, 236, 236));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int top = 16 + static_cast<int>(i) * kLineHeight;
      x11::DrawLabel(b, lines[i].c_str(), IRect(20, top, width - 20, top + kLineHeight), kColorBlack, LICE_TEXT_LEFT);
    }
    for (std::size_t i = 0; i < choices.size(); ++i) {
      const IRect& r = choices[i].rect;
      LICE_FillRect(b, r.ToLice(), IColor(255, 250, 250, 250), 1.0f, LICE_BlendMode::kCopy);
      LICE_DrawRect(b, r.ToLice(), static_cast<int>(i) == focus ? IColor(255, 60, 110, 200) : IColor(255, 140, 140, 140),
                    1.0f, LICE_BlendMode::kCopy);
      x11::DrawLabel(b, choices[i].label, r, kColorBlack, LICE_TEXT_CENTER);
    }
    box.PresentAll();
  };
  draw();
  XSetInputFocus(Connection().display, box.Id(), RevertToParent, CurrentTime);
  // Escape answers the last button (No, or OK), as closing the box does.
  int answer = kMessageNone;
  const bool answered = RunModal([&](XEvent& event) {
    if (event.xany.window != box.Id()) return true;  // the editor is blocked meanwhile
    switch (event.type) {
      case Expose:
        draw();
        return true;
      case MapNotify:
        XSetInputFocus(Connection().display, box.Id(), RevertToParent, CurrentTime);
        return true;
      case ButtonRelease:
        for (const Button& b : choices) {
          if (b.rect.Contains(event.xbutton.x, event.xbutton.y)) {
            answer = b.answer;
            return false;
          }
        }
        return true;
      case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == Connection().wmDeleteWindow) {
          answer = choices.back().answer;
          return false;
        }
        return true;
      case KeyPress: {
        const KeySym sym = XLookupKeysym(&event.xkey, 0);
        if (sym == XK_Escape) {
          answer = choices.back().answer;
          return false;
        }
        if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_space) {
          answer = choices[static_cast<std::size_t>(focus)].answer;
          return false;
        }
        if (sym == XK_Tab || sym == XK_Left || sym == XK_Right) {
          focus = (focus + 1) % static_cast<int>(choices.size());
          draw();
        }
        if (sym == XK_y && buttons == IMessageButtons::kYesNo) {
          answer = kMessageYes;
          return false;
        }
        if (sym == XK_n && buttons == IMessageButtons::kYesNo) {
          answer = kMessageNo;
          return false;
        }
        return true;
      }
      default:
        return true;
    }
  });
  if (IsWindowOpen()) {
    box.Destroy();
    XSetInputFocus(Connection().display, EditorWindow(), RevertToParent, CurrentTime);
  } else {
    box.Destroy();
  }
  InvalidateAll();
  return answered ? answer : kMessageNone;
}
