// tesvar-render: plays a Standard MIDI File (or a built-in demo phrase) through the built
// plug-in, loaded through its entry point as a host loads it (the VST2 library, or the LV2
// bundle with --lv2), and writes a WAV file.
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/HostPrograms.h"
#include "tools/Lv2Render.h"
#include "resources/ParameterInfo.h"
#include "tools/MidiFile.h"
#include "tools/RenderOptions.h"
#include "tools/Renderer.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "tesvar-render: %s\n", message.c_str());
  return 1;
}

bool WriteWav(const std::string& path, const RenderedAudio& audio, int sampleRate, int bits) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | (bits == 16 ? SF_FORMAT_PCM_16 : bits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  // Samples beyond full scale are cut off; without this an integer file wraps them round
  // to the opposite sign.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  std::vector<float> interleaved(audio.left.size() * 2);
  for (std::size_t i = 0; i < audio.left.size(); ++i) {
    interleaved[2 * i] = audio.left[i];
    interleaved[2 * i + 1] = audio.right[i];
  }
  const auto frames = static_cast<sf_count_t>(audio.left.size());
  const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
  return sf_close(file) == 0 && ok;
}

// Sets a plain value as a host does, by text (effString2Parameter): the number, or for a
// parameter with a list of texts the text of that entry.
bool SetPlainValue(PluginHost& host, int index, double value) {
  const resources::ParameterInfo& info = resources::kParameterInfo[static_cast<std::size_t>(index)];
  std::string text;
  if (!info.listTexts.empty()) {
    const long entry = std::lround(value);
    if (entry < 0 || entry >= static_cast<long>(info.listTexts.size())) return false;
    text = info.listTexts[static_cast<std::size_t>(entry)];
  } else {
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", value);
    text = number;
  }
  return host.Dispatch(vst::effString2Parameter, index, 0, text.data()) == 1;
}

// Loads the VST2 library, applies the program options and renders, as a VST2 host does.
bool RenderThroughVst2(const RenderOptions& options, const std::vector<TimedMidi>& events, double length,
                       RenderedAudio* audio, std::string* programName, std::string* error) {
  PluginHost host;
  if (!host.Load(options.pluginPath)) {
    *error = host.Error();
    return false;
  }
  host.Start(options.settings.sampleRate, options.settings.blockSize);

  if (!options.programFile.empty()) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(options.programFile, &bytes)) {
      *error = "cannot read " + options.programFile;
      return false;
    }
    if (!LoadProgramFile(host, bytes, error)) {
      *error = options.programFile + ": " + *error;
      return false;
    }
  }
  if (!options.tapeDump.empty() && !ImportTapeDump(host, options.tapeDump, error)) {
    *error = options.tapeDump + ": " + *error;
    return false;
  }
  if (!options.program.empty()) {
    const int index = FindProgram(host, options.program);
    if (index < 0) {
      *error = "no program \"" + options.program + "\" (give 11 ... 88 or a program name)";
      return false;
    }
    host.Dispatch(vst::effSetProgram, 0, index);
  }
  for (const RenderOptions::ParamValue& p : options.params) {
    if (!SetPlainValue(host, p.index, p.value)) {
      *error = "parameter " + std::to_string(p.index) + " takes no value " + std::to_string(p.value);
      return false;
    }
  }
  if (!options.saveBank.empty() && !WriteWholeFile(options.saveBank, SaveBankFile(host))) {
    *error = "cannot write " + options.saveBank;
    return false;
  }

  *programName = host.Text(vst::effGetProgramName, 0);
  const bool showProgress = isatty(fileno(stderr)) && length + options.settings.tailSeconds > 20.0;
  auto progress = [&](double done) {
    std::fprintf(stderr, "\rrendering \"%s\": %3d%%", programName->c_str(), static_cast<int>(std::lround(done * 100)));
    if (done >= 1.0) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
  *audio =
      Render(host, events, length, options.settings, showProgress ? std::function<void(double)>(progress) : nullptr);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "tesvar-render: %s\n\n%s", error.c_str(), RenderUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }

  // Everything that can be refused is checked before anything is written.
  std::vector<TimedMidi> events;
  double length = 0.0;
  if (options.midiPath.empty()) {
    events = DemoPhrase();
    length = events.empty() ? 0.0 : events.back().seconds;
  } else {
    const MidiFileResult midi = ReadMidiFile(options.midiPath);
    if (!midi.ok) return Fail(options.midiPath + ": " + midi.error);
    events = midi.events;
    length = midi.lengthSeconds;
  }
  if (!CheckRenderLength(length, options.settings, &error)) return Fail(options.midiPath + ": " + error);

  RenderedAudio audio;
  std::string programName;
  if (!options.lv2Bundle.empty()) {
    if (!RenderThroughLv2(options, events, length, &audio, &programName, &error)) return Fail(error);
  } else if (!RenderThroughVst2(options, events, length, &audio, &programName, &error)) {
    return Fail(error);
  }
  const double gainDb = options.gainDb + (options.midiPath.empty() ? kDemoPhraseGainDb : 0.0);
  if (gainDb != 0.0) ApplyGain(audio, gainDb);
  const double peak = PeakLevel(audio);
  const std::string warning = ClippingWarning(peak, options.bits, options.gainDb);
  if (!warning.empty()) std::fprintf(stderr, "tesvar-render: warning: %s\n", warning.c_str());
  if (!WriteWav(options.outPath, audio, static_cast<int>(options.settings.sampleRate), options.bits)) {
    return Fail("cannot write " + options.outPath);
  }
  std::printf("%s: program \"%s\", %.2f s at %.0f Hz, peak %.1f dBFS\n", options.outPath.c_str(), programName.c_str(),
              static_cast<double>(audio.left.size()) / options.settings.sampleRate, options.settings.sampleRate,
              peak > 0 ? 20 * std::log10(peak) : -999.0);
  return 0;
}
