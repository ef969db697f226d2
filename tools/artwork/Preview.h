// Review pictures of the artwork: both views composed from the written bitmaps, with every
// control at its place in a plausible state, and a sheet of all strips enlarged.
#pragma once

#include <string>

namespace artwork {

// Reads the PNGs from `imageDir` and writes main.png, main-faders.png, alt.png and
// sheet.png into `outDir`. False when a file cannot be read or written.
bool WritePreviews(const std::string& imageDir, const std::string& outDir);

}  // namespace artwork
