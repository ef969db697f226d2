// The render loop's control tick, voice events, voice mix and sample-rate reset.
#include "engine/RenderLoop.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace engine {
namespace {

VoicePath PathFromEnvironment() {
  const char* name = std::getenv("TESVAR_VOICE_PATH");
  if (name == nullptr) return BestVoicePath();
  if (std::strcmp(name, "scalar") == 0) return VoicePath::kScalar;
  if (std::strcmp(name, "sse2") == 0) return AvailableVoicePath(VoicePath::kSse2);
  return BestVoicePath();
}

}  // namespace

RenderLoop::RenderLoop() {
  SetVoicePath(PathFromEnvironment());
  // Defaults until the product pushes its parameters: Poly, one voice, centred.
  ReconfigureVoices();
}

void RenderLoop::SetVoicePath(VoicePath path) {
  Settle();
  path_ = AvailableVoicePath(path);
  kernel_ = KernelFor(path_);
  effects_.SetLanes(path_ != VoicePath::kScalar);
}

void RenderLoop::SetNoteServices(NoteServices* notes) {
  notes_ = notes != nullptr ? notes : &defaultNotes_;
  pool_.SetNoteServices(*notes_);
}

void RenderLoop::SetTickSource(TickSource* source) { source_ = source != nullptr ? source : &noMidi_; }

bool RenderLoop::ResetEngine(double sampleRate) {
  if (!(sampleRate >= 1000.0 && sampleRate <= 1e6)) return false;
  Settle();
  // The next block starts a tick; events still waiting keep their place in time.
  events_.LowerOffsets(clock_.TickPosition());
  clock_.Reset();
  clock_.SetTickLength(static_cast<int>(sampleRate) / 1000);
  if (sampleRate == sampleRate_) return true;  // same rate: voices keep sounding
  sampleRate_ = sampleRate;
  bend_ = 0.0;
  wheel_ = 0.0;
  allocator_.ResetNoteCounter();
  settings_.patch.SetSampleRate(sampleRate);
  pool_.Restart();
  soundingStale_ = true;
  effects_.SetSampleRate(sampleRate);
  // Modulation fully on. The delay step keeps what "MG Delay" set: resetting it to 1 here
  // would lose the knob after every rate change (hosts set the rate after pushing values).
  modulation_.Reset();
  return true;
}

void RenderLoop::ApplyParameter(int index, double v, double e) {
  Settle();  // the packs hold patch values
  const SettingsFollowUp next = settings_.Apply(index, v, e);
  if (next.reconfigureVoices) {
    ReconfigureVoices();  // also pan and output gain
    return;
  }
  if (next.updatePanGains) UpdatePanGains();
  if (next.updateOutputGain) UpdateOutputGain();
}

void RenderLoop::ReconfigureVoices() {
  Settle();
  if (constructed_) AllNotesOff();
  layout_ = ComputeVoiceLayout(KeyModeFromIndex(settings_.mode), settings_.voicesParameter,
                               allocator_.Chord().size);
  // Chord mode may have lowered the setting; the engine keeps the lowered one in force,
  // the parameter keeps what the host sent and the next layout starts from it again.
  settings_.voicesSetting = layout_.voicesSetting;
  allocator_.SetLayout(layout_);
  soundingStale_ = true;
  UpdateOutputGain();
  UpdatePanGains();
}

void RenderLoop::UpdatePanGains() { engine::UpdatePanGains(layout_, settings_.spread, pan_); }

void RenderLoop::AllNotesOff() {
  Settle();
  notes_->ClearHeldKeys();
  events_.Clear();
  allocator_.AllNotesOff();
  soundingStale_ = true;
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
  Settle();
  source_->OnControlTick();
  const ModulationValues& mod = modulation_.Tick(settings_, bend_, wheel_);
  // Only the voices in use follow; those above T keep stale state and stay silent.
  for (int j = 0; j < layout_.total; ++j) pool_[j].UpdateControl(mod, settings_.patch);
  soundingStale_ = true;
  effects_.Tick(settings_);
}

void RenderLoop::FireEvent(const VoiceEvent& event) {
  // A note on, a note off (a mono mode's return to a held key) or the pedal may start a voice.
  Settle();
  soundingStale_ = true;
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
  MixVoices(left, right, count);
  effects_.ProcessBlock(settings_, left, right, count);
  // The delay lines' tails pass through the subnormal range for a few samples on their
  // way to 0; none of that reaches the host. (NaN is not masked here: the recursive
  // filters already refuse it, and a test would see one that slipped through.)
  const double gain = outputGain_;
  for (int i = 0; i < count; ++i) {
    const double l = left[i] * gain;
    const double r = right[i] * gain;
    left[i] = std::fabs(l) < DBL_MIN ? 0.0 : l;
    right[i] = std::fabs(r) < DBL_MIN ? 0.0 : r;
  }
}

void RenderLoop::FindSounding() {
  Settle();
  // Voices above the grid's total may still be active from before a reconfiguration; they
  // stay silent and unchanged.
  soundingCount_ = 0;
  groupCount_ = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    const int before = soundingCount_;
    for (int i = g * kGroupSize; i < (g + 1) * kGroupSize; ++i) {
      isSounding_[i] = i < layout_.total && pool_[i].IsActive();
      if (isSounding_[i]) sounding_[soundingCount_++] = i;
    }
    if (soundingCount_ > before) groups_[groupCount_++] = g;
  }
  soundingStale_ = false;
}

void RenderLoop::MixVoices(double* left, double* right, int count) {
  if (soundingStale_) FindSounding();
  // The outputs arrive cleared: with no voice sounding there is nothing to add.
  if (soundingCount_ == 0) return;
  VoiceMixJob job = SoundingJob();
  job.isSounding = isSounding_;
  job.groups = groups_;
  job.groupCount = groupCount_;
  job.patch = &settings_.patch;
  job.gainLeft = pan_.left;
  job.gainRight = pan_.right;
  job.tables = Wavetables::Get().Data();
  job.scratch = mixScratch_;
  for (int done = 0; done < count; done += job.frames) {
    job.frames = std::min(count - done, kMixChunk);
    job.left = left + done;
    job.right = right + done;
    job.resume = packsLive_;
    kernel_.mix(job);
    packsLive_ = true;
  }
}

void RenderLoop::Settle() {
  if (!packsLive_) return;
  packsLive_ = false;
  kernel_.settle(SoundingJob());
}

VoiceMixJob RenderLoop::SoundingJob() {
  VoiceMixJob job;
  job.voices = pool_.All().data();
  job.sounding = sounding_;
  job.soundingCount = soundingCount_;
  job.packs = packs_;
  return job;
}

void RenderLoop::EndBlock(int frames) { source_->EndBlock(frames); }

}  // namespace engine
