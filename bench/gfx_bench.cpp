// Drawing costs on one core: the whole 1032 x 588 window with every bitmap once (target at
// most 3 ms), one knob frame (target at most 20 us), the knob readout's circle, and text.
#include <benchmark/benchmark.h>

#include "gfx/LICE.h"
#include "resources/Images.h"

namespace {

const LICE_IBitmap* Image(int id) {
  resources::RegisterImages();
  return LICE_CachedPngResource(id);
}

// The background, then one frame of every other bitmap, each at its own place, blended as
// the editor blends them (source alpha at weight 1) into the window's system bitmap.
void BM_WholeWindowEveryBitmap(benchmark::State& state) {
  LICE_SysBitmap window(1032, 588);
  std::vector<const LICE_IBitmap*> images;
  for (const resources::ImageInfo& info : resources::kImages) images.push_back(Image(info.id));
  for (const LICE_IBitmap* image : images) {
    if (image == nullptr) {
      state.SkipWithError("a bitmap is missing");
      return;
    }
  }
  for (auto _ : state) {
    int x = 0;
    for (std::size_t i = 0; i < images.size(); ++i) {
      const resources::ImageInfo& info = resources::kImages[i];
      const int frameHeight = info.height / info.frames;
      const bool whole = info.width == 1032;
      LICE_Blit(&window, images[i], whole ? 0 : x, whole ? 0 : 300, 0, 0, info.width, frameHeight, 1.0f,
                LICE_BlendMode::kAlpha);
      if (!whole) x += info.width;
    }
    benchmark::DoNotOptimize(window.Bits());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WholeWindowEveryBitmap)->Unit(benchmark::kMillisecond);

void BM_KnobFrame(benchmark::State& state) {
  LICE_SysBitmap window(1032, 588);
  const LICE_IBitmap* knob = Image(resources::kKnobImage);
  if (knob == nullptr) {
    state.SkipWithError("knob.png is missing");
    return;
  }
  int frame = 0;
  for (auto _ : state) {
    LICE_Blit(&window, knob, 614, 49, 0, 40 * frame, 40, 40, 1.0f, LICE_BlendMode::kAlpha);
    frame = (frame + 1) % 65;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KnobFrame)->Unit(benchmark::kMicrosecond);

void BM_KnobReadoutCircle(benchmark::State& state) {
  LICE_SysBitmap window(1032, 588);
  LICE_Clear(&window, LICE_RGBA(40, 40, 40, 255));
  for (auto _ : state) {
    LICE_FillCircle(&window, 634.0f, 69.0f, 20.0f, LICE_RGBA(64, 64, 64, 160), 0.6f, LICE_BlendMode::kAlpha);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KnobReadoutCircle)->Unit(benchmark::kMicrosecond);

// A knob readout's text ("Arial" 14, centred), the browser row text, and measuring only.
void BM_Text(benchmark::State& state, const char* text, int size, int flags) {
  LICE_SysBitmap window(1032, 588);
  LICE_Clear(&window, LICE_RGBA(40, 40, 40, 255));
  LICE_IFont* font = LICE_GetFont("Arial", size);
  for (auto _ : state) {
    LICE_Rect rect{614, 58, 654, 89};
    benchmark::DoNotOptimize(font->DrawText(&window, text, -1, &rect, flags, LICE_RGBA(64, 255, 64, 255)));
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(BM_Text, readout, "-6.0", 14, LICE_TEXT_CENTER)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Text, program_name, "Synthe Piano Strings Layer", 16, LICE_TEXT_CENTER)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Text, measure, "Synthe Piano Strings Layer", 16, LICE_TEXT_MEASURE)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
