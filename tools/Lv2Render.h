// tesvar-render through the LV2 bundle: the same options as through the VST2 library, with
// programs, files and banks passed through the plug-in's saved state, as an LV2 host does.
#pragma once

#include <string>
#include <vector>

#include "tools/MidiFile.h"
#include "tools/RenderOptions.h"
#include "tools/Renderer.h"

// Loads options.lv2Bundle, applies --file, --tape-dump and --program, writes --save-bank
// and renders the events. False with *error set when anything is refused. *programName is
// the name of the program played.
bool RenderThroughLv2(const RenderOptions& options, const std::vector<TimedMidi>& events, double lengthSeconds,
                      RenderedAudio* audio, std::string* programName, std::string* error);
