// Platforms whose test host has no window yet.
#include <cstdio>

int RunEditorMode(int, char**) {
  std::fprintf(stderr, "tesvar-host: no editor mode on this platform\n");
  return 2;
}
