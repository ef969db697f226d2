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

// The label size of the drawn boxes at 100 %.
constexpr int kBoxTextSize = 13;

// Breaks the text at blanks and line breaks into lines no wider than the limit (labels of
// `size` pixels, at most `maxWidth` wide).
std::vector<std::string> WrapLines(const std::string& text, int size, int maxWidth) {
  std::vector<std::string> lines;
  std::stringstream paragraphs(text);
  std::string paragraph;
  while (std::getline(paragraphs, paragraph)) {
    std::string line;
    std::stringstream words(paragraph);
    std::string word;
    while (words >> word) {
      const std::string candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && x11::LabelWidth(candidate.c_str(), size) > maxWidth) {
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
  // Laid out in editor pixels, drawn at the editor's scale.
  const auto S = [this](int v) { return ToDevice(v); };
  const int textSize = S(kBoxTextSize);
  const int buttonWidth = S(kButtonWidth);
  const int buttonHeight = S(kButtonHeight);
  const int lineHeight = S(kLineHeight);
  const std::vector<std::string> lines = WrapLines(text != nullptr ? text : "", textSize, S(kMaxTextWidth));
  int textWidth = 0;
  for (const std::string& line : lines) textWidth = std::max(textWidth, x11::LabelWidth(line.c_str(), textSize));
  const int width = std::max(textWidth + S(40), 2 * buttonWidth + S(60));
  const int height = static_cast<int>(lines.size()) * lineHeight + buttonHeight + S(50);
  struct Button {
    IRect rect;
    const char* label;
    int answer;
  };
  std::vector<Button> choices;
  const int by = height - buttonHeight - S(12);
  const int gap = S(6);
  if (buttons == IMessageButtons::kYesNo) {
    choices.push_back(
        {IRect(width / 2 - buttonWidth - gap, by, width / 2 - gap, by + buttonHeight), "Yes", kMessageYes});
    choices.push_back({IRect(width / 2 + gap, by, width / 2 + gap + buttonWidth, by + buttonHeight), "No", kMessageNo});
  } else {
    choices.push_back(
        {IRect((width - buttonWidth) / 2, by, (width + buttonWidth) / 2, by + buttonHeight), "OK", kMessageOK});
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
      const int top = S(16) + static_cast<int>(i) * lineHeight;
      x11::DrawLabel(b, lines[i].c_str(), IRect(S(20), top, width - S(20), top + lineHeight), kColorBlack,
                     LICE_TEXT_LEFT, textSize);
    }
    for (std::size_t i = 0; i < choices.size(); ++i) {
      const IRect& r = choices[i].rect;
      LICE_FillRect(b, r.ToLice(), IColor(255, 250, 250, 250), 1.0f, LICE_BlendMode::kCopy);
      x11::DrawFrame(b, r, static_cast<int>(i) == focus ? IColor(255, 60, 110, 200) : IColor(255, 140, 140, 140), S(1));
      x11::DrawLabel(b, choices[i].label, r, kColorBlack, LICE_TEXT_CENTER, textSize);
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
      case Expose: draw(); return true;
      case MapNotify: XSetInputFocus(Connection().display, box.Id(), RevertToParent, CurrentTime); return true;
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
      default: return true;
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
