// Pop-up menus drawn by the Linux editor: override-redirect windows at the click point, with
// submenus, check marks, disabled items and separators. The pointer and keyboard are grabbed
// while the menu is up; Escape or a click outside dismisses it.
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "editor/framework/x11/IGraphicsX11.h"

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kCheckColumn = 20;
constexpr int kArrowColumn = 18;
constexpr int kMenuTextSize = 13;
constexpr LICE_pixel kMenuBack = IColor(255, 242, 242, 242);
constexpr LICE_pixel kMenuHover = IColor(255, 60, 110, 200);
constexpr LICE_pixel kMenuText = IColor(255, 0, 0, 0);
constexpr LICE_pixel kMenuDisabled = IColor(255, 150, 150, 150);

struct Level {
  explicit Level(const x11::Connection& c) : surface(c) {}
  IPopupMenu* menu = nullptr;
  int firstId = 0;
  int hover = -1;
  std::vector<int> tops;  // item tops, plus the bottom
  x11::Surface surface;
};

class MenuTracker {
 public:
  MenuTracker(IGraphicsX11& editor, IPopupMenu& menu) : editor_(editor), root_(menu) {}

  int Run(int x, int y) {
    const x11::Connection& c = editor_.Connection();
    int sx = 0;
    int sy = 0;
    x11::ToScreen(c, editor_.EditorWindow(), x, y, &sx, &sy);
    if (!OpenLevel(root_, 0, sx, sy)) return -1;
    Window first = levels_[0]->surface.Id();
    XGrabPointer(c.display, first, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(c.display, first, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    editor_.RunModal([this](XEvent& event) { return Handle(event); });
    if (editor_.IsWindowOpen()) {
      XUngrabPointer(c.display, CurrentTime);
      XUngrabKeyboard(c.display, CurrentTime);
    }
    // Nothing of the menu survives the call, whatever ended it.
    levels_.clear();
    return result_;
  }

 private:
  // Menus are laid out in editor pixels and drawn at the editor's scale.
  int S(int v) const { return editor_.ToDevice(v); }
  bool OpenLevel(IPopupMenu& menu, int firstId, int sx, int sy) {
    const x11::Connection& c = editor_.Connection();
    auto level = std::make_unique<Level>(c);
    level->menu = &menu;
    level->firstId = firstId;
    int width = S(80);
    int top = S(2);
    for (int i = 0; i < menu.ItemCount(); ++i) {
      level->tops.push_back(top);
      const IPopupMenu::Item* item = menu.GetItem(i);
      top += S(item->IsSeparator() ? kSeparatorHeight : kItemHeight);
      if (!item->IsSeparator()) {
        width = std::max(
            width, x11::LabelWidth(menu.DisplayText(i).c_str(), S(kMenuTextSize)) + S(kCheckColumn + kArrowColumn + 8));
      }
    }
    level->tops.push_back(top);
    const int height = top + S(2);
    sx = std::clamp(sx, 0, std::max(c.screenWidth - width, 0));
    sy = std::clamp(sy, 0, std::max(c.screenHeight - height, 0));
    if (!level->surface.Create(c.root, IRect(sx, sy, sx + width, sy + height), x11::Surface::Kind::kPopup,
                               ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask)) {
      return false;
    }
    levels_.push_back(std::move(level));
    Draw(*levels_.back());
    return true;
  }

  void Draw(Level& level) {
    LICE_IBitmap* b = level.surface.Bitmap();
    const int w = level.surface.Width();
    LICE_Clear(b, kMenuBack);
    x11::DrawFrame(b, IRect(0, 0, w, level.surface.Height()), IColor(255, 120, 120, 120), S(1));
    const int itemHeight = S(kItemHeight);
    const int check = S(kCheckColumn);
    const int arrow = S(kArrowColumn);
    const int size = S(kMenuTextSize);
    for (int i = 0; i < level.menu->ItemCount(); ++i) {
      const IPopupMenu::Item* item = level.menu->GetItem(i);
      const int top = level.tops[i];
      if (item->IsSeparator()) {
        LICE_FillRect(b, LICE_Rect{S(4), top + S(3), w - S(4), top + S(4)}, IColor(255, 190, 190, 190), 1.0f,
                      LICE_BlendMode::kCopy);
        continue;
      }
      const bool hover = i == level.hover && item->Enabled();
      if (hover)
        LICE_FillRect(b, LICE_Rect{S(2), top, w - S(2), top + itemHeight}, kMenuHover, 1.0f, LICE_BlendMode::kCopy);
      const LICE_pixel color = !item->Enabled() ? kMenuDisabled : hover ? kColorWhite : kMenuText;
      if (item->Checked()) {
        x11::DrawLabel(b, "\xE2\x9C\x93", IRect(S(2), top, check, top + itemHeight), color, LICE_TEXT_CENTER, size);
      }
      x11::DrawLabel(b, level.menu->DisplayText(i).c_str(), IRect(check, top, w - arrow, top + itemHeight), color,
                     LICE_TEXT_LEFT, size);
      if (item->submenu) {
        x11::DrawLabel(b, "\xE2\x96\xB8", IRect(w - arrow, top, w - S(4), top + itemHeight), color, LICE_TEXT_CENTER,
                       size);
      }
    }
    level.surface.PresentAll();
  }

  // The level and item under a screen point; false when outside every level.
  bool Find(int rx, int ry, int* levelIndex, int* item) {
    for (int l = static_cast<int>(levels_.size()) - 1; l >= 0; --l) {
      const IRect& place = levels_[l]->surface.Place();
      if (!place.Contains(rx, ry)) continue;
      *levelIndex = l;
      *item = -1;
      const int y = ry - place.T;
      for (int i = 0; i < levels_[l]->menu->ItemCount(); ++i) {
        if (y >= levels_[l]->tops[i] && y < levels_[l]->tops[i + 1]) *item = i;
      }
      return true;
    }
    return false;
  }

  void CloseAbove(int levelIndex) {
    while (static_cast<int>(levels_.size()) > levelIndex + 1) levels_.pop_back();
  }

  void SetHover(int l, int item) {
    Level& level = *levels_[l];
    if (level.hover == item) return;
    level.hover = item;
    CloseAbove(l);
    Draw(level);
    const IPopupMenu::Item* entry = level.menu->GetItem(item);
    if (entry != nullptr && entry->Enabled() && entry->submenu) {
      const IRect& place = level.surface.Place();
      OpenLevel(*entry->submenu, level.menu->IdentifierOf(level.firstId, item) + 1, place.R - S(2),
                place.T + level.tops[item] - S(2));
    }
  }

  // True when the item was an action (the menu ends with it).
  bool Pick(int l, int item) {
    const IPopupMenu::Item* entry = levels_[l]->menu->GetItem(item);
    if (entry == nullptr || !entry->Enabled() || entry->IsSeparator()) return false;
    if (entry->submenu) return false;
    result_ = levels_[l]->menu->IdentifierOf(levels_[l]->firstId, item);
    return true;
  }

  void Step(int direction) {
    Level& level = *levels_.back();
    const int count = level.menu->ItemCount();
    // With nothing under the pointer yet, Up starts from the end (the last item first).
    int i = level.hover < 0 && direction < 0 ? count : level.hover;
    for (int n = 0; n < count; ++n) {
      i = (i + direction + count) % count;
      const IPopupMenu::Item* item = level.menu->GetItem(i);
      if (!item->IsSeparator() && item->Enabled()) break;
    }
    level.hover = i;
    Draw(level);
  }

  bool Handle(XEvent& event) {
    int l = -1;
    int item = -1;
    switch (event.type) {
      case Expose:
        for (auto& level : levels_) {
          if (level->surface.Id() == event.xexpose.window) level->surface.PresentAll();
        }
        return true;
      case MotionNotify:
        if (Find(event.xmotion.x_root, event.xmotion.y_root, &l, &item) && item >= 0) {
          armed_ = true;
          SetHover(l, item);
        }
        return true;
      case ButtonPress:
        if (!Find(event.xbutton.x_root, event.xbutton.y_root, &l, &item)) return false;  // outside: dismiss
        armed_ = true;
        return true;
      case ButtonRelease:
        if (!armed_ || !Find(event.xbutton.x_root, event.xbutton.y_root, &l, &item)) return true;
        return !Pick(l, item);
      case KeyPress: {
        const KeySym sym = XLookupKeysym(&event.xkey, 0);
        Level& deepest = *levels_.back();
        const int deepestIndex = static_cast<int>(levels_.size()) - 1;
        switch (sym) {
          case XK_Escape: return false;
          case XK_Up: Step(-1); return true;
          case XK_Down: Step(1); return true;
          case XK_Left:
            if (levels_.size() > 1) levels_.pop_back();
            return true;
          case XK_Right:
          case XK_Return:
          case XK_KP_Enter: {
            const int hover = deepest.hover;
            const IPopupMenu::Item* entry = deepest.menu->GetItem(hover);
            if (entry != nullptr && entry->submenu && entry->Enabled()) {
              deepest.hover = -1;
              SetHover(deepestIndex, hover);
              Step(1);
              return true;
            }
            if (sym == XK_Right) return true;
            return !Pick(deepestIndex, hover);
          }
          default: return true;
        }
      }
      default: return true;
    }
  }

  IGraphicsX11& editor_;
  IPopupMenu& root_;
  std::vector<std::unique_ptr<Level>> levels_;
  int result_ = -1;
  bool armed_ = false;
};

}  // namespace

int IGraphicsX11::TrackPopupMenu(IPopupMenu& menu, int x, int y) {
  if (!IsWindowOpen() || menu.ItemCount() == 0) return -1;
  MenuTracker tracker(*this, menu);
  return tracker.Run(x, y);
}
