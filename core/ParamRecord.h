// One automatable parameter: its range, step and curve, the conversions between plain
// values (the parameter's own units) and the normalised 0..1 values that the host and the
// editor exchange, and its display texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ParamKind : std::int32_t { kNone = 0, kInteger = 2, kList = 3, kContinuous = 4 };

// Writes the display text for a plain value into text (kParamTextSize bytes).
using DisplayFormatter = void (*)(double value, char* text);

constexpr std::size_t kParamTextSize = 32;

class ParamRecord {
 public:
  struct DisplayText {
    std::int32_t value = 0;
    char text[kParamTextSize] = {};
  };

  void InitContinuous(const char* name, double defaultValue, double minimum, double maximum, double step, double shape);
  void InitInteger(const char* name, double defaultValue, double minimum, double maximum);
  void InitList(const char* name, double defaultValue, int count, const char* const* texts);
  void SetDisplayFormatter(DisplayFormatter formatter) { formatter_ = formatter; }
  void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }

  ParamKind Kind() const { return kind_; }
  double Value() const { return value_; }
  double Min() const { return min_; }
  double Max() const { return max_; }
  double Step() const { return step_; }
  double Shape() const { return shape_; }
  double Default() const { return default_; }
  int DisplayPrecision() const { return precision_; }
  const char* Name() const { return name_; }
  const char* Label() const { return label_; }
  bool NegateDisplay() const { return negateDisplay_; }
  const std::vector<DisplayText>& DisplayTexts() const { return displayTexts_; }

  double ToNormalised(double plain) const;
  double FromNormalised(double normalised) const;
  // Stores the value of a normalised position, snapped to the step for integer and list
  // kinds. Values that are not finite are ignored; others are limited to 0..1 first.
  void SetNormalised(double normalised);
  // The plain value SetNormalised would store for normalised (which must be finite).
  double PlainForNormalised(double normalised) const;
  // Stores a plain value clamped to the range, without snapping. Not finite: ignored.
  void SetPlain(double plain);
  double Normalised() const { return ToNormalised(value_); }

  // Display text of value (a plain value, or a normalised one when isNormalised) into text,
  // which holds kParamTextSize bytes; the text is always terminated.
  void GetDisplayText(double value, bool isNormalised, char* text, bool useDisplayTexts) const;
  // The label for the host: empty when a display text names the current value.
  void GetHostLabel(char* text) const;
  // The entry whose text equals text exactly, or null.
  const DisplayText* FindDisplayText(const char* text) const;

 private:
  DisplayFormatter formatter_ = nullptr;
  ParamKind kind_ = ParamKind::kNone;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double default_ = 0.0;
  int precision_ = 0;
  char name_[kParamTextSize] = {};
  char label_[kParamTextSize] = {};
  char group_[kParamTextSize] = {};
  bool negateDisplay_ = false;
  std::vector<DisplayText> displayTexts_;
};

// Copies text into a buffer of size bytes, always terminated (size > 0).
void CopyText(char* out, const char* text, std::size_t size);
// The length of text, reading at most limit bytes (0 for null).
std::size_t BoundedLength(const char* text, std::size_t limit);
