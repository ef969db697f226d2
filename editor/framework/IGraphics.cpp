// The editor: controls, the value mailbox, opening and closing, the timer and drawing.
#include "editor/framework/IGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "core/IPlugBase.h"

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug),
      width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      frameRate_(std::clamp(frameRate, 1, 1000)),
      mailbox_(plug != nullptr ? plug->ParamCount() : 0) {}

IGraphics::~IGraphics() {
  // Controls die last first; the platform's destructor has closed the window already.
  while (!controls_.empty()) controls_.pop_back();
}

// ---- Values ---------------------------------------------------------------------------------

void IGraphics::ShowParamValue(int index, double value, bool normalised) {
  if (plug_ == nullptr || !plug_->ValidParam(index)) return;
  // The range and shape never change after construction, so the conversion is safe on any
  // thread and needs no lock.
  if (!normalised) value = plug_->GetParam(index)->ToNormalised(value);
  mailbox_.Post(index, value);
}

void IGraphics::ProgramChanged() { mailbox_.PostProgramChanged(); }

void IGraphics::ApplyValue(int index, double normalised) {
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (control->ParamIdx() == index) control->ValueFromPlugin(normalised);
    for (int a = 0; a < control->AuxParamCount(); ++a) {
      if (control->AuxParamIdx(a) == index) control->AuxValueFromPlugin(a, normalised);
    }
  }
}

void IGraphics::ApplyPendingValues() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  const bool programChanged = mailbox_.Take([this](int index, double value) { ApplyValue(index, value); });
  if (programChanged && programChangedHandler_ != nullptr) programChangedHandler_(programChangedContext_);
}

void IGraphics::Attached() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  ApplyPendingValues();
  if (!backBuffer_) backBuffer_ = std::make_unique<LICE_SysBitmap>(width_, height_);
  if (!scratch_) scratch_ = std::make_unique<LICE_MemBitmap>(width_, height_);
}

// ---- Window life ----------------------------------------------------------------------------

bool IGraphics::Open(void* parentWindow) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (!backBuffer_) Attached();
  ApplyPendingValues();
  if (!OpenEditorWindow(parentWindow)) return false;
  windowThread_ = std::this_thread::get_id();
  RedrawAll();
  idleCount_ = 0;
  return true;
}

void IGraphics::Close() {
  // A modal loop on the window's thread sees this and ends, so the lock comes free soon.
  closePending_.store(true, std::memory_order_release);
  {
    std::lock_guard<std::recursive_mutex> guard(lock_);
    CloseEditorWindow();  // also what is left of a window the host destroyed
    mouseCapture_ = -1;
    mouseOver_ = -1;
  }
  closePending_.store(false, std::memory_order_release);
}

void IGraphics::Idle() {
  std::unique_lock<std::recursive_mutex> guard(lock_, std::try_to_lock);
  if (!guard.owns_lock() || std::this_thread::get_id() != windowThread_) return;
  PumpEvents();
}

void IGraphics::WindowOpened() { windowThread_ = std::this_thread::get_id(); }

void IGraphics::WindowClosed() {
  if (entry_.IsOpen()) entry_.End();
  mouseCapture_ = -1;
  mouseOver_ = -1;
}

void IGraphics::Resize(int width, int height) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  backBuffer_ = std::make_unique<LICE_SysBitmap>(width_, height_);
  scratch_ = std::make_unique<LICE_MemBitmap>(width_, height_);
  if (IsWindowOpen()) ResizeWindow(width_, height_);
  if (plug_ != nullptr) plug_->ResizeEditor(width_, height_);
  RedrawAll();
  InvalidateAll();
}

// ---- Controls -------------------------------------------------------------------------------

int IGraphics::AddControl(IControl* control) {
  controls_.emplace_back(control);
  control->SetGraphics(this);
  return NControls() - 1;
}

IControl* IGraphics::GetControl(int index) const { return ControlAt(index); }

void IGraphics::RedrawAll() {
  for (const std::unique_ptr<IControl>& control : controls_) control->MarkDirty(false);
}

const char* IGraphics::MouseOverTooltip() const {
  const IControl* control = ControlAt(mouseOver_);
  return control != nullptr ? control->Tooltip().c_str() : "";
}

// ---- Timer and paint ------------------------------------------------------------------------

void IGraphics::OnTimer() {
  ApplyPendingValues();
  if (timerHandler_ != nullptr) timerHandler_(timerContext_);
  if (FinishTextEntry()) return;
  const IRect window(0, 0, width_, height_);
  IRect dirty;
  bool anyDirty = false;
  for (const std::unique_ptr<IControl>& control : controls_) {
    if (!control->IsDirty()) continue;
    anyDirty = true;
    dirty = dirty.Union(control->Rect().Intersect(window));
  }
  if (fullRepaint_) {
    dirty = window;
    fullRepaint_ = false;
  }
  if (dirty.Empty()) {
    // Dirty controls with nothing on the window never get a paint: clean them here, or the
    // editor would look busy for ever.
    if (anyDirty) {
      for (const std::unique_ptr<IControl>& control : controls_) control->MarkClean();
    }
    if (++idleCount_ >= kIdleTicks) {
      idleCount_ = 0;
      if (plug_ != nullptr) plug_->IdleTick();
    }
    return;
  }
  idleCount_ = 0;
  if (entry_.IsOpen()) entry_.SetState(TextEntry::kDrawnAround);
  InvalidateRect(dirty);
}

void IGraphics::Paint(const IRect& rect) {
  if (!backBuffer_) return;
  const IRect update = rect.Intersect(IRect(0, 0, width_, height_));
  if (update.Empty()) return;
  drawRect_ = update;
  const LICE_Rect clip = update.ToLice();
  LICE_Clear(backBuffer_.get(), kColorBlack, &clip);
  const IRect window(0, 0, width_, height_);
  for (const std::unique_ptr<IControl>& control : controls_) {
    const IRect visible = control->Rect().Intersect(window);
    if (!control->IsHidden() && visible.Intersects(update)) control->Draw(*this);
    // A control only partly inside a paint (a host's expose of part of the window) stays
    // dirty: its change must still be shown whole.
    if (control->IsHidden() || visible.Empty() || visible.Intersect(update) == visible) control->MarkClean();
  }
  PresentRect(update);
}

// ---- Drawing --------------------------------------------------------------------------------

LICE_BlendMode IGraphics::Mode(const IChannelBlend* blend) const {
  if (blend == nullptr) return LICE_BlendMode::kAlpha;
  switch (blend->mode) {
    case IChannelBlend::Mode::kCopy:
      return LICE_BlendMode::kCopy;
    case IChannelBlend::Mode::kAdd:
      return LICE_BlendMode::kAdd;
    default:
      return LICE_BlendMode::kAlpha;
  }
}

bool IGraphics::BlitFrame(const IBitmap& bitmap, const IRect& rect, int frame, const IChannelBlend* blend) {
  if (bitmap.image == nullptr || !backBuffer_) return false;
  const int frames = std::max(bitmap.N, 1);
  frame = std::clamp(frame, 1, frames);
  int srcX = 0;
  int srcY = 0;
  if (bitmap.framesAreHorizontal) {
    srcX = static_cast<int>(std::lround(static_cast<double>(bitmap.W) * (frame - 1) / frames));
  } else {
    srcY = static_cast<int>(std::lround(static_cast<double>(bitmap.H) * (frame - 1) / frames));
  }
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_Blit(backBuffer_.get(), bitmap.image, rect.L, rect.T, srcX, srcY, rect.W(), rect.H(),
            blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::Blit(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY, const IChannelBlend* blend) {
  if (bitmap.image == nullptr || !backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_Blit(backBuffer_.get(), bitmap.image, dest.L, dest.T, srcX, srcY, dest.W(), dest.H(),
            blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::FillRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_FillRect(backBuffer_.get(), rect.ToLice(), color, blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::DrawRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_DrawRect(backBuffer_.get(), rect.ToLice(), color, blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::FillCircle(LICE_pixel color, float cx, float cy, float radius, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_FillCircle(backBuffer_.get(), cx, cy, radius, color, blend != nullptr ? blend->weight : 1.0f, Mode(blend),
                  &clip);
  return true;
}

namespace {
LICE_IFont* FontFor(const IText& style) {
  return LICE_GetFont(style.font != nullptr ? style.font : "Verdana", style.size,
                      style.style == IText::Style::kBold ? 700 : 400, style.style == IText::Style::kItalic);
}
int AlignFlags(const IText& style) {
  switch (style.align) {
    case IText::Align::kNear:
      return LICE_TEXT_LEFT;
    case IText::Align::kFar:
      return LICE_TEXT_RIGHT;
    default:
      return LICE_TEXT_CENTER;
  }
}
}  // namespace

bool IGraphics::DrawText(const IText& style, const char* text, const IRect& rect) {
  if (!backBuffer_ || text == nullptr || text[0] == '\0') return false;
  LICE_IFont* font = FontFor(style);
  if (font == nullptr) return false;
  LICE_Rect r = rect.ToLice();
  const LICE_Rect clip = drawRect_.ToLice();
  font->DrawText(backBuffer_.get(), text, -1, &r, AlignFlags(style), style.color, 1.0f, &clip);
  return true;
}

IRect IGraphics::MeasureText(const IText& style, const char* text, const IRect& rect) {
  LICE_IFont* font = FontFor(style);
  LICE_Rect r = rect.ToLice();
  if (font != nullptr && text != nullptr && backBuffer_) {
    font->DrawText(backBuffer_.get(), text, -1, &r, LICE_TEXT_MEASURE, style.color);
  }
  return IRect(r.left, r.top, r.right, r.bottom);
}

IBitmap IGraphics::LoadPngResource(int id, const char* name, int frames, bool framesAreHorizontal) {
  IBitmap bitmap;
  bitmap.N = std::max(frames, 1);
  bitmap.framesAreHorizontal = framesAreHorizontal;
  const std::size_t length = name != nullptr ? std::strlen(name) : 0;
  if (length < 3) return bitmap;
  const char* end = name + length - 3;
  if (std::tolower(static_cast<unsigned char>(end[0])) != 'p' || std::tolower(static_cast<unsigned char>(end[1])) != 'n' ||
      std::tolower(static_cast<unsigned char>(end[2])) != 'g') {
    return bitmap;
  }
  bitmap.image = LICE_CachedPngResource(id);
  if (bitmap.image != nullptr) {
    bitmap.W = bitmap.image->Width();
    bitmap.H = bitmap.image->Height();
  }
  return bitmap;
}
