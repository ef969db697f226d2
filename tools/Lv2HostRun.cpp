// The lilv host's runs: events in, audio and events out, the worker's requests.
#include <algorithm>

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>

#include "lv2/Uris.h"
#include "tools/Lv2HostImpl.h"

void Lv2Host::AddAtom(std::int64_t frame, const std::string& typeUri, const void* body, std::uint32_t size) {
  Impl& m = *impl_;
  if (m.rawPending) m.pending.clear();
  m.rawPending = false;
  LV2_Atom_Event header{};
  header.time.frames = frame;
  header.body.type = m.Id(typeUri.c_str());
  header.body.size = size;
  const auto* h = reinterpret_cast<const std::uint8_t*>(&header);
  m.pending.insert(m.pending.end(), h, h + sizeof(header));
  const auto* b = static_cast<const std::uint8_t*>(body);
  m.pending.insert(m.pending.end(), b, b + size);
  m.pending.resize(m.pending.size() + (lv2_atom_pad_size(size) - size), 0);
}

void Lv2Host::AddMidi(std::int64_t frame, const std::vector<std::uint8_t>& bytes) {
  AddAtom(frame, LV2_MIDI__MidiEvent, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

void Lv2Host::SetRawSequence(const std::vector<std::uint8_t>& events, std::uint32_t declaredSize) {
  impl_->pending = events;
  impl_->rawPending = true;
  impl_->rawSize = std::min<std::uint32_t>(declaredSize, kSequenceBytes - sizeof(LV2_Atom));
}

void Lv2Host::RequestFile(std::int64_t frame, const std::string& path) {
  Impl& m = *impl_;
  std::vector<std::uint8_t> buffer(path.size() + 256);
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, &m.map);
  lv2_atom_forge_set_buffer(&forge, buffer.data(), buffer.size());
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_object(&forge, &object, 0, m.Id(LV2_PATCH__Set));
  lv2_atom_forge_key(&forge, m.Id(LV2_PATCH__property));
  lv2_atom_forge_urid(&forge, m.Id(lv2uris::kFileProperty));
  lv2_atom_forge_key(&forge, m.Id(LV2_PATCH__value));
  lv2_atom_forge_path(&forge, path.c_str(), static_cast<std::uint32_t>(path.size()));
  lv2_atom_forge_pop(&forge, &object);
  const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer.data());
  AddAtom(frame, LV2_ATOM__Object, atom + 1, atom->size);
}

void Lv2Host::PrepareRun(int frames) {
  Impl& m = *impl_;
  if (frames < 0) frames = 0;
  if (left_.size() < static_cast<std::size_t>(frames) || left_.empty()) {
    left_.assign(static_cast<std::size_t>(std::max(frames, 1)), 0.0f);
    right_.assign(static_cast<std::size_t>(std::max(frames, 1)), 0.0f);
    lilv_instance_connect_port(m.instance, m.audio[0], left_.data());
    lilv_instance_connect_port(m.instance, m.audio[1], right_.data());
  }
  auto* in = reinterpret_cast<LV2_Atom_Sequence*>(m.input.data());
  const std::size_t room = m.input.size() * 8 - sizeof(LV2_Atom_Sequence);
  const std::size_t body = std::min(m.pending.size(), room);
  in->atom.type = m.Id(LV2_ATOM__Sequence);
  in->atom.size = static_cast<std::uint32_t>(sizeof(LV2_Atom_Sequence_Body) + body);
  in->body.unit = 0;
  in->body.pad = 0;
  std::memset(in + 1, 0, room);
  if (body > 0) std::memcpy(in + 1, m.pending.data(), body);
  if (m.rawPending) in->atom.size = m.rawSize;
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(m.output.data());
  out->atom.type = m.Id(LV2_ATOM__Chunk);
  out->atom.size = static_cast<std::uint32_t>(m.output.size() * 8 - sizeof(LV2_Atom));
}

void Lv2Host::RunPlugin(int frames) {
  lilv_instance_run(impl_->instance, static_cast<std::uint32_t>(std::max(frames, 0)));
}

void Lv2Host::FinishRun() {
  Impl& m = *impl_;
  auto* out = reinterpret_cast<LV2_Atom_Sequence*>(m.output.data());
  m.pending.clear();
  m.rawPending = false;

  midiOut_.clear();
  otherOut_.clear();
  if (out->atom.type == m.Id(LV2_ATOM__Sequence)) {
    LV2_ATOM_SEQUENCE_FOREACH(out, event) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
      if (event->body.type == m.Id(LV2_MIDI__MidiEvent)) {
        midiOut_.push_back({event->time.frames, std::vector<std::uint8_t>(bytes, bytes + event->body.size)});
      } else {
        const char* type = m.Uri(event->body.type);
        otherOut_.emplace_back(type != nullptr ? type : "?");
      }
    }
  }

  // The worker runs here, after the run, as hosts that render offline do it.
  const auto* worker = static_cast<const LV2_Worker_Interface*>(m.Extension(LV2_WORKER__interface));
  std::vector<std::vector<std::uint8_t>> requests;
  requests.swap(m.workRequests);
  for (const auto& request : requests) {
    if (worker != nullptr) {
      worker->work(Handle(), &Impl::Respond, &m, static_cast<std::uint32_t>(request.size()), request.data());
    }
  }
  std::vector<std::vector<std::uint8_t>> responses;
  responses.swap(m.workResponses);
  for (const auto& response : responses) {
    if (worker != nullptr)
      worker->work_response(Handle(), static_cast<std::uint32_t>(response.size()), response.data());
  }
}
