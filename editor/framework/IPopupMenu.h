// The pop-up menu model: items with a text, flags and an optional submenu. The platform shows
// it (IGraphics::PopupMenu); identifiers are assigned depth-first in item order from 0, and a
// separator takes an identifier too, so both platforms map a pick back the same way.
#pragma once

#include <memory>
#include <string>
#include <vector>

class IPopupMenu {
 public:
  enum ItemFlags : int { kNoFlags = 0, kDisabled = 1, kChecked = 2, kSeparator = 4 };
  // Numbered items: "%1d: %s", "%02d: %s" or "%03d: %s", counting from 1 within each menu.
  enum class Prefix { kNone, kOneDigit, kTwoDigits, kThreeDigits };

  struct Item {
    std::string text;
    int flags = kNoFlags;
    std::unique_ptr<IPopupMenu> submenu;  // owned
    bool Enabled() const { return (flags & kDisabled) == 0; }
    bool Checked() const { return (flags & kChecked) != 0; }
    bool IsSeparator() const { return (flags & kSeparator) != 0; }
  };

  explicit IPopupMenu(Prefix prefix = Prefix::kNone) : prefix_(prefix) {}

  // Each answers the item's index in this menu.
  int AddItem(const char* text, int flags = kNoFlags);
  // Takes ownership of the submenu.
  int AddSubmenu(const char* text, std::unique_ptr<IPopupMenu> submenu, int flags = kNoFlags);
  int AddSeparator();
  void CheckItem(int index, bool checked);
  void EnableItem(int index, bool enabled);

  int ItemCount() const { return static_cast<int>(items_.size()); }
  const Item* GetItem(int index) const;
  Item* GetItem(int index);
  // The text a platform shows for item `index`, with the menu's numbering.
  std::string DisplayText(int index) const;
  Prefix GetPrefix() const { return prefix_; }

  // The result of the last pop-up: the picked item's index in this menu, or -1.
  int ChosenItemIndex() const { return chosen_; }
  void SetChosenItemIndex(int index) { chosen_ = index; }

  // Depth-first identifiers: how many identifiers this menu and its submenus take, the first
  // identifier of a submenu item's submenu, and the (menu, index) of an identifier (null when
  // the identifier is outside the tree).
  int IdentifierCount() const;
  IPopupMenu* FindIdentifier(int id, int* index);
  // The identifier of item `index` when this menu's first identifier is `first`.
  int IdentifierOf(int first, int index) const;

 private:
  std::vector<Item> items_;
  Prefix prefix_;
  int chosen_ = -1;
};
