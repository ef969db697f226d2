// Scales and names of the printed parameter matrix and the knob legends.
#include "tools/artwork/Scales.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "resources/ParameterInfo.h"
#include "tools/artwork/Palette.h"

namespace artwork {
namespace {

const resources::ParameterInfo& Info(int parameter) { return resources::kParameterInfo[std::size_t(parameter)]; }

// Normalised travel of a plain value: the inverse of the parameter's curve.
double Position(int parameter, double value) {
  const auto& p = Info(parameter);
  const double t = (value - p.minValue) / (p.maxValue - p.minValue);
  return std::pow(std::clamp(t, 0.0, 1.0), 1.0 / p.shape);
}

std::string Number(double v) {
  char buf[16];
  if (std::fabs(v - std::round(v)) < 1e-9) std::snprintf(buf, sizeof buf, "%.0f", v);
  else std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s == "0.5") return "\u00bd";
  if (v < 0) s = "\u2212" + s.substr(1);  // a true minus sign
  return s;
}

struct NumericRule {
  double tick;                 // distance of the minor ticks
  std::vector<double> labels;  // values that carry a number
};

NumericRule RuleOf(int parameter) {
  const auto& p = Info(parameter);
  switch (parameter) {
    case 15: return {0.5, {1, 2, 3, 4, 5, 6}};
    case 16: return {4, {0, 16, 32, 48, 63}};
    case 18: return {0.25, {0, 0.5, 1}};
    case 19: return {1, {-7, 0, 7}};
    case 31: return {0.5, {0, 1, 2, 3}};
    default: break;
  }
  if (p.maxValue == 15) return {1, {0, 5, 10, 15}};
  if (p.maxValue == 7) return {1, {0, 1, 2, 3, 4, 5, 6, 7}};
  return {(p.maxValue - p.minValue) / 10, {p.minValue, p.maxValue}};
}

}  // namespace

int ProgrammerNumber(int parameter) {
  constexpr int kNumbers[26] = {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34, 35,
                                41, 42, 43, 44, 51, 52, 53, 54, 55, 61, 62, 63, 64};
  return parameter >= 8 && parameter <= 33 ? kNumbers[parameter - 8] : 0;
}

const char* PanelName(int parameter) {
  static const char* const kNames[36] = {
      "VOLUME",  "TUNE",      "BEND",      "FREQ",       "DESTINATION", "MODE",     "VOICES",    "SPREAD",
      "OCTAVE",  "WAVEFORM",  "PW / PWM",  "PWM FREQ",   "OCTAVE",      "WAVEFORM", "INTERVAL",  "DETUNE",
      "CUTOFF",  "RESONANCE", "KBD TRACK", "EG INT",     "TYPE",        "ATTACK",   "DECAY",     "SUSTAIN",
      "RELEASE", "EG SELECT", "ATTACK",    "DECAY",      "SUSTAIN",     "RELEASE",  "FREQUENCY", "DELAY",
      "DCO",     "VCF",       "EFFECT",    "SPEED / INT"};
  return parameter >= 0 && parameter < 36 ? kNames[parameter] : "";
}

std::vector<Mark> ListMarks(int parameter) {
  const auto& p = Info(parameter);
  const int n = int(p.listTexts.size());
  std::vector<Mark> marks;
  for (int i = 0; i < n; ++i) {
    Mark m{n > 1 ? double(i) / (n - 1) : 0.0, p.listTexts[std::size_t(i)], true, Icon::kNone, ""};
    switch (parameter) {
      case 8:
      case 12: m.label = std::to_string(16 >> i) + "\u2032"; break;
      case 9:
        m.label.clear();
        m.icon = i == 0 ? Icon::kSaw : i == 1 ? Icon::kPulse : Icon::kPwm;
        m.note = std::to_string(i + 1);
        break;
      case 13:  // what the second oscillator plays: off, sawtooth or square
        m.label = i == 0 ? "OFF" : "";
        m.icon = i == 0 ? Icon::kNone : i == 1 ? Icon::kSaw : Icon::kSquare;
        m.note = std::to_string(i);
        break;
      case 14: m.label = i == 1 ? "\u22123" : m.label; break;
      case 20: m.label = i == 0 ? "12 dB" : "24 dB"; break;
      case 25: m.label = i == 0 ? "EG 2" : "EG 1"; break;
      case 34: {
        static const char* const kEffects[4] = {"OFF", "CHORUS", "PHASER", "ENSEMBLE"};
        m.label = kEffects[i];
        break;
      }
      default: break;
    }
    marks.push_back(m);
  }
  return marks;
}

std::vector<Mark> FaderScale(int parameter) {
  const auto& p = Info(parameter);
  if (p.kind == resources::ParamKind::List) return ListMarks(parameter);
  const NumericRule rule = RuleOf(parameter);
  std::vector<Mark> marks;
  const int ticks = int(std::lround((p.maxValue - p.minValue) / rule.tick));
  for (int i = 0; i <= ticks; ++i) {
    const double v = std::min(p.maxValue, p.minValue + rule.tick * i);
    marks.push_back({Position(parameter, v), "", false, Icon::kNone, ""});
  }
  if (parameter == 16) marks.push_back({1.0, "", false, Icon::kNone, ""});
  for (double v : rule.labels) {
    std::string text = Number(v);
    if (parameter == 19 && v > 0) text = "+" + text;
    marks.push_back({Position(parameter, v), text, true, Icon::kNone, ""});
  }
  return marks;
}

std::pair<std::string, std::string> KnobEnds(int parameter) {
  const auto& p = Info(parameter);
  switch (parameter) {
    case 0:
    case 7:
    case 35: return {"0", "10"};
    case 1: return {"\u221250", "+50"};
    default: break;
  }
  std::string hi = Number(p.maxValue);
  if (p.minValue < 0) hi = "+" + hi;
  return {Number(p.minValue), hi};
}

const std::vector<Section>& MatrixSections() {
  static const std::vector<Section> kSections = {{"DCO 1", palette::kOscillator, 8, 11},
                                                 {"DCO 2", palette::kOscillator, 12, 15},
                                                 {"VCF", palette::kFilter, 16, 20},
                                                 {"EG 1", palette::kEnvelope, 21, 24},
                                                 {"VCA \u00b7 EG 2", palette::kAmplifier, 25, 29},
                                                 {"MG", palette::kModulation, 30, 33}};
  return kSections;
}

const Section* SectionOf(int parameter) {
  for (const auto& s : MatrixSections())
    if (parameter >= s.first && parameter <= s.last) return &s;
  return nullptr;
}

void DrawIcon(cairo_t* cr, Icon icon, double x, double y, double w, double h, Colour colour) {
  cairo_new_path(cr);
  const double b = y + h, t = y, m = x + w / 2;
  switch (icon) {
    case Icon::kNone: return;
    case Icon::kSaw:
      cairo_move_to(cr, x, b);
      cairo_line_to(cr, m, t);
      cairo_line_to(cr, m, b);
      cairo_line_to(cr, x + w, t);
      cairo_line_to(cr, x + w, b);
      break;
    case Icon::kSquare:
    case Icon::kPulse: {
      const double hi = icon == Icon::kSquare ? w / 4 : w / 6;
      const double period = w / 2;
      cairo_move_to(cr, x, b);
      for (int k = 0; k < 2; ++k) {
        const double s = x + period * k;
        cairo_line_to(cr, s, t);
        cairo_line_to(cr, s + hi, t);
        cairo_line_to(cr, s + hi, b);
        cairo_line_to(cr, s + period, b);
      }
      break;
    }
    case Icon::kPwm: {
      // A pulse with a second, dashed falling edge: the width moves.
      const double period = w / 2, hi = w / 5;
      cairo_move_to(cr, x, b);
      for (int k = 0; k < 2; ++k) {
        const double s = x + period * k;
        cairo_line_to(cr, s, t);
        cairo_line_to(cr, s + hi, t);
        cairo_line_to(cr, s + hi, b);
        cairo_line_to(cr, s + period, b);
      }
      cairo_set_line_width(cr, 1.0);
      SetColour(cr, colour);
      cairo_stroke(cr);
      for (int k = 0; k < 2; ++k) {
        const double e = x + period * k + hi + 2;
        cairo_move_to(cr, x + period * k + hi, t);
        cairo_line_to(cr, e, t);
        cairo_line_to(cr, e, b);
      }
      const double dash[2] = {1.0, 1.0};
      cairo_set_dash(cr, dash, 2, 0);
      cairo_stroke(cr);
      cairo_set_dash(cr, nullptr, 0, 0);
      return;
    }
  }
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  SetColour(cr, colour);
  cairo_stroke(cr);
}

}  // namespace artwork
