// The three process entries through the entry point: conversion, accumulation, blocks
// longer than announced, and no allocation on the audio thread.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/vst2/HostTestSupport.h"
#include "tools/AllocationCounter.h"

namespace {

std::vector<MidiMessage> Chord(int offset) {
  return {{offset, 0x90, 60, 100}, {offset, 0x90, 64, 100}, {offset, 0x90, 67, 100}};
}

TEST(HostProcessTest, ReplacingAccumulatingAndDoubleAgree) {
  auto a = LoadPlugin();
  auto b = LoadPlugin();
  auto c = LoadPlugin();
  ASSERT_TRUE(a && b && c);
  for (auto* host : {a.get(), b.get(), c.get()}) host->SendMidi(Chord(17));
  std::vector<float> la, ra, lb(512, 0.25f), rb(512, -0.25f);
  std::vector<double> lc, rc;
  for (int block = 0; block < 8; ++block) {
    a->ProcessReplacing(la, ra, 512);
    std::fill(lb.begin(), lb.end(), 0.25f);
    std::fill(rb.begin(), rb.end(), -0.25f);
    b->ProcessAccumulating(lb, rb, 512);
    c->ProcessDouble(lc, rc, 512);
    for (int s = 0; s < 512; ++s) {
      ASSERT_EQ(la[s], static_cast<float>(lc[s])) << block << ":" << s;
      ASSERT_EQ(ra[s], static_cast<float>(rc[s]));
      ASSERT_EQ(lb[s], 0.25f + static_cast<float>(lc[s]));
      ASSERT_EQ(rb[s], -0.25f + static_cast<float>(rc[s]));
      ASSERT_TRUE(std::isfinite(lc[s]));
    }
  }
}

// The host is asked to keep sending MIDI at the first process call of each activation,
// through whichever entry, and not again on every block.
TEST(HostProcessTest, MidiIsAskedForOncePerActivation) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  const auto asked = [&] { return std::count(host->requests.begin(), host->requests.end(), vst::audioMasterWantMidi); };
  std::vector<float> left, right;
  std::vector<double> dl, dr;
  EXPECT_EQ(asked(), 0);
  for (int block = 0; block < 20; ++block) host->ProcessReplacing(left, right, 32);
  host->ProcessDouble(dl, dr, 32);
  host->ProcessAccumulating(left, right, 32);
  EXPECT_EQ(asked(), 1);
  host->Dispatch(vst::effMainsChanged, 0, 0);
  host->Dispatch(vst::effMainsChanged, 0, 1);
  EXPECT_EQ(asked(), 1);
  for (int block = 0; block < 5; ++block) host->ProcessDouble(dl, dr, 64);
  EXPECT_EQ(asked(), 2);
}

TEST(HostProcessTest, BlocksLongerThanAnnouncedAreRenderedInPieces) {
  auto host = LoadPlugin();
  auto reference = LoadPlugin();
  ASSERT_TRUE(host && reference);
  host->Dispatch(vst::effSetBlockSize, 0, 64);
  host->SendMidi(Chord(0));
  reference->SendMidi(Chord(0));
  std::vector<float> left, right, refLeft, refRight, l2, r2;
  host->ProcessReplacing(left, right, 1000);  // 15 pieces and a bit
  reference->ProcessReplacing(refLeft, refRight, 500);
  reference->ProcessReplacing(l2, r2, 500);
  refLeft.insert(refLeft.end(), l2.begin(), l2.end());
  for (int s = 0; s < 1000; ++s) ASSERT_EQ(left[s], refLeft[s]) << s;

  std::vector<double> dl, dr;
  host->ProcessDouble(dl, dr, 3000);
  for (double v : dl) ASSERT_TRUE(std::isfinite(v));
}

TEST(HostProcessTest, RefusedRatesAndBlockSizesKeepTheInstancePlaying) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  const float bad[] = {
      0.0f, 500.0f, -44100.0f, 1e9f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
  for (float rate : bad) host->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
  host->Dispatch(vst::effSetBlockSize, 0, 0);
  host->Dispatch(vst::effSetBlockSize, 0, -256);
  host->SendMidi(Chord(3));
  std::vector<float> left, right;
  host->ProcessReplacing(left, right, 512);  // would spin or overrun with a refused value
  for (float v : left) ASSERT_TRUE(std::isfinite(v));
}

TEST(HostProcessTest, ProcessCallsAndEventsDoNotAllocate) {
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  std::vector<float> left(512), right(512);
  std::vector<double> dl(512), dr(512);
  float* inputs[1] = {left.data()};
  float* outputs[2] = {left.data(), right.data()};
  double* dinputs[1] = {dl.data()};
  double* doutputs[2] = {dl.data(), dr.data()};
  vst::AEffect* e = host->Effect();
  e->processReplacing(e, inputs, outputs, 512);  // the first block may settle things

  // A program change selects program 0, whose stored state carries a name too long for a
  // string's inner buffer: reading the state must not copy the name.
  host->Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("A name far longer than fifteen"));
  host->Dispatch(vst::effSetProgram, 0, 5);
  vst::VstMidiEvent events[5] = {};
  const std::uint8_t bytes[5][3] = {{0x90, 60, 100}, {0x90, 67, 90}, {0xB0, 1, 64}, {0xE0, 0, 80}, {0xC0, 0, 0}};
  for (int i = 0; i < 5; ++i) {
    events[i].type = vst::kMidiType;
    events[i].byteSize = sizeof(vst::VstMidiEvent);
    events[i].deltaFrames = 10 * i;
    for (int j = 0; j < 3; ++j) events[i].midiData[j] = static_cast<char>(bytes[i][j]);
  }
  struct {
    std::int32_t numEvents;
    std::intptr_t reserved;
    vst::VstEvent* events[5];
  } list = {5, 0, {}};
  for (int i = 0; i < 5; ++i) list.events[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);

  // The test host records every request; make room so that only the plug-in could allocate.
  host->requests.reserve(100000);
  host->automations.reserve(1000);
  host->midiOut.reserve(1000);
  allocation_counter::Start();
  for (int block = 0; block < 50; ++block) {
    e->dispatcher(e, vst::effProcessEvents, 0, 0, &list, 0.0f);
    e->processReplacing(e, inputs, outputs, 512);
    e->process(e, inputs, outputs, 256);
    e->processDoubleReplacing(e, dinputs, doutputs, 512);
    e->setParameter(e, 16, block / 50.0f);
    e->getParameter(e, 16);
  }
  EXPECT_EQ(allocation_counter::Stop(), 0);
}

TEST(HostProcessTest, AudioAndUserInterfaceThreadsShareOneInstanceSafely) {
  // The host's audio thread renders while its user-interface thread switches programs,
  // moves parameters and saves and restores chunks: the plug-in lock keeps them apart
  // (the thread sanitizer build checks that nothing slips past it).
  auto host = LoadPlugin();
  ASSERT_TRUE(host);
  vst::AEffect* e = host->Effect();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> left(512), right(512), silence(512);
    float* inputs[1] = {silence.data()};
    float* outputs[2] = {left.data(), right.data()};
    vst::VstMidiEvent note{};
    note.type = vst::kMidiType;
    note.byteSize = sizeof(note);
    struct {
      std::int32_t numEvents;
      std::intptr_t reserved;
      vst::VstEvent* events[2];
    } list = {1, 0, {reinterpret_cast<vst::VstEvent*>(&note), nullptr}};
    for (int block = 0; !stop && block < 4000; ++block) {
      note.midiData[0] = static_cast<char>(block % 2 ? 0x80 : 0x90);
      note.midiData[1] = static_cast<char>(48 + block % 24);
      note.midiData[2] = 100;
      e->dispatcher(e, vst::effProcessEvents, 0, 0, &list, 0.0f);
      e->processReplacing(e, inputs, outputs, 512);
      for (float v : left) ASSERT_TRUE(std::isfinite(v));
    }
  });
  for (int round = 0; round < 60; ++round) {
    e->dispatcher(e, vst::effSetProgram, 0, round % 64, nullptr, 0.0f);
    e->setParameter(e, round % 51, (round % 7) / 6.0f);
    void* chunk = nullptr;
    const auto size = e->dispatcher(e, vst::effGetChunk, round % 2, 0, &chunk, 0.0f);
    std::vector<std::uint8_t> copy(static_cast<const std::uint8_t*>(chunk),
                                   static_cast<const std::uint8_t*>(chunk) + size);
    e->dispatcher(e, vst::effSetChunk, round % 2, static_cast<std::intptr_t>(copy.size()), copy.data(), 0.0f);
    e->dispatcher(e, vst::effSetSampleRate, 0, 0, nullptr, round % 3 ? 44100.0f : 48000.0f);
  }
  stop = true;
  audio.join();
}

}  // namespace
