// The file property: a host (or its generic UI) sets it to an FXP or FXB file, which is
// read and loaded on the host's worker thread, never in the run call; the property's value
// is then the file's name. Without a worker the property is not offered (a request is
// ignored).
#include <cstring>

#include "core/FileBytes.h"
#include "lv2/FileChunk.h"
#include "lv2/Instance.h"
#include "lv2/StateChunks.h"

namespace lv2 {

namespace {

// The value atom of the property `key` in an object whose size was checked against its
// sequence; null when absent or when a property claims more than the object holds.
const LV2_Atom* PropertyValue(const LV2_Atom_Object& object, LV2_URID key) {
  const auto* at = reinterpret_cast<const std::uint8_t*>(&object.body) + sizeof(LV2_Atom_Object_Body);
  const auto* end = reinterpret_cast<const std::uint8_t*>(&object.body) + object.atom.size;
  while (end - at >= static_cast<std::ptrdiff_t>(sizeof(LV2_Atom_Property_Body))) {
    const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(at);
    const std::size_t room = static_cast<std::size_t>(end - at) - sizeof(LV2_Atom_Property_Body);
    if (property->value.size > room) return nullptr;
    if (property->key == key) return &property->value;
    at += lv2_atom_pad_size(static_cast<std::uint32_t>(sizeof(LV2_Atom_Property_Body)) + property->value.size);
  }
  return nullptr;
}

}  // namespace

void Instance::HandlePatch(const LV2_Atom_Object& object) {
  const LV2_Atom* property = PropertyValue(object, urids_.patchProperty);
  const bool aboutFile = property != nullptr && property->type == urids_.atomUrid &&
                         property->size == sizeof(LV2_URID) &&
                         reinterpret_cast<const LV2_Atom_URID*>(property)->body == urids_.file;
  if (object.body.otype == urids_.patchGet) {
    if (property == nullptr || aboutFile) NotifyFile(0);
    return;
  }
  if (object.body.otype != urids_.patchSet || !aboutFile || worker_ == nullptr) return;
  const LV2_Atom* value = PropertyValue(object, urids_.patchValue);
  if (value == nullptr || value->type != urids_.atomPath || value->size == 0) return;
  const auto* text = reinterpret_cast<const char*>(value + 1);
  const std::size_t length = strnlen(text, value->size);
  if (length == 0 || length == value->size || length > kMaxPath) return;  // empty, unterminated or too long
  worker_->schedule_work(worker_->handle, static_cast<std::uint32_t>(length + 1), text);
}

void Instance::NotifyFile(std::int64_t frame) {
  fileNotice_ = false;
  alignas(8) std::uint8_t buffer[kMaxPath + 128];
  lv2_atom_forge_set_buffer(&forge_, buffer, sizeof(buffer));
  LV2_Atom_Forge_Frame object;
  lv2_atom_forge_object(&forge_, &object, 0, urids_.patchSet);
  lv2_atom_forge_key(&forge_, urids_.patchProperty);
  lv2_atom_forge_urid(&forge_, urids_.file);
  lv2_atom_forge_key(&forge_, urids_.patchValue);
  lv2_atom_forge_path(&forge_, file_, static_cast<std::uint32_t>(std::strlen(file_)));
  lv2_atom_forge_pop(&forge_, &object);
  const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
  out_.Append(frame, atom->type, atom + 1, atom->size);
}

LV2_Worker_Status Instance::Work(LV2_Worker_Respond_Function respond, LV2_Worker_Respond_Handle handle,
                                 std::uint32_t size, const void* data) {
  const auto* path = static_cast<const char*>(data);
  if (path == nullptr || size < 2 || size > kMaxPath + 1 || path[size - 1] != '\0') return LV2_WORKER_ERR_UNKNOWN;
  if (!LoadFile(path)) return LV2_WORKER_ERR_UNKNOWN;
  return respond(handle, size, data);
}

LV2_Worker_Status Instance::WorkResponse(std::uint32_t size, const void* data) {
  const auto* path = static_cast<const char*>(data);
  if (path == nullptr || size < 1 || size > kMaxPath + 1 || path[size - 1] != '\0') return LV2_WORKER_ERR_UNKNOWN;
  std::memcpy(file_, path, size);
  fileNotice_ = true;  // told in the next run, where the output port is there to write to
  return LV2_WORKER_SUCCESS;
}

bool Instance::LoadFile(const char* path) {
  // Chunks are far smaller; a larger file is not one of ours and is not read whole.
  constexpr std::size_t kMaxFile = kMaxChunkBytes + 4096;
  ChunkBuffer bytes;
  FileChunk chunk;
  const char* why = "the file cannot be read";
  if (!ReadWholeFile(path, bytes, kMaxFile) || !FindFileChunk(bytes, link_.UniqueId(), &chunk, &why) ||
      !link_.SetChunk(chunk.bank, bytes.Data() + chunk.at, static_cast<std::size_t>(chunk.size))) {
    lv2_log_warning(&logger_, "Tesvar: %s: %s; nothing changed\n", path, why);
    return false;
  }
  echo_.MarkAll();
  return true;
}

}  // namespace lv2
