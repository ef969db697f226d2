// Writes a decoded tape dump into a plug-in instance's 64 programs.
#pragma once

#include <functional>
#include <string>

#include "core/IPlugBase.h"
#include "tape/TapeDecoder.h"
#include "tape/TapeProgramMapper.h"
#include "tape/TapeReadSettings.h"

namespace tape {

// The two operations the import needs beyond the core's: the product's InitProgram
// (every parameter to its default, ParameterChanged for each, current program renamed
// "Program %i-%i") and the shell's WriteConfiguration with the tape-read scope (8).
// Either may be empty: an empty initProgram sets the records' defaults and the name
// itself; an empty writeConfiguration writes nothing.
struct TapeImportHooks {
  std::function<void()> initProgram;
  std::function<void()> writeConfiguration;
};

// Replaces programs 0..63 with the dump's programs: for each, SelectPreset, InitProgram,
// the mapped fields written as plain values clamped to the records' ranges (without
// change notification), ModifyCurrentPreset without a name. Then the program that was
// current is selected again, the host is told (ReportProgramChange) and the configuration
// is written. Each program's steps run under the plug-in lock, so the audio thread never
// renders a half-written program (it may render between two programs). Needs at least 64
// programs and 51 parameters; answers false (and changes nothing) otherwise.
bool ApplyPrograms(IPlugBase& plug, const TapeData& data, const TapeImportHooks& hooks);

// Decodes the WAV recording at path with the given settings and, only when that
// succeeds, applies it. Answers true when the programs were replaced; on false nothing
// (programs, current program, configuration file) has changed. `status` (optional)
// receives the reason; TapeStatusText turns it into a message for tools.
// Runs on the user-interface thread (or a tool's main thread).
bool LoadTapeDump(IPlugBase& plug, const std::string& path, const TapeReadSettings& settings,
                  const TapeImportHooks& hooks, TapeStatus* status = nullptr);

}  // namespace tape
