// The plug-in library's exported entry points. A host calls one of them per instance.
#include <new>

#include "editor/TesvarEditor.h"
#include "engine/Tesvar.h"

namespace {
// Instances are created one at a time across the whole process.
platform::CriticalSection& CreationLock() {
  static platform::CriticalSection lock;
  return lock;
}
}  // namespace

extern "C" {

#if defined(_WIN32)
// vst2/Tesvar.def names the exports; a dllexport here would add "MainEntry" to them.
#define TESVAR_EXPORT
#else
#define TESVAR_EXPORT __attribute__((visibility("default")))
#endif

TESVAR_EXPORT vst::AEffect* VST_CALL VSTPluginMain(vst::HostCallback host) {
  platform::Guard guard(CreationLock());
  Tesvar* plug = nullptr;
  try {
    plug = new Tesvar(host, CreateTesvarEditor);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  plug->MakeDefaultPrograms();
  vst::AEffect* effect = plug->Effect();
  if (effect->numPrograms < 1) effect->numPrograms = 1;
  return effect;
}

// The same entry under its older name, "main". A C++ function cannot be called main, so
// the symbol gets the name from the linker: the module definition file on Windows
// (main=MainEntry), an assembler label elsewhere.
#if defined(_WIN32)
TESVAR_EXPORT vst::AEffect* VST_CALL MainEntry(vst::HostCallback host);
#else
TESVAR_EXPORT vst::AEffect* VST_CALL MainEntry(vst::HostCallback host) __asm__("main");
#endif
vst::AEffect* VST_CALL MainEntry(vst::HostCallback host) { return VSTPluginMain(host); }

}  // extern "C"
