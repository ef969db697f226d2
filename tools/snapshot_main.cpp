// tesvar-snapshot: makes an instance of the product in this process, as a host would get it,
// and writes a PNG of what its editor shows.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/Tesvar.h"
#include "tools/Snapshot.h"

int main(int argc, char** argv) {
  snapshot::Options options;
  std::string error;
  if (!snapshot::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "tesvar-snapshot: %s\n%s", error.c_str(), snapshot::Usage());
    return 2;
  }
  if (options.help) {
    std::fputs(snapshot::Usage(), stdout);
    return 0;
  }
  auto plug = snapshot::MakeInstance();
  if (!snapshot::Apply(*plug, options, &error)) {
    std::fprintf(stderr, "tesvar-snapshot: %s\n", error.c_str());
    return 2;
  }
  LICE_MemBitmap picture;
  if (!snapshot::Draw(*plug, options, &picture) || !LICE_WritePNG(options.out.c_str(), &picture)) {
    std::fprintf(stderr, "tesvar-snapshot: cannot write %s\n", options.out.c_str());
    return 1;
  }
  const int program = plug->CurrentProgram();
  std::printf("%s: program %d%d \"%s\"\n", options.out.c_str(), program / 8 + 1, program % 8 + 1,
              plug->ProgramName(program).c_str());
  return 0;
}
