// The shell's MIDI handling: what happens at once, what is queued, and the drain at each
// control tick.
#include <algorithm>
#include <cstdint>

#include "engine/dsp/Pitch.h"
#include "shell/Synth.h"

namespace {

// Offsets are clamped so that the delay below and the lowering at block ends cannot
// overflow; a message this far ahead is a host fault either way (about six minutes).
constexpr std::int32_t kLatestOffset = 1 << 24;

constexpr int kSustainPedal = 64;
constexpr int kModulationWheel = 1;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;

}  // namespace

void Synth::HandleMidi(const MidiMessage& received) {
  platform::Guard guard(Lock());
  if (settings_.midiThru) SendMidiOut(received);

  // Data bytes are seven bits; a host that sends more gets them masked, never used as
  // indexes or values out of range.
  MidiMessage message = received;
  message.offset = std::clamp(received.offset, 0, kLatestOffset);
  message.data1 &= 0x7F;
  message.data2 &= 0x7F;
  bool continuous = false;

  switch (message.Kind()) {
    case 0x80: break;
    case 0x90:
      if (message.data2 == 0) message.status = 0x80;
      break;
    case 0xB0: {
      const int controller = message.data1;
      if (controller < shell::kMappableControllers && learn_.Active()) {
        learn_.ControllerMoved(controller, settings_.controllerMap);
        return;
      }
      if (controller == kAllSoundOff || controller == kAllNotesOff) {
        // Acting at once, it also ends the notes still queued for later in the block.
        midiQueue_.DropNoteOns();
        AllNotesOff();
        return;
      }
      if (controller >= shell::kMappableControllers) return;  // 121, 122, 124 ... 127
      continuous = controller != kSustainPedal;
      break;
    }
    case 0xC0:
      if (!settings_.ignoreProgramChange) SelectPreset(message.data1);
      return;
    case 0xD0:
    case 0xE0: continuous = true; break;
    default: return;  // polyphonic pressure and system messages
  }
  // Continuous controllers later than the first tick of the block move half a tick
  // later still.
  if (continuous && message.offset > controlTick_) message.offset += controlTick_ / 2;
  midiQueue_.Add(message);
}

void Synth::DispatchQueuedMidi(int tickStart, int tickEnd, engine::VoiceEventQueue& events) {
  while (!midiQueue_.Empty() && midiQueue_.Front().offset < tickEnd) {
    const MidiMessage& m = midiQueue_.Front();
    const int kind = m.Kind();
    // The voices see channel-less statuses: 0x80, 0x90 and 0xB0 for the pedal.
    const bool toVoices = kind == 0x80 || kind == 0x90 || (kind == 0xB0 && m.data1 == kSustainPedal);
    if (toVoices) {
      const auto status = static_cast<std::uint8_t>(kind == 0x90 && m.data2 == 0 ? 0x80 : kind);
      // A full voice queue keeps this message and those behind it for the next tick.
      if (!events.Push(m.offset - tickStart, status, m.data1, m.data2)) return;
    } else if (kind == 0xB0) {
      ApplyController(m.data1, m.data2);
    } else if (kind == 0xE0) {
      PitchBendChanged((m.data1 + (m.data2 - 64) * 128) / 8192.0);
    }
    midiQueue_.PopFront();
  }
}

void Synth::ApplyController(int controller, int value) {
  if (controller == kModulationWheel) {
    ModWheelChanged(value / 127.0);
    return;
  }
  if (controller < 0 || controller >= shell::kMappableControllers) return;
  const int parameter = settings_.controllerMap[controller];
  // Stored entries may name anything; only real parameters act.
  if (!ValidParam(parameter)) return;
  const double normalised = value / 127.0;
  if (normalised == GetParam(parameter)->Normalised()) return;
  SetParamFromEditor(parameter, normalised);
  if (Editor() != nullptr) Editor()->ShowParamValue(parameter, normalised, true);
}

void Synth::EndBlock(int frames) { midiQueue_.LowerOffsets(frames); }

void Synth::ToggleLearn(bool forget) {
  platform::Guard guard(Lock());
  learn_.Toggle(forget);
}

shell::LearnMode Synth::LearnState() {
  platform::Guard guard(Lock());
  return learn_.Mode();
}

bool Synth::ShouldFilterNote(int note) { return tuning_ != nullptr && shell::ShouldFilterNote(*tuning_, note); }

int Synth::PitchCodeForNote(int note) {
  // A chord layer may lie above the top key (played note + chord offset). The tuning only
  // knows notes 0 ... 127, so such a layer continues in equal semitones from note 127
  // (note*128 without a tuning master) instead of wrapping round to a low note.
  constexpr int kTopKey = 127;
  if (note > kTopKey) {
    return shell::PitchCodeForNote(tuning_.get(), kTopKey) + (note - kTopKey) * engine::kCodesPerSemitone;
  }
  return shell::PitchCodeForNote(tuning_.get(), note);
}
