// The host's threads at once on one instance, as Ardour and Carla use them: the audio thread
// runs blocks with MIDI while another thread saves and restores state and applies presets
// and a third moves the parameter ports. Nothing may crash, hang, sound NaN or race (the
// test is meant for ThreadSanitizer too), and the instance still plays afterwards.
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/ParamIndex.h"
#include "tests/lv2/Lv2TestSupport.h"

namespace {

TEST(Lv2Threads, RunsWhileTheStateIsSavedRestoredAndThePortsMove) {
  auto host = LoadLv2();
  ASSERT_TRUE(host);
  const std::vector<Lv2Host::Preset> presets = host->Presets();
  ASSERT_FALSE(presets.empty());
  std::vector<float*> ports;
  for (int i : {kVolume, kVcfCutoff, kVcfResonance, kEffectsMode}) ports.push_back(&host->Control(i));
  host->Run(256);
  const Lv2Host::State first = SavedState(*host);

  std::atomic<bool> stop{false};
  std::atomic<bool> finite{true};
  std::thread audio([&] {
    for (int block = 0; !stop.load(); ++block) {
      if (block % 8 == 0) host->AddMidi(block % 200, {0x90, static_cast<std::uint8_t>(40 + block % 40), 100});
      if (block % 8 == 4) host->AddMidi(0, {0x80, static_cast<std::uint8_t>(40 + (block - 4) % 40), 0});
      if (block % 50 == 0) host->AddMidi(10, {0xC0, static_cast<std::uint8_t>(block / 50 % 64)});
      host->Run(256);
      for (float v : host->Left()) finite = finite && std::isfinite(v);
    }
  });
  std::thread controls([&] {
    for (int k = 0; !stop.load(); ++k) {
      for (std::size_t p = 0; p < ports.size(); ++p) {
        std::atomic_ref<float>(*ports[p]).store(static_cast<float>((k + p) % 3), std::memory_order_relaxed);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(300));
    }
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  for (int k = 0; std::chrono::steady_clock::now() < end; ++k) {
    Lv2Host::State state;
    EXPECT_TRUE(host->SaveState(&state));
    EXPECT_EQ(host->RestoreState(k % 2 == 0 ? state : first), 0);
    host->ApplyPreset(presets[static_cast<std::size_t>(k) % presets.size()].uri);
  }
  stop = true;
  audio.join();
  controls.join();
  EXPECT_TRUE(finite.load());
  // The controls thread may have left the volume at 0 and the filter shut.
  host->Control(kVolume) = 1.0f;
  host->Control(kVcfCutoff) = 63.0f;
  host->AddMidi(0, {0x90, 60, 100});
  host->Run(2048);
  EXPECT_GT(Peak({host->Left(), host->Right()}), 0.0);
}

}  // namespace
