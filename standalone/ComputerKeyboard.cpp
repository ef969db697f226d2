// The computer keyboard's keys, held notes and their MIDI messages.
#include "standalone/ComputerKeyboard.h"

#include <algorithm>
#include <cstdio>

namespace standalone {
namespace {

// The two rows, each from its C upward, white and black keys as on a piano.
constexpr char kLowerRow[] = "zsxdcvgbhnjm,l.;/";
constexpr char kUpperRow[] = "q2w3er5t6y7ui9o0p";
constexpr int kVelocities[] = {20, 40, 60, 80, 100, 127};
constexpr int kVelocityCount = static_cast<int>(sizeof(kVelocities) / sizeof(kVelocities[0]));

// Keysyms outside Latin-1 (X11's keysymdef.h values).
constexpr unsigned long kEscape = 0xFF1B;
constexpr unsigned long kPageUp = 0xFF55;
constexpr unsigned long kPageDown = 0xFF56;
constexpr unsigned long kKeypadAdd = 0xFFAB;
constexpr unsigned long kKeypadSubtract = 0xFFAD;

int IndexIn(const char* row, unsigned long keysym) {
  for (int i = 0; row[i] != '\0'; ++i) {
    if (static_cast<unsigned long>(static_cast<unsigned char>(row[i])) == keysym) return i;
  }
  return -1;
}

}  // namespace

ComputerKeyboard::Binding ComputerKeyboard::Bind(unsigned long keysym) {
  if (const int i = IndexIn(kLowerRow, keysym); i >= 0) return {Action::kNote, i};
  if (const int i = IndexIn(kUpperRow, keysym); i >= 0) return {Action::kNote, 12 + i};
  switch (keysym) {
    case '-':
    case kKeypadSubtract:
    case kPageDown: return {Action::kOctaveDown, 0};
    case '=':
    case kKeypadAdd:
    case kPageUp: return {Action::kOctaveUp, 0};
    case '[': return {Action::kVelocityDown, 0};
    case ']': return {Action::kVelocityUp, 0};
    case kEscape: return {Action::kAllOff, 0};
    default: return {};
  }
}

bool ComputerKeyboard::KeyDown(unsigned int key, unsigned long keysym, const Sink& sink) {
  const Binding binding = Bind(keysym);
  switch (binding.action) {
    case Action::kNone: return false;
    case Action::kOctaveDown: base_ = std::max(base_ - 12, kLowestBase); return true;
    case Action::kOctaveUp: base_ = std::min(base_ + 12, kHighestBase); return true;
    case Action::kVelocityDown: velocityStep_ = std::max(velocityStep_ - 1, 0); return true;
    case Action::kVelocityUp: velocityStep_ = std::min(velocityStep_ + 1, kVelocityCount - 1); return true;
    case Action::kAllOff: ReleaseAll(sink); return true;
    case Action::kNote: break;
  }
  for (const Held& held : held_) {
    if (held.note >= 0 && held.key == key && !held.offPending) return true;  // auto-repeat
  }
  Held entry;
  entry.key = key;
  entry.note = base_ + binding.semitone;
  // A note whose note off is still waiting has not ended: this key holds it on instead.
  for (Held& held : held_) {
    if (held.note == entry.note && held.offPending) {
      held = entry;
      return true;
    }
  }
  auto free = std::find_if(held_.begin(), held_.end(), [](const Held& h) { return h.note < 0; });
  if (free == held_.end()) return true;  // more keys down than any hand holds: ignored
  // A note another key already sounds is not struck twice; the last key up ends it.
  if (!NoteSoundingElsewhere(entry) && !sink(NoteMessage(entry.note, true))) return true;
  *free = entry;
  return true;
}

bool ComputerKeyboard::KeyUp(unsigned int key, const Sink& sink) {
  bool found = false;
  for (Held& held : held_) {
    if (held.note < 0 || held.key != key || held.offPending) continue;
    Release(held, sink);
    found = true;
  }
  return found;
}

void ComputerKeyboard::ReleaseKeysNotDown(const std::function<bool(unsigned int)>& isDown, const Sink& sink) {
  for (Held& held : held_) {
    if (held.note >= 0 && !held.offPending && !isDown(held.key)) Release(held, sink);
  }
}

void ComputerKeyboard::ReleaseAll(const Sink& sink) {
  for (Held& held : held_) {
    if (held.note >= 0 && !held.offPending) Release(held, sink);
  }
}

void ComputerKeyboard::Retry(const Sink& sink) {
  for (Held& held : held_) {
    if (held.note >= 0 && held.offPending) Release(held, sink);
  }
}

void ComputerKeyboard::Release(Held& held, const Sink& sink) {
  held.offPending = true;
  if (!NoteSoundingElsewhere(held) && !sink(NoteMessage(held.note, false))) return;  // tried again later
  held = Held{};
}

bool ComputerKeyboard::NoteSoundingElsewhere(const Held& held) const {
  for (const Held& other : held_) {
    if (&other != &held && other.note == held.note && !other.offPending) return true;
  }
  return false;
}

MidiMessage ComputerKeyboard::NoteMessage(int note, bool on) const {
  MidiMessage message;
  message.status = static_cast<std::uint8_t>((on ? 0x90 : 0x80) | (channel_ & 0x0F));
  message.data1 = static_cast<std::uint8_t>(note);
  message.data2 = static_cast<std::uint8_t>(on ? Velocity() : 64);
  return message;
}

int ComputerKeyboard::Velocity() const { return kVelocities[velocityStep_]; }

int ComputerKeyboard::HeldCount() const {
  return static_cast<int>(std::count_if(held_.begin(), held_.end(), [](const Held& h) { return h.note >= 0; }));
}

std::string ComputerKeyboard::NoteName(int note) {
  static const char* const kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
  return std::string(kNames[note % 12]) + std::to_string(note / 12 - 1);
}

std::string ComputerKeyboard::StatusText() const {
  const int top = base_ + 12 + static_cast<int>(sizeof(kUpperRow)) - 2;
  char text[96];
  std::snprintf(text, sizeof(text), "keys %s to %s (-/= octave)   velocity %d ([/])", NoteName(base_).c_str(),
                NoteName(top).c_str(), Velocity());
  return text;
}

}  // namespace standalone
