// Command-line parsing for tesvar-render.
#include "tools/RenderOptions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool ParseNumber(const std::string& text, double* out) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

}  // namespace

const char* RenderUsage() {
  return "usage: tesvar-render PLUGIN [options]\n"
         "       tesvar-render --lv2 BUNDLE [options]\n"
         "  --lv2 BUNDLE         play through the LV2 bundle (tesvar.lv2) instead of a VST2 library;\n"
         "                       --file takes FXP/FXB files in chunk form there\n"
         "  --midi FILE          Standard MIDI File to play (default: a built-in demo phrase)\n"
         "  --out FILE           WAV file to write (default: out.wav)\n"
         "  --program P          program number 11 ... 88 or program name\n"
         "  --file FILE          load an FXP program or FXB bank first\n"
         "  --tape-dump FILE     import the programs of a tape-dump recording (WAV) first\n"
         "  --save-bank FILE     write the resulting bank as an FXB file\n"
         "  --param INDEX=VALUE  set parameter INDEX (0 ... 50) to a plain value after the program\n"
         "                       options (repeatable)\n"
         "  --save-state DIR     with --lv2: save the instance's state in DIR as LV2 hosts load it\n"
         "  --sample-rate HZ     1000 ... 768000 (default 44100)\n"
         "  --block-size N       frames per process call, 1 ... 65536 (default 512)\n"
         "  --tail SECONDS       rendered after the last event, 0 ... 600 (default 2)\n"
         "  --bits 16|24|32      sample format of the WAV file (32: float; default)\n"
         "  --gain DB            scales the audio before it is written, -100 ... 60 (default 0);\n"
         "                       a 16- or 24-bit file that would clip gets a warning with the\n"
         "                       gain that fits\n";
}

bool ParseRenderOptions(int argc, char** argv, RenderOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      o->help = true;
      return true;
    }
    if (arg.rfind("--", 0) != 0) {
      if (!o->pluginPath.empty()) {
        *error = "unexpected argument " + arg;
        return false;
      }
      o->pluginPath = arg;
      continue;
    }
    if (i + 1 >= argc) {
      *error = arg + " needs a value";
      return false;
    }
    const std::string value = argv[++i];
    double number = 0;
    if (arg == "--lv2") {
      o->lv2Bundle = value;
    } else if (arg == "--midi") {
      o->midiPath = value;
    } else if (arg == "--save-state") {
      o->saveState = value;
    } else if (arg == "--param") {
      const std::size_t equals = value.find('=');
      double index = -1;
      if (equals == std::string::npos || !ParseNumber(value.substr(0, equals), &index) ||
          !ParseNumber(value.substr(equals + 1), &number) || index < 0 || index > 50 || index != std::floor(index)) {
        *error = "--param takes INDEX=VALUE with INDEX 0 ... 50 and a number";
        return false;
      }
      o->params.push_back({static_cast<int>(index), number});
    } else if (arg == "--out") {
      o->outPath = value;
    } else if (arg == "--program") {
      o->program = value;
    } else if (arg == "--file") {
      o->programFile = value;
    } else if (arg == "--tape-dump") {
      o->tapeDump = value;
    } else if (arg == "--save-bank") {
      o->saveBank = value;
    } else if (arg == "--sample-rate") {
      if (!ParseNumber(value, &number) || number < 1000 || number > 768000) {
        *error = "--sample-rate takes 1000 ... 768000";
        return false;
      }
      o->settings.sampleRate = number;
    } else if (arg == "--block-size") {
      if (!ParseNumber(value, &number) || number < 1 || number > 65536 || number != std::floor(number)) {
        *error = "--block-size takes a whole number from 1 to 65536";
        return false;
      }
      o->settings.blockSize = static_cast<int>(number);
    } else if (arg == "--tail") {
      if (!ParseNumber(value, &number) || number < 0 || number > 600) {
        *error = "--tail takes 0 ... 600 seconds";
        return false;
      }
      o->settings.tailSeconds = number;
    } else if (arg == "--bits") {
      if (value != "16" && value != "24" && value != "32") {
        *error = "--bits takes 16, 24 or 32";
        return false;
      }
      o->bits = std::atoi(value.c_str());
    } else if (arg == "--gain") {
      if (!ParseNumber(value, &number) || number < -100 || number > 60) {
        *error = "--gain takes -100 ... 60 dB";
        return false;
      }
      o->gainDb = number;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (!o->saveState.empty() && o->lv2Bundle.empty()) {
    *error = "--save-state needs --lv2";
    return false;
  }
  if (o->pluginPath.empty() == o->lv2Bundle.empty() && !o->help) {
    *error = o->pluginPath.empty() ? "no plug-in given" : "give a VST2 plug-in or --lv2 BUNDLE, not both";
    return false;
  }
  return true;
}

bool CheckRenderLength(double eventSeconds, const RenderSettings& settings, std::string* error) {
  const double total = eventSeconds + settings.tailSeconds;
  if (std::isfinite(total) && total <= kMaxRenderSeconds) return true;
  char text[160];
  std::snprintf(text, sizeof(text), "the MIDI file lasts %.0f s; the renderer renders at most %.0f s", eventSeconds,
                kMaxRenderSeconds - settings.tailSeconds);
  *error = text;
  return false;
}
