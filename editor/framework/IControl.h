// The base of every editor control. A control has a rectangle, an optional parameter binding,
// a normalised value and a dirty flag; the editor (IGraphics) draws it in list order and gives
// it mouse and key events. Every operation runs on the user-interface thread, inside the
// editor's event handling or timer: controls are never touched by the audio thread.
#pragma once

#include <string>
#include <vector>

#include "editor/framework/IGraphicsTypes.h"

class IGraphics;
class IPlugBase;

class IControl {
 public:
  static constexpr int kDefaultTextEntryLimit = 7;

  // paramIdx >= 0 binds the control to that parameter; < 0 leaves it unbound (the panel uses
  // negative numbers for its own commands).
  IControl(IPlugBase* plug, const IRect& rect, int paramIdx = -1, const IChannelBlend& blend = {});
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // ---- Virtual operations, in slot order ----------------------------------------------------
  virtual ~IControl();
  // With the right button: value entry, which the no-value-entry flag switches off.
  virtual void MouseDown(int x, int y, const IMouseMod& mod);
  virtual void MouseUp(int x, int y, const IMouseMod& mod) {}
  virtual void MouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {}
  // Returns to the default value (the first value the plug-in gave), when there is one.
  virtual void MouseDoubleClick(int x, int y, const IMouseMod& mod);
  virtual void MouseWheel(int x, int y, const IMouseMod& mod, int steps) {}
  // True when the key (an IKey code) was handled.
  virtual bool KeyDown(int x, int y, int key) { return false; }
  virtual void MouseOver(int x, int y, const IMouseMod& mod) {}
  virtual void MouseOut() {}
  // Draws into the editor's back buffer, clipped to the editor's drawing rectangle.
  virtual bool Draw(IGraphics& graphics) = 0;
  // A value set outside the editor (host, program change). The first call also sets the default.
  virtual void ValueFromPlugin(double normalised);
  // A value the user set through this control (text entry, menus): sent to the plug-in.
  virtual void ValueFromUser(double normalised);
  virtual void TextFromEntry(const char* text) {}
  virtual void Hide(bool hide);
  virtual void GrayOut(bool gray);
  // Inside the hit rectangle; an all-zero hit rectangle never hits.
  virtual bool IsHit(int x, int y) const;
  // Clamps the value, sets dirty and, when send and bound, hands the value to the plug-in
  // (SetParamFromEditor: takes the plug-in lock and tells the host).
  virtual void MarkDirty(bool send);
  virtual void MarkClean();
  virtual bool IsDirty() const { return dirty_; }
  virtual void Reserved19() {}
  virtual void AuxValueFromPlugin(int auxIndex, double normalised);

  // ---- Plain operations -------------------------------------------------------------------
  IPlugBase* Plug() const { return plug_; }
  // The editor that owns the control (set by AddControl; null before).
  IGraphics* Graphics() const { return graphics_; }
  void SetGraphics(IGraphics* graphics) { graphics_ = graphics; }
  const IRect& Rect() const { return rect_; }
  void SetRect(const IRect& rect) { rect_ = rect; }
  const IRect& HitRect() const { return hitRect_; }
  void SetHitRect(const IRect& rect) { hitRect_ = rect; }
  int ParamIdx() const { return paramIdx_; }
  bool IsBound() const { return paramIdx_ >= 0; }
  double Value() const { return value_; }
  // Sets the value with no other effect (controls that keep a value of their own).
  void SetValue(double normalised) { value_ = normalised; }
  double DefaultValue() const { return defaultValue_; }
  void SetClamp(double low, double high) {
    clampLow_ = low;
    clampHigh_ = high;
  }
  bool IsHidden() const { return hidden_; }
  bool IsGrayed() const { return grayed_; }
  // Asks for a redraw on the next timer tick as well (the dirty flag survives one paint).
  void Redraw() {
    redrawRequested_ = true;
    dirty_ = true;
  }
  int TextEntryLimit() const { return textEntryLimit_; }
  void SetTextEntryLimit(int limit) { textEntryLimit_ = limit < 1 ? 1 : limit; }
  const IText& Text() const { return text_; }
  void SetTextStyle(const IText& text) { text_ = text; }
  const IChannelBlend& Blend() const { return blend_; }
  bool DoubleClickAsPress() const { return doubleClickAsPress_; }
  void SetDoubleClickAsPress(bool on) { doubleClickAsPress_ = on; }
  bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed_; }
  void SetMouseOverWhenGrayed(bool on) { mouseOverWhenGrayed_ = on; }
  void SetNoValueEntry(bool on) { noValueEntry_ = on; }
  const std::string& Tooltip() const { return tooltip_; }
  void SetTooltip(const char* text) { tooltip_ = text != nullptr ? text : ""; }
  // Auxiliary parameters: their values arrive through AuxValueFromPlugin.
  void AddAuxParam(int paramIdx) { aux_.push_back({paramIdx, 0.0}); }
  int AuxParamCount() const { return static_cast<int>(aux_.size()); }
  int AuxParamIdx(int i) const { return aux_[i].paramIdx; }
  double AuxValue(int i) const { return aux_[i].value; }
  // Controls that show this control's value text and parameter name (optional).
  void SetValueTextControl(class ITextControl* control) { valueText_ = control; }
  void SetNameTextControl(class ITextControl* control) { nameText_ = control; }

 private:
  struct AuxParam {
    int paramIdx;
    double value;
  };

  int textEntryLimit_ = kDefaultTextEntryLimit;
  IText text_;
  IPlugBase* plug_ = nullptr;
  IGraphics* graphics_ = nullptr;
  IRect rect_;
  IRect hitRect_;
  int paramIdx_ = -1;
  std::vector<AuxParam> aux_;
  double value_ = 0.0;
  double defaultValue_ = -1.0;  // none yet
  double clampLow_ = 0.0;
  double clampHigh_ = 1.0;
  bool dirty_ = true;
  bool hidden_ = false;
  bool grayed_ = false;
  bool redrawRequested_ = false;
  bool noValueEntry_ = true;
  bool doubleClickAsPress_ = false;
  bool mouseOverWhenGrayed_ = false;
  IChannelBlend blend_;
  class ITextControl* valueText_ = nullptr;
  class ITextControl* nameText_ = nullptr;
  std::string tooltip_;
};
