// The snapshot tool's parts: its command line, what it does to the instance before drawing,
// and the drawing of one view into a 1032 x 588 bitmap without any window.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/LICE.h"
#include "tools/SnapshotLayout.h"

class Tesvar;

namespace snapshot {

struct Options {
  View view = View::kMain;
  int program = -1;                              // program index 0..63; -1 keeps the first
  std::vector<std::pair<int, double>> params;    // parameter index and plain value, in order
  bool hover = false;                            // the mouse rests at hoverX, hoverY
  int hoverX = 0;
  int hoverY = 0;
  int showParameters = -1;                       // the "Show Parameters" setting: 0, 1, -1 as configured
  std::string out = "snapshot.png";
  bool help = false;
};

// Reads the command line (without the program name). False with a message in *error for
// anything it cannot read.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);
// "--program" takes an index 0..63 or the panel's two digits 11..88 (both digits 1..8); a
// two-digit number whose digits are both 1..8 is always read as the panel's number.
// Answers -1 for anything else.
int ParseProgram(const std::string& text);
const char* Usage();

// A new instance of the product, made in this process with a host that answers nothing but
// its version (construction reads the settings file, as in any host).
std::unique_ptr<Tesvar> MakeInstance();

// Selects the program, then sets the parameters (plain values, clamped to their ranges), the
// way the editor would, and the "Show Parameters" setting for this instance only. False with
// *error when an index is out of range.
bool Apply(Tesvar& plug, const Options& options, std::string* error);

// Draws the view as the editor would show it for this instance: the background, every
// control's bitmap at its place and the texts. The bitmap becomes 1032 x 588.
bool Draw(Tesvar& plug, const Options& options, LICE_IBitmap* out);

}  // namespace snapshot
