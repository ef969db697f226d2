// The shell's MIDI rules on an in-process instance: events go in through the dispatcher's
// event opcode, the render loop's drain is called as the control clock calls it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/Tesvar.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

using shell_test::Recorded;

class CountingPlug : public Tesvar {
 public:
  CountingPlug() : Tesvar(shell_test::RecordingHost) {}
  void AllNotesOff() override {
    ++allNotesOff;
    Tesvar::AllNotesOff();
  }
  int allNotesOff = 0;
};

class SynthMidiTest : public shell_test::TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    plug = std::make_unique<CountingPlug>();
    plug->ChangeSampleRate(44100.0);
    plug->ChangeBlockSize(512);
    plug->ResetEngine();
    Recorded().Clear();
  }
  void TearDown() override {
    plug.reset();
    TempHome::TearDown();
  }

  // Delivers messages as a host does, through opcode 25.
  void Send(const std::vector<MidiMessage>& messages) {
    std::vector<vst::VstMidiEvent> events(messages.size());
    std::vector<std::uint8_t> listBytes(sizeof(vst::VstEvents) + messages.size() * sizeof(vst::VstEvent*));
    auto* list = reinterpret_cast<vst::VstEvents*>(listBytes.data());
    list->numEvents = static_cast<std::int32_t>(messages.size());
    // Written through a pointer: indexing the declared two-element array further is undefined.
    vst::VstEvent** pointers = list->events;
    for (std::size_t i = 0; i < messages.size(); ++i) {
      events[i] = {};
      events[i].type = vst::kMidiType;
      events[i].byteSize = sizeof(vst::VstMidiEvent);
      events[i].deltaFrames = messages[i].offset;
      events[i].midiData[0] = static_cast<char>(messages[i].status);
      events[i].midiData[1] = static_cast<char>(messages[i].data1);
      events[i].midiData[2] = static_cast<char>(messages[i].data2);
      pointers[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
    }
    EXPECT_EQ(plug->Dispatch(vst::effProcessEvents, 0, 0, list, 0.0f), 1);
  }
  void Send(int offset, int status, int data1, int data2) {
    Send({MidiMessage{offset, static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1),
                      static_cast<std::uint8_t>(data2)}});
  }
  // Drains the whole first tick of a block, as the control clock does.
  void DrainTick(int tickStart = 0) { plug->DispatchQueuedMidi(tickStart, tickStart + plug->ControlTick(), voices); }
  std::vector<engine::VoiceEvent> TakeVoiceEvents() {
    std::vector<engine::VoiceEvent> out;
    while (!voices.Empty()) out.push_back(voices.Pop());
    return out;
  }

  std::unique_ptr<CountingPlug> plug;
  engine::VoiceEventQueue voices;
};

TEST_F(SynthMidiTest, NotesReachTheVoicesWithChannelLessStatus) {
  Send({{3, 0x95, 60, 0}, {7, 0x92, 61, 90}, {9, 0x8F, 62, 40}, {11, 0xA0, 61, 5}});
  DrainTick();
  const auto events = TakeVoiceEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].status, 0x80);  // velocity 0 on channel 6 is a note off
  EXPECT_EQ(events[0].offset, 3);
  EXPECT_EQ(events[1].status, 0x90);
  EXPECT_EQ(events[1].data2, 90);
  EXPECT_EQ(events[2].status, 0x80);
  EXPECT_EQ(events[2].data2, 40);
  EXPECT_TRUE(plug->QueuedMidi().Empty());  // polyphonic pressure is not even queued
}

TEST_F(SynthMidiTest, DrainTakesOnlyTheTickAndCountsOffsetsFromItsStart) {
  Send({{10, 0x90, 60, 100}, {50, 0x90, 61, 100}, {600, 0x90, 62, 100}});
  DrainTick();
  auto events = TakeVoiceEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].offset, 10);
  plug->DispatchQueuedMidi(44, 88, voices);
  events = TakeVoiceEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].offset, 6);
  // The block ends; the last message moves into the next block at 600 - 512 = 88, which a
  // tick begun 20 samples before that block's start reaches at 108.
  plug->EndBlock(512);
  plug->DispatchQueuedMidi(-20, 24, voices);
  EXPECT_TRUE(TakeVoiceEvents().empty());
  plug->DispatchQueuedMidi(68, 112, voices);
  events = TakeVoiceEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].offset, 20);
  // A negative offset from the host fires at the first sample.
  Send(-5, 0x90, 70, 1);
  DrainTick();
  EXPECT_EQ(TakeVoiceEvents().at(0).offset, 0);
}

TEST_F(SynthMidiTest, AFullVoiceQueueKeepsTheRestForTheNextTick) {
  plug->ChangeBlockSize(1024);  // room for more messages than the voice queue holds
  plug->ResetEngine();
  std::vector<MidiMessage> notes;
  for (int i = 0; i < engine::VoiceEventQueue::kCapacity + 10; ++i) notes.push_back({0, 0x90, 60, 1});
  Send(notes);
  DrainTick();
  EXPECT_EQ(voices.Size(), engine::VoiceEventQueue::kCapacity);
  EXPECT_EQ(plug->QueuedMidi().Size(), 10);
  TakeVoiceEvents();
  DrainTick();
  EXPECT_EQ(voices.Size(), 10);
}

TEST_F(SynthMidiTest, ContinuousMessagesAfterTheFirstTickAreDelayedHalfATick) {
  Send({{100, 0xE0, 0, 64}, {44, 0xB0, 7, 1}, {45, 0xD0, 9, 0}, {45, 0xB0, 64, 127}, {45, 0x90, 60, 1}});
  // Read the queue in order by draining a copy of it.
  shell::MidiQueue copy = plug->QueuedMidi();
  std::vector<std::pair<int, int>> queued;  // kind, offset
  while (!copy.Empty()) {
    queued.push_back({copy.Front().Kind(), copy.Front().offset});
    copy.PopFront();
  }
  const std::vector<std::pair<int, int>> expected = {{0xB0, 44}, {0xB0, 45}, {0x90, 45}, {0xD0, 67}, {0xE0, 122}};
  EXPECT_EQ(queued, expected);  // pedal and notes are never delayed
}

TEST_F(SynthMidiTest, PitchBendAndWheelValues) {
  const int bends[][3] = {{0x00, 0x40, 0}, {0x7F, 0x7F, 8191}, {0x00, 0x00, -8192}, {0x7F, 0x3F, -1}};
  for (const auto& b : bends) {
    Send(0, 0xE3, b[0], b[1]);
    DrainTick();
    EXPECT_EQ(plug->PitchBendValue(), b[2] / 8192.0) << b[0] << " " << b[1];
  }
  // Controller 1 drives the wheel even when the map names a parameter for it.
  plug->SetControllerMapping(1, kVcfCutoff);
  const double cutoff = plug->GetParam(kVcfCutoff)->Value();
  Send(0, 0xB0, 1, 127);
  DrainTick();
  EXPECT_EQ(plug->ModWheelValue(), 1.0);
  EXPECT_EQ(plug->GetParam(kVcfCutoff)->Value(), cutoff);
  // Data bytes above 127 from a careless host are masked, never out of range.
  Send(0, 0xE0, 0xFF, 0xFF);
  DrainTick();
  EXPECT_EQ(plug->PitchBendValue(), 8191 / 8192.0);
}

TEST_F(SynthMidiTest, MappedControllersMoveParametersAndTellHostAndEditor) {
  Send(0, 0xB0, 7, 127);
  DrainTick();
  EXPECT_TRUE(Recorded().automations.empty());  // unmapped: queued, then dropped
  plug->SetControllerMapping(7, kVcfCutoff);
  Send(0, 0xB2, 7, 127);
  DrainTick();
  EXPECT_EQ(plug->GetParam(kVcfCutoff)->Value(), plug->GetParam(kVcfCutoff)->Max());
  ASSERT_EQ(Recorded().automations.size(), 1u);
  EXPECT_EQ(Recorded().automations[0].index, kVcfCutoff);
  EXPECT_EQ(Recorded().automations[0].value, 1.0f);
  Send(0, 0xB0, 7, 127);  // the same value again changes nothing
  DrainTick();
  EXPECT_EQ(Recorded().automations.size(), 1u);
  // Entries beyond the parameters, and the pedal's entry, do nothing.
  plug->SetControllerMapping(8, 51);
  plug->SetControllerMapping(64, kVcfCutoff);
  Send({{0, 0xB0, 8, 0}, {0, 0xB0, 64, 0}});
  DrainTick();
  EXPECT_EQ(plug->GetParam(kVcfCutoff)->Normalised(), 1.0);
  const auto events = TakeVoiceEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].status, 0xB0);
  EXPECT_EQ(events[0].data1, 64);
}

// Regression: a chord layer above the top key (played note + chord offset > 127) took its
// pitch through the 0 ... 127 note index and wrapped round to a note far below.
TEST_F(SynthMidiTest, ChordLayersAboveTheTopKeyKeepRising) {
  EXPECT_EQ(plug->PitchCodeForNote(69), 69 * 128);
  EXPECT_EQ(plug->PitchCodeForNote(127), 127 * 128);
  EXPECT_EQ(plug->PitchCodeForNote(136), 136 * 128);
  const int offsets[] = {36};
  plug->SetChordMemory(offsets, 1);
  plug->SetParamFromEditor(kMode, 0.5);  // Chord
  ASSERT_EQ(plug->Engine().Layout().mode, engine::KeyMode::kChord);
  Send(0, 0x90, 100, 100);
  std::vector<double> left(64), right(64);
  double* outputs[] = {left.data(), right.data()};
  plug->RenderBlock(nullptr, outputs, 64);
  int layers = 0;
  for (int v = 0; v < engine::kVoiceCount; ++v) {
    const engine::Voice& voice = plug->Engine().GetVoice(v);
    if (!voice.IsActive()) continue;
    ++layers;
    EXPECT_EQ(voice.BasePitch(), voice.Note() * 128) << "voice " << v << " note " << voice.Note();
  }
  EXPECT_EQ(layers, 2);
}

TEST_F(SynthMidiTest, AllNotesOffControllersActAtOnceAndOthersAreIgnored) {
  Send({{300, 0xB0, 120, 0}, {400, 0xB5, 123, 0}, {0, 0xB0, 121, 0}, {0, 0xB0, 122, 0}, {0, 0xB0, 127, 0}});
  EXPECT_EQ(plug->allNotesOff, 2);
  EXPECT_TRUE(plug->QueuedMidi().Empty());
}

TEST_F(SynthMidiTest, ProgramChangeAndThruFollowTheSettings) {
  Send(0, 0xC0, 5, 0);
  EXPECT_EQ(plug->CurrentProgram(), 5);
  EXPECT_TRUE(Recorded().midiOut.empty());
  Send(0, 0xC0, 100, 0);  // beyond the program list
  EXPECT_EQ(plug->CurrentProgram(), 5);

  plug->SetMidiThru(true);
  Send(17, 0xC3, 9, 0);
  EXPECT_EQ(plug->CurrentProgram(), 9);
  plug->SetIgnoreProgramChange(true);
  Send(18, 0xC3, 2, 0);
  EXPECT_EQ(plug->CurrentProgram(), 9);
  Send(19, 0x94, 60, 0);  // echoed as it came, velocity 0 and all
  ASSERT_EQ(Recorded().midiOut.size(), 3u);
  EXPECT_EQ(Recorded().midiOut[0].offset, 17);
  EXPECT_EQ(Recorded().midiOut[1].status, 0xC3);
  EXPECT_EQ(Recorded().midiOut[1].data1, 2);
  EXPECT_EQ(Recorded().midiOut[2].status, 0x94);
  EXPECT_EQ(Recorded().midiOut[2].data2, 0);
}

TEST_F(SynthMidiTest, LearnThroughParameterChangeAndController) {
  plug->ToggleLearn(false);
  plug->SetParamFromEditor(kVcfCutoff, 0.25);
  Send(0, 0xB0, 20, 64);  // taken by learn, not queued
  EXPECT_EQ(plug->LearnState(), shell::LearnMode::kOff);
  EXPECT_EQ(plug->Settings().controllerMap[20], kVcfCutoff);
  EXPECT_TRUE(plug->QueuedMidi().Empty());
  Send(0, 0xB0, 20, 127);
  DrainTick();
  EXPECT_EQ(plug->GetParam(kVcfCutoff)->Normalised(), 1.0);

  plug->ToggleLearn(true);
  Send(0, 0xB0, 20, 0);
  EXPECT_EQ(plug->Settings().controllerMap[20], -1);
  // A reset ends learn without touching the map.
  plug->SetControllerMapping(30, kVcfResonance);
  plug->ToggleLearn(false);
  plug->ResetEngine();
  EXPECT_EQ(plug->LearnState(), shell::LearnMode::kOff);
  EXPECT_EQ(plug->Settings().controllerMap[30], kVcfResonance);
}

// The learn button runs on the user-interface thread while the audio thread reads the
// learn state under the plug-in lock: the button must wait for the lock.
TEST_F(SynthMidiTest, ToggleLearnWaitsForThePluginLock) {
  std::atomic<bool> toggled{false};
  std::thread editor;
  {
    platform::Guard audio(plug->Lock());
    editor = std::thread([&] {
      plug->ToggleLearn(false);
      toggled = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(toggled.load());
    EXPECT_EQ(plug->LearnState(), shell::LearnMode::kOff);
  }
  editor.join();
  EXPECT_EQ(plug->LearnState(), shell::LearnMode::kLearning);
}

TEST_F(SynthMidiTest, AFloodKeepsEveryNoteOff) {
  // 512-sample blocks give a 512-message queue; 600 note ons come first, then 100 offs.
  std::vector<MidiMessage> flood;
  for (int i = 0; i < 600; ++i) flood.push_back({i / 2, 0x90, static_cast<std::uint8_t>(i % 128), 100});
  for (int i = 0; i < 100; ++i) flood.push_back({400, 0x80, static_cast<std::uint8_t>(i), 0});
  Send(flood);
  int noteOffs = 0;
  for (int tick = 0; tick < 12; ++tick) {
    plug->DispatchQueuedMidi(tick * 44, tick * 44 + 44, voices);
    for (const auto& e : TakeVoiceEvents()) noteOffs += e.status == 0x80 ? 1 : 0;
  }
  EXPECT_EQ(noteOffs, 100);
}

}  // namespace
