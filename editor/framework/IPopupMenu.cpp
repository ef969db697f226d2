// Menu items and the depth-first identifier walk.
#include "editor/framework/IPopupMenu.h"

#include <cstdio>

int IPopupMenu::AddItem(const char* text, int flags) {
  Item item;
  item.text = text != nullptr ? text : "";
  item.flags = flags;
  items_.push_back(std::move(item));
  return ItemCount() - 1;
}

int IPopupMenu::AddSubmenu(const char* text, std::unique_ptr<IPopupMenu> submenu, int flags) {
  const int index = AddItem(text, flags);
  items_[index].submenu = std::move(submenu);
  return index;
}

int IPopupMenu::AddSeparator() { return AddItem("", kSeparator); }

void IPopupMenu::CheckItem(int index, bool checked) {
  if (Item* item = GetItem(index)) item->flags = checked ? (item->flags | kChecked) : (item->flags & ~kChecked);
}

void IPopupMenu::EnableItem(int index, bool enabled) {
  if (Item* item = GetItem(index)) item->flags = enabled ? (item->flags & ~kDisabled) : (item->flags | kDisabled);
}

const IPopupMenu::Item* IPopupMenu::GetItem(int index) const {
  return index >= 0 && index < ItemCount() ? &items_[index] : nullptr;
}

IPopupMenu::Item* IPopupMenu::GetItem(int index) {
  return index >= 0 && index < ItemCount() ? &items_[index] : nullptr;
}

std::string IPopupMenu::DisplayText(int index) const {
  const Item* item = GetItem(index);
  if (item == nullptr) return "";
  if (prefix_ == Prefix::kNone || item->IsSeparator()) return item->text;
  static const char* const kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
  const char* format = kFormats[static_cast<int>(prefix_) - 1];
  const int length = std::snprintf(nullptr, 0, format, index + 1, item->text.c_str());
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format, index + 1, item->text.c_str());
  return text;
}

// A submenu item takes its own identifier, then its submenu's follow it.
int IPopupMenu::IdentifierCount() const {
  int count = 0;
  for (const Item& item : items_) {
    count += 1;
    if (item.submenu) count += item.submenu->IdentifierCount();
  }
  return count;
}

int IPopupMenu::IdentifierOf(int first, int index) const {
  int id = first;
  for (int i = 0; i < index && i < ItemCount(); ++i) {
    id += 1;
    if (items_[i].submenu) id += items_[i].submenu->IdentifierCount();
  }
  return id;
}

IPopupMenu* IPopupMenu::FindIdentifier(int id, int* index) {
  int next = 0;
  for (int i = 0; i < ItemCount(); ++i) {
    if (id == next) {
      if (index != nullptr) *index = i;
      return this;
    }
    next += 1;
    if (items_[i].submenu) {
      const int count = items_[i].submenu->IdentifierCount();
      if (id < next + count) return items_[i].submenu->FindIdentifier(id - next, index);
      next += count;
    }
  }
  return nullptr;
}
