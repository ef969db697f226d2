// Random start phases for the oscillators. Each instance draws from its own generator, the
// portable linear congruential one given as an example by the C standard (fifteen bits a
// draw, like rand() with RAND_MAX 32767), so that an instance sounds the same on every
// platform and every time it is created, however many instances came before it.
#pragma once

#include <cstdint>

namespace engine {

class StartPhases {
 public:
  // 0 ... 32767.
  int Next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace engine
