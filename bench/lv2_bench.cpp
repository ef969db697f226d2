// The LV2 bundle against the VST2 library, in one run: the same held notes in Poly mode with
// "Voices" at 7, 44100 Hz, through each format's audio entry (the LV2 run call through
// lilv, the VST2 replacing process), in interleaved rounds so that a busy machine slows both
// alike. Prints the CPU nanoseconds per sounding voice and sample of each and their ratio;
// the figures are medians of the rounds. Then what restoring a saved bank costs in each
// format: the audio thread waits that long for the plug-in's lock when a host restores a
// state while it plays.
//
//   tesvar_lv2_bench [--rounds N] [--seconds S]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "tools/Lv2Host.h"
#include "tools/PluginHost.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
// Mode Poly, Voices 7 (64 notes), EG2 sustain full (notes keep sounding), effects off:
// parameter index and plain value.
constexpr struct {
  int index;
  float plain;
  float normalised;
} kSettings[] = {{5, 0.0f, 0.0f}, {6, 7.0f, 1.0f}, {28, 15.0f, 1.0f}, {34, 0.0f, 0.0f}};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Case {
  bool lv2 = false;
  int notes = 0;
  std::unique_ptr<PluginHost> vst2;
  std::unique_ptr<Lv2Host> host;
  std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);
  std::vector<double> nsPerSample;

  double Median() const {
    std::vector<double> v = nsPerSample;
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  }
  double PerVoice() const { return Median() / std::max(notes, 1); }
};

std::unique_ptr<Case> Prepare(bool lv2, int notes) {
  auto c = std::make_unique<Case>();
  c->lv2 = lv2;
  c->notes = notes;
  if (lv2) {
    c->host = std::make_unique<Lv2Host>();
    Lv2HostSettings settings;
    settings.sampleRate = kRate;
    settings.blockSize = kBlock;
    if (!c->host->Load(TESVAR_LV2_BUNDLE, settings)) {
      std::fprintf(stderr, "%s\n", c->host->Error().c_str());
      return nullptr;
    }
    c->host->Activate();
    for (const auto& s : kSettings) c->host->Control(s.index) = s.plain;
    for (int n = 0; n < notes; ++n) c->host->AddMidi(0, {0x90, static_cast<std::uint8_t>(36 + n), 100});
    for (int i = 0; i < static_cast<int>(kRate * 0.5) / kBlock; ++i) c->host->Run(kBlock);
    c->host->PrepareRun(kBlock);  // an empty input sequence for every timed run
  } else {
    c->vst2 = std::make_unique<PluginHost>();
    if (!c->vst2->Load(TESVAR_PLUGIN_PATH)) {
      std::fprintf(stderr, "%s\n", c->vst2->Error().c_str());
      return nullptr;
    }
    c->vst2->Start(kRate, kBlock);
    for (const auto& s : kSettings) c->vst2->SetParameter(s.index, s.normalised);
    std::vector<MidiMessage> on;
    for (int n = 0; n < notes; ++n) on.push_back({0, 0x90, static_cast<std::uint8_t>(36 + n), 100});
    if (!on.empty()) c->vst2->SendMidi(on);
    for (int i = 0; i < static_cast<int>(kRate * 0.5) / kBlock; ++i)
      c->vst2->ProcessReplacing(c->left, c->right, kBlock);
  }
  return c;
}

// One round: `seconds` of audio through the format's audio entry, timed.
void Run(Case& c, double seconds) {
  const int blocks = std::max(1, static_cast<int>(seconds * kRate / kBlock));
  float* outputs[2] = {c.left.data(), c.right.data()};
  vst::AEffect* e = c.lv2 ? nullptr : c.vst2->Effect();
  const double start = CpuSeconds();
  for (int b = 0; b < blocks; ++b) {
    if (c.lv2) {
      c.host->RunPlugin(kBlock);
    } else {
      e->processReplacing(e, nullptr, outputs, kBlock);
    }
  }
  c.nsPerSample.push_back((CpuSeconds() - start) * 1e9 / (static_cast<double>(blocks) * kBlock));
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 7;
  double seconds = 0.25;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) seconds = std::atof(argv[++i]);
    else {
      std::fprintf(stderr, "usage: tesvar_lv2_bench [--rounds N] [--seconds S]\n");
      return 2;
    }
  }
  const int counts[] = {1, 8, 32, 64};
  std::vector<std::unique_ptr<Case>> cases;
  for (int notes : counts) {
    for (bool lv2 : {false, true}) {
      auto c = Prepare(lv2, notes);
      if (!c) return 1;
      cases.push_back(std::move(c));
    }
  }
  for (int r = 0; r < rounds; ++r) {
    for (auto& c : cases) Run(*c, seconds);
  }
  std::printf(
      "Tesvar, VST2 library against LV2 bundle, 44100 Hz, blocks of %d, Poly, %d rounds of %.2f s,\n"
      "medians: CPU ns per sounding voice and sample.\n\n",
      kBlock, rounds, seconds);
  std::printf("%5s | %10s | %10s | %s\n", "notes", "VST2 ns/v", "LV2 ns/v", "LV2 / VST2");
  for (std::size_t i = 0; i + 1 < cases.size(); i += 2) {
    const Case& v = *cases[i];
    const Case& l = *cases[i + 1];
    std::printf("%5d | %10.2f | %10.2f | %.3f\n", v.notes, v.PerVoice(), l.PerVoice(), l.PerVoice() / v.PerVoice());
  }

  // Restoring a whole bank: the VST2 set-chunk call, the LV2 state restore (which checks the
  // bytes first, then makes the same call).
  auto lv2 = Prepare(true, 0);
  auto vst2 = Prepare(false, 0);
  if (!lv2 || !vst2) return 1;
  Lv2Host::State state;
  lv2->host->SaveState(&state);
  void* data = nullptr;
  const auto size = vst2->vst2->Dispatch(vst::effGetChunk, 0, 0, &data);
  const std::vector<std::uint8_t> chunk(static_cast<const std::uint8_t*>(data),
                                        static_cast<const std::uint8_t*>(data) + size);
  std::vector<double> lv2Times, vst2Times;
  for (int r = 0; r < 21; ++r) {
    double start = CpuSeconds();
    lv2->host->RestoreState(state);
    lv2Times.push_back((CpuSeconds() - start) * 1e6);
    std::vector<std::uint8_t> copy = chunk;
    start = CpuSeconds();
    vst2->vst2->Dispatch(vst::effSetChunk, 0, static_cast<std::intptr_t>(copy.size()), copy.data());
    vst2Times.push_back((CpuSeconds() - start) * 1e6);
  }
  std::sort(lv2Times.begin(), lv2Times.end());
  std::sort(vst2Times.begin(), vst2Times.end());
  std::printf(
      "\nRestoring a bank of 64 programs (%zu bytes), medians of 21: VST2 set-chunk %.0f us, "
      "LV2 state restore %.0f us\n",
      chunk.size(), vst2Times[10], lv2Times[10]);
  return 0;
}
