// The instance's life and its run call: ports, MIDI in and out, cutting long runs.
#include "lv2/Instance.h"

#include <algorithm>
#include <cstring>

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>

#include "lv2/MidiBytes.h"
#include "lv2/PortLayout.h"
#include "lv2/Uris.h"

namespace lv2 {

namespace {

constexpr int kDefaultBlockSize = 1024;

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features != nullptr && features[i] != nullptr; ++i) {
    if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
  }
  return nullptr;
}

// The block length the host announces in its options: the largest it will use, else its
// usual one; 0 when it says neither.
int AnnouncedBlockLength(const LV2_Options_Option* options, LV2_URID maxBlock, LV2_URID nominalBlock,
                         LV2_URID intType) {
  int nominal = 0;
  for (int i = 0; options != nullptr && options[i].key != 0; ++i) {
    const LV2_Options_Option& o = options[i];
    if (o.type != intType || o.size != sizeof(std::int32_t) || o.value == nullptr) continue;
    const int value = *static_cast<const std::int32_t*>(o.value);
    if (o.key == maxBlock) return value;
    if (o.key == nominalBlock) nominal = value;
  }
  return nominal;
}

}  // namespace

std::unique_ptr<Instance> Instance::Create(vst::EntryProc entry, double sampleRate,
                                           const LV2_Feature* const* features) {
  std::unique_ptr<Instance> instance(new Instance());
  if (!instance->Init(entry, sampleRate, features)) return nullptr;
  return instance;
}

bool Instance::Init(vst::EntryProc entry, double sampleRate, const LV2_Feature* const* features) {
  const auto* log = static_cast<const LV2_Log_Log*>(FindFeature(features, LV2_LOG__log));
  const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  lv2_log_logger_init(&logger_, const_cast<LV2_URID_Map*>(map), const_cast<LV2_Log_Log*>(log));
  if (map == nullptr) {
    lv2_log_error(&logger_, "Tesvar: the host offers no URID map (urid:map), which the plug-in needs\n");
    return false;
  }
  auto m = [map](const char* uri) { return map->map(map->handle, uri); };
  urids_ = Urids{m(LV2_MIDI__MidiEvent),
                 m(LV2_ATOM__Chunk),
                 m(LV2_ATOM__Int),
                 m(LV2_ATOM__Path),
                 m(LV2_ATOM__URID),
                 m(LV2_ATOM__Object),
                 m(LV2_ATOM__Blank),
                 m(LV2_ATOM__Sequence),
                 m(LV2_ATOM__beatTime),
                 m(LV2_PATCH__Set),
                 m(LV2_PATCH__Get),
                 m(LV2_PATCH__property),
                 m(LV2_PATCH__value),
                 m(lv2uris::kStateBank),
                 m(lv2uris::kStateProgram),
                 m(lv2uris::kStateProgramChunk),
                 m(lv2uris::kStateControls),
                 m(lv2uris::kFileProperty),
                 m(LV2_BUF_SIZE__maxBlockLength),
                 m(LV2_BUF_SIZE__nominalBlockLength)};
  lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(map));

  worker_ = static_cast<const LV2_Worker_Schedule*>(FindFeature(features, LV2_WORKER__schedule));
  if (worker_ == nullptr) {
    lv2_log_trace(&logger_, "Tesvar: the host offers no worker; the file property is not available\n");
  }
  const auto* options = static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
  int block = AnnouncedBlockLength(options, urids_.maxBlockLength, urids_.nominalBlockLength, urids_.atomInt);
  // Without a usable announcement any length works: longer runs are cut into pieces.
  if (block < 1 || block > EffectLink::kMaxBlockSize) block = block < 1 ? kDefaultBlockSize : EffectLink::kMaxBlockSize;

  if (!link_.Create(entry, this, sampleRate, block)) {
    lv2_log_error(&logger_, "Tesvar: cannot run at %.1f Hz\n", sampleRate);
    return false;
  }
  return true;
}

void Instance::ConnectPort(std::uint32_t port, void* data) {
  switch (port) {
    case lv2ports::kEventsIn: eventsIn_ = static_cast<const LV2_Atom_Sequence*>(data); return;
    case lv2ports::kEventsOut: eventsOut_ = static_cast<LV2_Atom_Sequence*>(data); return;
    case lv2ports::kAudioLeft:
    case lv2ports::kAudioRight: audio_[port - lv2ports::kAudioLeft] = static_cast<float*>(data); return;
    default:
      if (const int index = lv2ports::ParamOfPort(port); index >= 0)
        controls_.Connect(index, static_cast<const float*>(data));
      return;
  }
}

// ---- Run ---------------------------------------------------------------------------------------

void Instance::Run(std::uint32_t frames) {
  runThread_.store(std::this_thread::get_id(), std::memory_order_relaxed);
  out_.Begin(eventsOut_, urids_.atomSequence);
  runFrames_ = frames;
  if (fileNotice_) NotifyFile(0);

  controls_.Update([this](int i) { return link_.Normalised(i); },
                   [this](int i, double normalised) { link_.SetNormalised(i, static_cast<float>(normalised)); });

  // Every event of the run goes to the plug-in first, then one process call, as a VST2 host
  // makes them. A run longer than the announced block is the plug-in's to cut into pieces:
  // both formats answer such a host alike.
  if (eventsIn_ != nullptr && eventsIn_->atom.size >= sizeof(LV2_Atom_Sequence_Body)) DeliverEvents(frames);
  link_.FlushMidi();
  if (frames > 0) {
    if (link_.Active()) {
      link_.Process(audio_[0], audio_[1], static_cast<int>(frames));
    } else {
      for (float* out : audio_) {
        if (out != nullptr) std::fill_n(out, frames, 0.0f);
      }
    }
  }
  runThread_.store(std::thread::id(), std::memory_order_relaxed);
}

void Instance::DeliverEvents(std::uint32_t frames) {
  // The body's declared size bounds the walk; an event that claims more than is left ends it.
  const auto* body = &eventsIn_->body;
  const std::uint32_t size = eventsIn_->atom.size;
  const auto* end = reinterpret_cast<const std::uint8_t*>(body) + size;
  // Time stamps count frames from the run's start, unless the sequence says beats (which
  // then count as its start). Some hosts leave the unit field unset, so only beats are
  // taken for beats.
  const bool frameUnit = body->unit != urids_.beatTime;
  for (const LV2_Atom_Event* event = lv2_atom_sequence_begin(body); !lv2_atom_sequence_is_end(body, size, event);
       event = lv2_atom_sequence_next(event)) {
    const auto* at = reinterpret_cast<const std::uint8_t*>(event);
    if (end - at < static_cast<std::ptrdiff_t>(sizeof(LV2_Atom_Event)) ||
        static_cast<std::size_t>(end - at) - sizeof(LV2_Atom_Event) < event->body.size) {
      return;
    }
    // Frames outside the run fall at its nearest end.
    const std::int64_t frame =
        std::clamp<std::int64_t>(frameUnit ? event->time.frames : 0, 0, frames > 0 ? frames - 1 : 0);
    HandleEvent(*event, static_cast<std::uint32_t>(frame));
  }
}

void Instance::HandleEvent(const LV2_Atom_Event& event, std::uint32_t offset) {
  const auto* body = reinterpret_cast<const std::uint8_t*>(&event + 1);
  if (event.body.type == urids_.midiEvent) {
    if (const std::size_t length = CheckedLength(body, event.body.size); length > 0) {
      link_.QueueMidi(static_cast<int>(offset), body, static_cast<int>(length));
    }
  } else if (event.body.type == urids_.atomObject || event.body.type == urids_.atomBlank) {
    if (event.body.size >= sizeof(LV2_Atom_Object_Body))
      HandlePatch(reinterpret_cast<const LV2_Atom_Object&>(event.body));
  }
}

void Instance::MidiOut(int offset, const std::uint8_t* bytes, int size) {
  if (runThread_.load(std::memory_order_relaxed) != std::this_thread::get_id()) return;
  const std::int64_t frame = std::clamp<std::int64_t>(offset, 0, runFrames_ > 0 ? runFrames_ - 1 : 0);
  out_.Append(frame, urids_.midiEvent, bytes, static_cast<std::uint32_t>(size));
}

// ---- Requests from the plug-in ------------------------------------------------------------

bool Instance::OnUiThread() const {
  return ui_.load(std::memory_order_acquire) != nullptr &&
         uiThread_.load(std::memory_order_acquire) == std::this_thread::get_id();
}

void Instance::ParamReported(int index, float normalised) {
  if (index < 0 || index >= lv2ports::kParamCount) return;
  if (OnUiThread()) {
    ui_.load(std::memory_order_acquire)->WriteParam(index, static_cast<float>(ControlPorts::Plain(index, normalised)));
  } else {
    echo_.Mark(index);
  }
}

void Instance::GestureBegun(int index) {
  if (OnUiThread() && index >= 0 && index < lv2ports::kParamCount) ui_.load()->Touch(index, true);
}

void Instance::GestureEnded(int index) {
  if (OnUiThread() && index >= 0 && index < lv2ports::kParamCount) ui_.load()->Touch(index, false);
}

void Instance::ProgramChanged() { echo_.MarkAll(); }

bool Instance::EditorResized(int width, int height) {
  UiPeer* ui = ui_.load();
  return OnUiThread() && ui != nullptr && ui->Resize(width, height);
}

bool Instance::AttachUi(UiPeer* ui) {
  UiPeer* none = nullptr;
  if (!ui_.compare_exchange_strong(none, ui, std::memory_order_acq_rel)) return false;
  uiThread_.store(std::this_thread::get_id(), std::memory_order_release);
  // The host's controls may still show defaults while the plug-in plays its program: the
  // first idle call tells it every value.
  echo_.MarkAll();
  return true;
}

void Instance::DetachUi(UiPeer* ui) {
  UiPeer* expected = ui;
  ui_.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
}

}  // namespace lv2
