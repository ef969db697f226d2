// The computer keyboard: what a sequence of key presses and releases sends, for the rows,
// the octave and velocity keys, auto-repeat, two keys on one note, releases that never
// arrive, Escape and a full queue.
#include "standalone/ComputerKeyboard.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace standalone {
namespace {

constexpr unsigned long kEscape = 0xFF1B;

struct KeyCase {
  const char* name;
  // Steps, blank separated: "+K" key K down, "-K" key K up (K a character, or "esc");
  // "lost" every held key found up; "full" and "open" make the queue refuse or take
  // messages; "retry" offers refused note offs again.
  const char* steps;
  const char* sent;  // "on NOTE VELOCITY" and "off NOTE", comma separated
};

const KeyCase kCases[] = {
    {"lower row from C3", "+z -z +/ -/", "on 48 100, off 48, on 64 100, off 64"},
    {"upper row from C4", "+q +2 +p -q -2 -p", "on 60 100, on 61 100, on 76 100, off 60, off 61, off 76"},
    {"octave up", "+= +z -z", "on 60 100, off 60"},
    {"octave down stops at C-1", "+- +- +- +- +- +- +z -z", "on 0 100, off 0"},
    {"octave up stops at C7", "+= += += += +=  +=  += +p -p", "on 124 100, off 124"},
    {"velocity steps down", "+[ +z -z +[ +[ +[ +[ +[ +x -x", "on 48 80, off 48, on 50 20, off 50"},
    {"velocity steps up to 127", "+] +] +] +z -z", "on 48 127, off 48"},
    {"auto-repeat strikes once", "+z +z +z -z", "on 48 100, off 48"},
    {"two keys on one note: the last up ends it", "+, +q -, -q", "on 60 100, off 60"},
    {"a held note ends where it began", "+z += -z", "on 48 100, off 48"},
    {"releases that never arrived", "+z +x lost -z -x", "on 48 100, on 50 100, off 48, off 50"},
    {"Escape ends every held note", "+z +x +esc -z -x", "on 48 100, on 50 100, off 48, off 50"},
    {"unbound keys send nothing", "+a -a +F -F", ""},
    {"a refused note on is dropped", "full +z open -z +x -x", "on 50 100, off 50"},
    {"a refused note off is offered again", "+z full -z retry open retry retry", "on 48 100, off 48"},
    {"a note whose off waits is held on by a new press", "+z full -z open +z -z", "on 48 100, off 48"},
};

std::string Play(const char* steps) {
  ComputerKeyboard keyboard;
  std::vector<std::string> sent;
  bool open = true;
  const ComputerKeyboard::Sink sink = [&](const MidiMessage& m) {
    if (!open) return false;
    std::ostringstream text;
    EXPECT_EQ(m.Channel(), 0);
    if (m.Kind() == 0x90) text << "on " << int{m.data1} << ' ' << int{m.data2};
    if (m.Kind() == 0x80) text << "off " << int{m.data1};
    sent.push_back(text.str());
    return true;
  };
  std::istringstream in(steps);
  for (std::string step; in >> step;) {
    if (step == "full" || step == "open") {
      open = step == "open";
    } else if (step == "retry") {
      keyboard.Retry(sink);
    } else if (step == "lost") {
      keyboard.ReleaseKeysNotDown([](unsigned int) { return false; }, sink);
    } else {
      const std::string key = step.substr(1);
      const unsigned long sym = key == "esc" ? kEscape : static_cast<unsigned long>(static_cast<unsigned char>(key[0]));
      const auto code = static_cast<unsigned int>(sym & 0xFF);
      if (step[0] == '+') keyboard.KeyDown(code, sym, sink);
      if (step[0] == '-') keyboard.KeyUp(code, sink);
    }
  }
  std::string joined;
  for (const std::string& s : sent) joined += (joined.empty() ? "" : ", ") + s;
  return joined;
}

TEST(ComputerKeyboardTest, KeySequencesSendTheirNotes) {
  for (const KeyCase& c : kCases) EXPECT_EQ(Play(c.steps), c.sent) << c.name << ": " << c.steps;
}

TEST(ComputerKeyboardTest, TakesItsOwnKeysOnlyAndShowsItsState) {
  ComputerKeyboard keyboard;
  const ComputerKeyboard::Sink sink = [](const MidiMessage&) { return true; };
  EXPECT_TRUE(keyboard.KeyDown('z', 'z', sink));
  EXPECT_TRUE(keyboard.KeyDown('=', '=', sink));
  EXPECT_FALSE(keyboard.KeyDown('a', 'a', sink)) << "not a key of the keyboard: left to others";
  EXPECT_FALSE(keyboard.KeyUp('x', sink)) << "not held";
  EXPECT_EQ(keyboard.StatusText(), "keys C4 to E6 (-/= octave)   velocity 100 ([/])");
  EXPECT_EQ(ComputerKeyboard::NoteName(0), "C-1");
  EXPECT_EQ(ComputerKeyboard::NoteName(61), "C#4");
}

}  // namespace
}  // namespace standalone
