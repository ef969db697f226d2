// The render loop's control tick, voice events, voice mix and sample-rate reset.
#include "engine/RenderLoop.h"

#include <algorithm>
#include <cmath>

namespace engine {

RenderLoop::RenderLoop() {
  // Defaults until the product pushes its parameters: Poly, one voice, centred.
  ReconfigureVoices();
}

void RenderLoop::SetNoteServices(NoteServices* notes) {
  notes_ = notes != nullptr ? notes : &defaultNotes_;
  pool_.SetNoteServices(*notes_);
}

void RenderLoop::SetTickSource(TickSource* source) { source_ = source != nullptr ? source : &noMidi_; }

bool RenderLoop::ResetEngine(double sampleRate) {
  if (!(sampleRate >= 1000.0 && sampleRate <= 1e6)) return false;
  // The next block starts a tick; events still waiting keep their place in time.
  events_.LowerOffsets(clock_.TickPosition());
  clock_.Reset();
  clock_.SetTickLength(static_cast<int>(sampleRate) / 1000);
  if (sampleRate == sampleRate_) return true;  // same rate: voices keep sounding
  sampleRate_ = sampleRate;
  bend_ = 0.0;
  wheel_ = 0.0;
  allocator_.ResetNoteCounter();
  pool_.SetSampleRate(sampleRate);
  effects_.SetSampleRate(sampleRate);
  // Modulation fully on, and the delay step 1 until "MG Delay" is applied again.
  modulation_.Reset();
  settings_.mgDelayStep = 1.0;
  return true;
}

void RenderLoop::ApplyParameter(int index, double v, double e) {
  const SettingsFollowUp next = settings_.Apply(index, v, e, pool_.All());
  if (next.reconfigureVoices) {
    ReconfigureVoices();  // also pan and output gain
    return;
  }
  if (next.updatePanGains) UpdatePanGains();
  if (next.updateOutputGain) UpdateOutputGain();
}

void RenderLoop::ReconfigureVoices() {
  if (constructed_) AllNotesOff();
  layout_ = ComputeVoiceLayout(KeyModeFromIndex(settings_.mode), settings_.voicesSetting,
                               allocator_.Chord().size);
  // Chord mode may have lowered the setting; the engine keeps the lowered one, the
  // parameter keeps what the host sent.
  settings_.voicesSetting = layout_.voicesSetting;
  allocator_.SetLayout(layout_);
  UpdateOutputGain();
  UpdatePanGains();
}

void RenderLoop::UpdatePanGains() { engine::UpdatePanGains(layout_, settings_.spread, pan_); }

void RenderLoop::AllNotesOff() {
  notes_->ClearHeldKeys();
  events_.Clear();
  allocator_.AllNotesOff();
}

void RenderLoop::RenderBlock(double** outputs, int frames) {
  outLeft_ = outputs != nullptr ? outputs[0] : nullptr;
  outRight_ = outputs != nullptr ? outputs[1] : nullptr;
  if (outLeft_ == nullptr || outRight_ == nullptr) outLeft_ = outRight_ = nullptr;
  if (outLeft_ != nullptr && frames > 0) {
    std::fill(outLeft_, outLeft_ + frames, 0.0);
    std::fill(outRight_, outRight_ + frames, 0.0);
  }
  clock_.RunBlock(*this, events_, frames);
  outLeft_ = outRight_ = nullptr;
}

void RenderLoop::TakeMessages(int tickStart, int tickEnd) {
  source_->DispatchQueuedMidi(tickStart, tickEnd, events_);
}

void RenderLoop::ControlTick() {
  source_->ControlTick();
  const ModulationValues& mod = modulation_.Tick(settings_, bend_, wheel_);
  // Only the voices in use follow; those above T keep stale state and stay silent.
  for (int j = 0; j < layout_.total; ++j) pool_[j].UpdateControl(mod);
  effects_.Tick(settings_);
}

void RenderLoop::FireEvent(const VoiceEvent& event) {
  const int note = event.data1 & 0x7F;
  switch (event.status & 0xF0) {
    case 0xB0:
      if (event.data1 == 64) SetHold(event.data2 != 0);
      break;
    case 0x80:
      NoteOff(note);
      break;
    case 0x90:
      if (event.data2 == 0) {
        NoteOff(note);  // running-status note off that slipped through
      } else {
        NoteOn(note, event.data2);
      }
      break;
    default:
      break;
  }
}

void RenderLoop::NoteOn(int note, int velocity) {
  if (notes_->ShouldFilterNote(note)) return;
  // The first key after all were up restarts the MG delay.
  if (notes_->HeldKeyCount() == 0) modulation_.RestartDelay();
  notes_->SetHeldKey(note, velocity);
  allocator_.NoteOn(note);
}

void RenderLoop::NoteOff(int note) {
  notes_->SetHeldKey(note, 0);
  allocator_.NoteOff(note, notes_->HighestHeldKey());
}

void RenderLoop::Render(int start, int count) {
  if (outLeft_ == nullptr) return;
  double* left = outLeft_ + start;
  double* right = outRight_ + start;
  // Voice by voice over the whole span: each voice's state stays in registers for the
  // span instead of being reloaded for every sample.
  for (int j = 0; j < layout_.total; ++j) {
    pool_[j].RenderAdd(left, right, count, pan_.left[j], pan_.right[j]);
  }
  effects_.ProcessBlock(settings_, left, right, count);
  const double gain = outputGain_;
  for (int i = 0; i < count; ++i) {
    left[i] *= gain;
    right[i] *= gain;
  }
}

void RenderLoop::EndBlock(int frames) { source_->EndBlock(frames); }

}  // namespace engine
