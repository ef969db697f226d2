// The editor: controls, the value mailbox, opening and closing, the timer and drawing.
#include "editor/framework/IGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>

#include "core/IPlugBase.h"

IGraphics::IGraphics(IPlugBase* plug, int width, int height, int frameRate)
    : plug_(plug),
      editorWidth_(std::max(width, 1)),
      editorHeight_(std::max(height, 1)),
      width_(editorWidth_),
      height_(editorHeight_),
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
  // The size a host asks for before the first opening: the user's zoom or the desktop's.
  ApplyScale(WantedPercent(nullptr));
}

// ---- Window life ----------------------------------------------------------------------------

bool IGraphics::Open(void* parentWindow) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  // The desktop may have changed since the host asked for the size; the holder hears of it.
  const int oldWidth = width_;
  const int oldHeight = height_;
  if (!IsWindowOpen()) {
    ApplyScale(WantedPercent(parentWindow));
    MakeBackBuffer();
    if (!backBuffer_) return false;
  }
  ApplyPendingValues();
  if (!OpenEditorWindow(parentWindow)) {
    if (!IsWindowOpen()) backBuffer_.reset();
    return false;
  }
  windowThread_ = std::this_thread::get_id();
  if ((width_ != oldWidth || height_ != oldHeight) && frame_ != nullptr) frame_->EditorResizeRequested(width_, height_);
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
    backBuffer_.reset();
    images_.clear();
    // A scale the host would not take while open is the size of the next opening.
    ApplyScale(WantedPercent(nullptr));
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
  if (width == editorWidth_ && height == editorHeight_) return;
  editorWidth_ = width;
  editorHeight_ = height;
  // The same scale at a new panel size: recompute the device size through the usual path.
  const int percent = scale_;
  scale_ = 0;
  if (ApplyScale(percent) == ScaleChange::kDeferred) {
    // The holder keeps the old size; the panel is drawn into what it has.
    scale_ = percent;
  }
}

// ---- Scale ----------------------------------------------------------------------------------

int IGraphics::WantedPercent(void* parentWindow) {
  if (userZoom_ != editor_scale::kAuto) return userZoom_;
  if (hostFactor_ > 0.0) return editor_scale::PercentForFactor(hostFactor_);
  desktopFactor_ = DesktopScaleFactor(parentWindow);
  return desktopFactor_ > 0.0 ? editor_scale::PercentForFactor(desktopFactor_) : editor_scale::kMinPercent;
}

IGraphics::ScaleChange IGraphics::ApplyScale(int percent) {
  percent = std::clamp(percent, editor_scale::kMinPercent, editor_scale::kMaxPercent);
  const int width = editor_scale::ToDevice(editorWidth_, percent);
  const int height = editor_scale::ToDevice(editorHeight_, percent);
  if (percent == scale_ && width == width_ && height == height_) return ScaleChange::kUnchanged;
  const int oldScale = scale_;
  const int oldWidth = width_;
  const int oldHeight = height_;
  scale_ = percent;
  width_ = width;
  height_ = height;
  images_.clear();
  if (!IsWindowOpen()) return ScaleChange::kApplied;
  // The holder is asked with the new size already answered by Width and Height (a VST2 host
  // asks effEditGetRect inside audioMasterSizeWindow).
  if (frame_ != nullptr && !frame_->EditorResizeRequested(width, height)) {
    scale_ = oldScale;
    width_ = oldWidth;
    height_ = oldHeight;
    images_.clear();
    return ScaleChange::kDeferred;
  }
  MakeBackBuffer();
  ResizeWindow(width_, height_);
  RedrawAll();
  InvalidateAll();
  return ScaleChange::kApplied;
}

void IGraphics::MakeBackBuffer() {
  if (backBuffer_ && backBuffer_->Width() == width_ && backBuffer_->Height() == height_) return;
  backBuffer_ = std::make_unique<LICE_SysBitmap>(width_, height_);
  if (backBuffer_->Bits() == nullptr) backBuffer_.reset();
}

IGraphics::ScaleChange IGraphics::SetUserZoom(int zoom) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  const bool known = zoom == editor_scale::kAuto ||
                     std::find(std::begin(editor_scale::kSteps), std::end(editor_scale::kSteps), zoom) !=
                         std::end(editor_scale::kSteps);
  userZoom_ = known ? zoom : editor_scale::kMinPercent;
  return ApplyScale(WantedPercent(WindowHandle()));
}

void IGraphics::SetHostScale(double factor) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  hostFactor_ = factor > 0.0 && std::isfinite(factor) ? factor : 0.0;
  ApplyScale(WantedPercent(WindowHandle()));
}

IGraphics::ScaleChange IGraphics::DesktopScaleChanged() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return ApplyScale(WantedPercent(WindowHandle()));
}

IRect IGraphics::ToEditorCover(const IRect& r) const {
  // Right and bottom edges round up so the cover holds every device pixel of r.
  auto up = [this](int px) {
    const int v = ToEditor(px);
    return ToDevice(v) < px ? v + 1 : v;
  };
  return IRect(ToEditor(r.L), ToEditor(r.T), up(r.R), up(r.B));
}

IText IGraphics::ToDevice(const IText& style) const {
  IText scaled = style;
  scaled.size = std::max(1, ToDevice(style.size));
  return scaled;
}

const LICE_IBitmap* IGraphics::ImageFor(const IBitmap& bitmap) {
  if (scale_ == editor_scale::kMinPercent || bitmap.id <= 0 || bitmap.image == nullptr) return bitmap.image;
  for (const auto& [id, image] : images_) {
    if (id == bitmap.id) return image;
  }
  const LICE_IBitmap* image =
      LICE_CachedScaledPng(bitmap.id, bitmap.id + kDoubleSizeIdOffset, std::max(bitmap.N, 1), scale_);
  images_.emplace_back(bitmap.id, image);
  return image;
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
    dirty = dirty.Union(ToDevice(control->Rect()).Intersect(window));
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
    const IRect visible = ToDevice(control->Rect()).Intersect(window);
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
    case IChannelBlend::Mode::kCopy: return LICE_BlendMode::kCopy;
    case IChannelBlend::Mode::kAdd: return LICE_BlendMode::kAdd;
    default: return LICE_BlendMode::kAlpha;
  }
}

bool IGraphics::BlitFrame(const IBitmap& bitmap, const IRect& rect, int frame, const IChannelBlend* blend) {
  const LICE_IBitmap* image = ImageFor(bitmap);
  if (image == nullptr || !backBuffer_) return false;
  const int frames = std::max(bitmap.N, 1);
  frame = std::clamp(frame, 1, frames);
  const IRect dest = ToDevice(rect);
  int srcX = 0;
  int srcY = 0;
  int width = dest.W();
  int height = dest.H();
  // The drawing's own frame pitch: a rounded edge never shows a line of the next frame.
  if (bitmap.framesAreHorizontal) {
    srcX = StripFrameStart(image->Width(), frames, frame - 1);
    width = std::min(width, StripFrameStart(image->Width(), frames, frame) - srcX);
  } else {
    srcY = StripFrameStart(image->Height(), frames, frame - 1);
    if (scale_ != editor_scale::kMinPercent) height = std::min(height, image->Height() / frames);
  }
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_Blit(backBuffer_.get(), image, dest.L, dest.T, srcX, srcY, width, height,
            blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::Blit(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY, const IChannelBlend* blend) {
  const LICE_IBitmap* image = ImageFor(bitmap);
  if (image == nullptr || !backBuffer_) return false;
  const IRect to = ToDevice(dest);
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_Blit(backBuffer_.get(), image, to.L, to.T, ToDevice(srcX), ToDevice(srcY), to.W(), to.H(),
            blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
  return true;
}

bool IGraphics::FillRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  LICE_FillRect(backBuffer_.get(), ToDevice(rect).ToLice(), color, blend != nullptr ? blend->weight : 1.0f, Mode(blend),
                &clip);
  return true;
}

bool IGraphics::DrawRect(LICE_pixel color, const IRect& rect, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  // A line one editor pixel wide, as wide as the scale makes it.
  const int lines = std::max(1, ToDevice(1));
  IRect r = ToDevice(rect);
  for (int i = 0; i < lines && !r.Empty(); ++i) {
    LICE_DrawRect(backBuffer_.get(), r.ToLice(), color, blend != nullptr ? blend->weight : 1.0f, Mode(blend), &clip);
    r = IRect(r.L + 1, r.T + 1, r.R - 1, r.B - 1);
  }
  return true;
}

bool IGraphics::FillCircle(LICE_pixel color, float cx, float cy, float radius, const IChannelBlend* blend) {
  if (!backBuffer_) return false;
  const LICE_Rect clip = drawRect_.ToLice();
  const float s = scale_ / 100.0f;
  LICE_FillCircle(backBuffer_.get(), cx * s, cy * s, radius * s, color, blend != nullptr ? blend->weight : 1.0f,
                  Mode(blend), &clip);
  return true;
}

namespace {
LICE_IFont* FontFor(const IText& style) {
  return LICE_GetFont(style.font != nullptr ? style.font : "Verdana", style.size,
                      style.style == IText::Style::kBold ? 700 : 400, style.style == IText::Style::kItalic);
}
int AlignFlags(const IText& style) {
  switch (style.align) {
    case IText::Align::kNear: return LICE_TEXT_LEFT;
    case IText::Align::kFar: return LICE_TEXT_RIGHT;
    default: return LICE_TEXT_CENTER;
  }
}
}  // namespace

bool IGraphics::DrawText(const IText& style, const char* text, const IRect& rect) {
  if (!backBuffer_ || text == nullptr || text[0] == '\0') return false;
  LICE_IFont* font = FontFor(ToDevice(style));
  if (font == nullptr) return false;
  LICE_Rect r = ToDevice(rect).ToLice();
  const LICE_Rect clip = drawRect_.ToLice();
  font->DrawText(backBuffer_.get(), text, -1, &r, AlignFlags(style), style.color, 1.0f, &clip);
  return true;
}

IRect IGraphics::MeasureText(const IText& style, const char* text, const IRect& rect) {
  LICE_IFont* font = FontFor(ToDevice(style));
  LICE_Rect r = ToDevice(rect).ToLice();
  if (font == nullptr || text == nullptr) return rect;
  // Measuring needs no bitmap, so it works with the window closed too.
  font->DrawText(nullptr, text, -1, &r, LICE_TEXT_MEASURE, style.color);
  return ToEditorCover(IRect(r.left, r.top, r.right, r.bottom));
}

IBitmap IGraphics::LoadPngResource(int id, const char* name, int frames, bool framesAreHorizontal) {
  IBitmap bitmap;
  bitmap.N = std::max(frames, 1);
  bitmap.framesAreHorizontal = framesAreHorizontal;
  const std::size_t length = name != nullptr ? std::strlen(name) : 0;
  if (length < 3) return bitmap;
  const char* end = name + length - 3;
  if (std::tolower(static_cast<unsigned char>(end[0])) != 'p' ||
      std::tolower(static_cast<unsigned char>(end[1])) != 'n' ||
      std::tolower(static_cast<unsigned char>(end[2])) != 'g') {
    return bitmap;
  }
  bitmap.id = id;
  bitmap.image = LICE_CachedPngResource(id);
  if (bitmap.image != nullptr) {
    bitmap.W = bitmap.image->Width();
    bitmap.H = bitmap.image->Height();
  }
  return bitmap;
}
