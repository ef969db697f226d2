// tesvar-host: loads a plug-in library through its entry point and prints its identity.
#include <cstdio>
#include <string>

#include "tools/PluginHost.h"

// tools/host_editor.cpp, where the platform has a window for the test host.
int RunEditorMode(int argc, char** argv);

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--editor") return RunEditorMode(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tesvar-host PLUGIN\n       tesvar-host --editor PLUGIN [options]\n");
    return 2;
  }
  PluginHost host;
  if (!host.Load(argv[1])) {
    std::fprintf(stderr, "tesvar-host: %s\n", host.Error().c_str());
    return 1;
  }
  host.Start();
  vst::AEffect* effect = host.Effect();
  const std::string name = host.Text(vst::effGetEffectName, 0);
  const std::string vendor = host.Text(vst::effGetVendorString, 0);
  const char id[5] = {static_cast<char>(effect->uniqueID >> 24), static_cast<char>(effect->uniqueID >> 16),
                      static_cast<char>(effect->uniqueID >> 8), static_cast<char>(effect->uniqueID), 0};
  std::printf("%s by %s, unique id \"%s\", version %d\n", name.c_str(), vendor.c_str(), id, effect->version);
  std::printf("%d programs, %d parameters, %d inputs, %d outputs, flags %d, category %d\n", effect->numPrograms,
              effect->numParams, effect->numInputs, effect->numOutputs, effect->flags,
              static_cast<int>(host.Dispatch(vst::effGetPlugCategory)));
  std::printf("current program: %s\n", host.Text(vst::effGetProgramName, 0).c_str());
  return 0;
}
