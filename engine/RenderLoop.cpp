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
  for (VoicePath path : kVoicePaths) {
    if (name != nullptr && std::strcmp(name, VoicePathName(path)) == 0) return AvailableVoicePath(path);
  }
  return BestVoicePath();
}

}  // namespace

RenderLoop::RenderLoop() {
  job_.voices = pool_.All().data();
  job_.isSounding = sounding_.Flags();
  job_.sounding = sounding_.List();
  job_.groups = sounding_.Groups();
  job_.patch = &settings_.patch;
  job_.modulation = &modulation_.Values();
  job_.gainLeft = pan_.left;
  job_.gainRight = pan_.right;
  job_.tables = Wavetables::Get().Data();
  job_.scratch = mixScratch_;
  job_.packs = packs_;
  SetVoicePath(PathFromEnvironment());
  // Defaults until the product pushes its parameters: Poly, one voice, centred.
  ReconfigureVoices();
}

void RenderLoop::SetVoicePath(VoicePath path) {
  ReleasePacks();
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
  // The next block starts a tick; events still waiting keep their place in time.
  events_.LowerOffsets(clock_.TickPosition());
  clock_.Reset();
  clock_.SetTickLength(static_cast<int>(sampleRate) / 1000);
  if (sampleRate == sampleRate_) return true;  // same rate: voices keep sounding
  ReleasePacks();
  sampleRate_ = sampleRate;
  bend_ = 0.0;
  wheel_ = 0.0;
  allocator_.ResetNoteCounter();
  settings_.patch.SetSampleRate(sampleRate);
  pool_.Restart();
  UpdateSounding();
  effects_.SetSampleRate(sampleRate);
  // Modulation fully on. The delay step keeps what "MG Delay" set: resetting it to 1 here
  // would lose the knob after every rate change (hosts set the rate after pushing values).
  modulation_.Reset();
  return true;
}

void RenderLoop::ApplyParameter(int index, double v, double e) {
  const SettingsFollowUp next = settings_.Apply(index, v, e);
  // The packs take a changed patch before they next run.
  if (next.voicePatch) patchChanged_ = true;
  if (next.reconfigureVoices) {
    ReconfigureVoices();  // also pan and output gain
    return;
  }
  if (next.updatePanGains) UpdatePanGains();
  if (next.updateOutputGain) UpdateOutputGain();
}

void RenderLoop::ReconfigureVoices() {
  ReleasePacks();
  if (constructed_) AllNotesOff();
  layout_ = ComputeVoiceLayout(KeyModeFromIndex(settings_.mode), settings_.voicesParameter, allocator_.Chord().size);
  // Chord mode may have lowered the setting; the engine keeps the lowered one in force,
  // the parameter keeps what the host sent and the next layout starts from it again.
  settings_.voicesSetting = layout_.voicesSetting;
  allocator_.SetLayout(layout_);
  UpdateSounding();
  UpdateOutputGain();
  UpdatePanGains();
}

void RenderLoop::UpdatePanGains() { engine::UpdatePanGains(layout_, settings_.spread, pan_); }

void RenderLoop::AllNotesOff() {
  ReleasePacks();
  notes_->ClearHeldKeys();
  events_.Clear();
  allocator_.AllNotesOff();
}

void RenderLoop::RenderBlock(double** outputs, int frames) {
  // Every span writes all its samples (Render): the outputs need no clearing first.
  outLeft_ = outputs != nullptr ? outputs[0] : nullptr;
  outRight_ = outputs != nullptr ? outputs[1] : nullptr;
  if (outLeft_ == nullptr || outRight_ == nullptr) outLeft_ = outRight_ = nullptr;
  clock_.RunBlock(*this, events_, frames);
  outLeft_ = outRight_ = nullptr;
}

void RenderLoop::TakeMessages(int tickStart, int tickEnd) { source_->DispatchQueuedMidi(tickStart, tickEnd, events_); }

void RenderLoop::ControlTick() {
  source_->OnControlTick();
  modulation_.Tick(settings_, bend_, wheel_);
  // Only the sounding voices follow (in their packs); active voices above T keep stale
  // state and stay silent.
  if (sounding_.Count() > 0) {
    MakePacksLive();
    const std::uint64_t idle = kernel_.tick(job_);
    if (idle != 0) {
      ReleasePacks();
      pool_.EndSound(idle);
      UpdateSounding();
    }
  }
  effects_.Tick(settings_);
}

void RenderLoop::FireEvent(const VoiceEvent& event) {
  // The voices change: a note on, a note off (a mono mode's return to a held key) or the
  // pedal may also start one.
  ReleasePacks();
  const int note = event.data1 & 0x7F;
  switch (event.status & 0xF0) {
    case 0xB0:
      if (event.data1 == 64) SetHold(event.data2 != 0);
      break;
    case 0x80: NoteOff(note); break;
    case 0x90:
      if (event.data2 == 0) {
        NoteOff(note);  // running-status note off that slipped through
      } else {
        NoteOn(note, event.data2);
      }
      break;
    default: break;
  }
  UpdateSounding();
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
  const bool voices = MixVoices(left, right, count);
  const bool effect = effects_.ProcessBlock(settings_, left, right, count);
  // Silence stays +0.0 through the gain and the check below.
  if (!voices && !effect) return;
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

void RenderLoop::UpdateSounding() {
  const std::uint64_t mask = pool_.ActiveMask() & SoundingVoices::GridMask(layout_.total);
  if (mask == sounding_.Mask()) return;
  // The packs were built for the old set.
  ReleasePacks();
  sounding_.Set(mask);
  job_.soundingCount = sounding_.Count();
  job_.groupCount = sounding_.GroupCount();
}

bool RenderLoop::MixVoices(double* left, double* right, int count) {
  if (sounding_.Count() == 0) {
    std::fill(left, left + count, 0.0);
    std::fill(right, right + count, 0.0);
    return false;
  }
  MakePacksLive();
  for (int done = 0; done < count; done += job_.frames) {
    job_.frames = std::min(count - done, kMixChunk);
    job_.left = left + done;
    job_.right = right + done;
    kernel_.mix(job_);
  }
  return true;
}

void RenderLoop::MakePacksLive() {
  if (!packsLive_) {
    kernel_.load(job_);
    packsLive_ = true;
  } else if (patchChanged_) {
    kernel_.patch(job_);
  }
  patchChanged_ = false;
}

void RenderLoop::SavePacks() {
  if (packsLive_) kernel_.save(job_);
}

void RenderLoop::ReleasePacks() {
  SavePacks();
  packsLive_ = false;
}

void RenderLoop::EndBlock(int frames) { source_->EndBlock(frames); }

}  // namespace engine
