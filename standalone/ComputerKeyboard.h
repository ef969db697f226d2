// The computer keyboard as a small MIDI keyboard: two rows of keys as piano keys, keys that
// shift the octave and step the velocity. Knows nothing of the window system: keys arrive
// as a key number (which physical key; a press and its release carry the same one) and the
// key's unshifted symbol (X11 keysym values: Latin-1 characters are their own code).
//
//   lower row  Z S X D C V G B H N J M , L . ; /   from C of the keyboard's octave (C3 first)
//   upper row  Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P   from the C an octave higher
//   - and =    octave down and up (also keypad - and +, Page Down and Page Up)
//   [ and ]    velocity a step down and up (20, 40, 60, 80, 100, 127)
//   Escape     every note of the keyboard off
//
// Used on the user-interface thread only.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "core/MidiMessage.h"

namespace standalone {

class ComputerKeyboard {
 public:
  // Takes one message for the audio thread; false when it cannot be taken now (a full
  // queue). A refused note on is dropped (the key stays silent until pressed again); a
  // refused note off is kept and offered again by Retry.
  using Sink = std::function<bool(const MidiMessage&)>;

  enum class Action { kNone, kNote, kOctaveDown, kOctaveUp, kVelocityDown, kVelocityUp, kAllOff };
  struct Binding {
    Action action = Action::kNone;
    int semitone = 0;  // kNote: semitones above the lower row's C
  };
  static Binding Bind(unsigned long keysym);

  static constexpr int kLowestBase = 0;    // C-1: the lower row starts at note 0
  static constexpr int kHighestBase = 96;  // C7: the upper row's top (P) is then note 124
  static constexpr int kMaxHeld = 32;

  explicit ComputerKeyboard(int channel = 0) : channel_(channel) {}

  // A press of `key`. Answers true when the key belongs to the keyboard (the caller then
  // takes it); a key already held (the window system's auto-repeat) changes nothing.
  bool KeyDown(unsigned int key, unsigned long keysym, const Sink& sink);
  // A release of `key`; true when it was one of the keyboard's held keys.
  bool KeyUp(unsigned int key, const Sink& sink);
  // Releases every held key for which `isDown(key)` answers false: releases that never
  // arrived (the window lost the keyboard, a text field took it) end their notes here.
  void ReleaseKeysNotDown(const std::function<bool(unsigned int)>& isDown, const Sink& sink);
  // Every held key released, as on leaving.
  void ReleaseAll(const Sink& sink);
  // Offers the note offs a full queue refused before.
  void Retry(const Sink& sink);

  int BaseNote() const { return base_; }
  int Velocity() const;
  int HeldCount() const;
  // For the window's status strip: "keys C3 to E5 (-/= octave)  velocity 100 ([/])".
  std::string StatusText() const;
  // "C3" for note 48 (middle C, note 60, is C4).
  static std::string NoteName(int note);

 private:
  struct Held {
    unsigned int key = 0;
    int note = -1;            // -1: the entry is free
    bool offPending = false;  // released, its note off still to be sent
  };

  MidiMessage NoteMessage(int note, bool on) const;
  // Sends the note off of entry `held` unless another held key sounds the same note.
  void Release(Held& held, const Sink& sink);
  bool NoteSoundingElsewhere(const Held& held) const;

  int channel_;
  int base_ = 48;
  int velocityStep_ = 4;
  std::array<Held, kMaxHeld> held_{};
};

}  // namespace standalone
