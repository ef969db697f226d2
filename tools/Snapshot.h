// The snapshot tool's parts: its command line, what it does to the instance before drawing,
// and the editor's picture of one view, drawn by the editor itself in a headless window.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Tesvar.h"
#include "gfx/LICE.h"

namespace snapshot {

constexpr int kWidth = 1032;
constexpr int kHeight = 588;

enum class View { kMain, kAlt };

struct Options {
  View view = View::kMain;
  int program = -1;                            // program index 0..63; -1 keeps the first
  std::vector<std::pair<int, double>> params;  // parameter index and plain value, in order
  bool hover = false;                          // the mouse rests at hoverX, hoverY
  int hoverX = 0;
  int hoverY = 0;
  int showParameters = -1;  // the "Show Parameters" setting: 0, 1, -1 as configured
  int scale = 100;          // percent: 100, 125, 150, 175, 200
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

// The product's editor with a headless window in place of the platform's: what an instance
// made with this factory shows is what its editor would show in a host.
EditorView* HeadlessEditor(Tesvar& plug);

// A new instance of the product with that editor, made in this process with a host that
// answers nothing but its version (construction reads the settings file, as in any host).
std::unique_ptr<Tesvar> MakeInstance();

// Selects the program, then sets the parameters (plain values, clamped to their ranges), the
// way the editor would, and the "Show Parameters" setting for this instance only. False with
// *error when an index is out of range.
bool Apply(Tesvar& plug, const Options& options, std::string* error);

// The instance's editor (made by HeadlessEditor) takes the scale, opens its window, shows the
// view, takes the mouse where the options put it (or has it leave), and paints the whole
// window, which is copied into out (1032 x 588 times the scale). False for an instance
// without that editor.
bool Draw(Tesvar& plug, const Options& options, LICE_IBitmap* out);

}  // namespace snapshot
