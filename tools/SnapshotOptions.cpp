// The snapshot tool's command line.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "editor/framework/EditorScale.h"
#include "tools/Snapshot.h"

namespace snapshot {
namespace {

template <typename T>
bool ReadWhole(const std::string& text, T* value) {
  const char* end = text.data() + text.size();
  const auto [stop, status] = std::from_chars(text.data(), end, *value);
  return !text.empty() && status == std::errc() && stop == end;
}

// "A,B" or "A=B" split at the separator into two whole parts.
bool SplitAt(const std::string& text, char separator, std::string* first, std::string* second) {
  const std::size_t at = text.find(separator);
  if (at == std::string::npos) return false;
  *first = text.substr(0, at);
  *second = text.substr(at + 1);
  return true;
}

}  // namespace

const char* Usage() {
  return "usage: tesvar-snapshot [options]\n"
         "Writes a PNG of what the editor shows, without a window: 1032 x 588 at 100 %.\n"
         "  --view main|alt        the main view (default) or the alternative view\n"
         "  --program P            program index 0 ... 63, or the panel's two digits 11 ... 88\n"
         "                         (a number whose two digits are both 1 ... 8 is the panel's)\n"
         "  --param INDEX=VALUE    a parameter's plain value (repeatable, applied in order)\n"
         "  --hover X,Y            the mouse rests at this point of the panel (pixels at 100 %)\n"
         "  --show-parameters on|off  the main view's faders always shown, or only when hovered\n"
         "                         (default: as the settings file says)\n"
         "  --scale S              the screen scale in percent: 100 (default), 125, 150, 175, 200;\n"
         "                         the picture is round(1032 S / 100) x round(588 S / 100)\n"
         "  --out FILE             the PNG to write (default snapshot.png)\n";
}

int ParseProgram(const std::string& text) {
  int number = -1;
  if (!ReadWhole(text, &number)) return -1;
  if (text.size() == 2 && text[0] >= '1' && text[0] <= '8' && text[1] >= '1' && text[1] <= '8') {
    return (text[0] - '1') * 8 + (text[1] - '1');
  }
  return number >= 0 && number <= 63 ? number : -1;
}

bool ParseOptions(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "-h" || arg == "--help") {
      o->help = true;
      return true;
    }
    if (i + 1 >= args.size()) {
      *error = arg.rfind("--", 0) == 0 ? arg + " needs a value" : "unexpected argument " + arg;
      return false;
    }
    const std::string& value = args[++i];
    std::string first, second;
    if (arg == "--view") {
      if (value != "main" && value != "alt") {
        *error = "--view takes main or alt";
        return false;
      }
      o->view = value == "alt" ? View::kAlt : View::kMain;
    } else if (arg == "--program") {
      o->program = ParseProgram(value);
      if (o->program < 0) {
        *error = "--program takes 0 ... 63 or 11 ... 88";
        return false;
      }
    } else if (arg == "--param") {
      int index = -1;
      double plain = 0.0;
      if (!SplitAt(value, '=', &first, &second) || !ReadWhole(first, &index) || !ReadWhole(second, &plain) ||
          !std::isfinite(plain)) {
        *error = "--param takes INDEX=VALUE, for example 16=40";
        return false;
      }
      o->params.emplace_back(index, plain);
    } else if (arg == "--hover") {
      if (!SplitAt(value, ',', &first, &second) || !ReadWhole(first, &o->hoverX) || !ReadWhole(second, &o->hoverY)) {
        *error = "--hover takes X,Y";
        return false;
      }
      o->hover = true;
    } else if (arg == "--show-parameters") {
      if (value != "on" && value != "off") {
        *error = "--show-parameters takes on or off";
        return false;
      }
      o->showParameters = value == "on" ? 1 : 0;
    } else if (arg == "--scale") {
      int percent = 0;
      if (!ReadWhole(value, &percent) || std::find(std::begin(editor_scale::kSteps), std::end(editor_scale::kSteps),
                                                   percent) == std::end(editor_scale::kSteps)) {
        *error = "--scale takes 100, 125, 150, 175 or 200";
        return false;
      }
      o->scale = percent;
    } else if (arg == "--out") {
      o->out = value;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}

}  // namespace snapshot
