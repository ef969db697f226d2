// The standalone program's test companion, three commands:
//
//   send [--connect PORT] [--physical] [--wait-connected SECONDS] [--delay SECONDS]
//        [--notes 60,64,67] [--velocity V] [--hold SECONDS] [--program N] [--name NAME]
//     A JACK client (of $JACK_DEFAULT_SERVER) with one MIDI output, "keys", marked as
//     hardware with --physical. Once connected (to PORT, or by someone else within
//     --wait-connected), after the delay: a program change when asked, the notes on at
//     once, and off after the hold. Exit 0 when sent, 3 when nobody connected in time.
//   midi-file OUT [--notes ...] [--velocity V] [--start SECONDS] [--hold SECONDS]
//     The same chord as a Standard MIDI File, for tesvar-render.
//   analyse FILE [--notes ...] [--skip SECONDS] [--against FILE2 [--tolerance DB]
//           [--level-tolerance DB]]
//     The recording's level and pitches in a window starting --skip after its onset: each
//     note's fundamental must stand kPitchMarginDb above the semitones beside it. With
//     --against, the two recordings' spectra in third-octave bands must agree within the
//     tolerance, and their levels within the level tolerance (each check when given). Exit
//     0 when all holds, 1 when not, 2 when a file cannot be read.
//   peak FILE --below DB
//     The recording's peak in dBFS; exit 0 when it stays below DB (silence), else 1.
//   close-window WINDOW
//     Asks the window (an X11 id) to close, as a window manager's close button does.
//   kill-client WINDOW
//     Breaks the connection of the window's program to the display (as xkill does).
#include <X11/Xlib.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kPitchMarginDb = 15.0;
constexpr double kPi = 3.14159265358979323846;

struct Args {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> named;
  std::string Get(const std::string& name, const std::string& fallback) const {
    for (const auto& [key, value] : named) {
      if (key == name) return value;
    }
    return fallback;
  }
  bool Has(const std::string& name) const {
    for (const auto& entry : named) {
      if (entry.first == name) return true;
    }
    return false;
  }
};

// Options that take no value.
bool IsFlag(const std::string& name) { return name == "--physical"; }

Args Parse(int argc, char** argv) {
  Args args;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      args.positional.push_back(arg);
    } else if (IsFlag(arg) || i + 1 >= argc) {
      args.named.emplace_back(arg, "");
    } else {
      args.named.emplace_back(arg, argv[++i]);
    }
  }
  return args;
}

std::vector<int> Notes(const Args& args) {
  std::vector<int> notes;
  const std::string text = args.Get("--notes", "60,64,67");
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find(',', at);
    if (end == std::string::npos) end = text.size();
    notes.push_back(std::atoi(text.substr(at, end - at).c_str()));
    at = end + 1;
  }
  return notes;
}

// ---- send --------------------------------------------------------------------------------------

struct Sender {
  jack_port_t* port = nullptr;
  std::vector<int> notes;
  int velocity = 100;
  int program = -1;
  std::atomic<int> phase{0};  // 0 waiting, 1 start now, 2 holding, 3 done
  std::atomic<long> holdLeft{0};
};

int SendProcess(jack_nframes_t frames, void* arg) {
  auto* s = static_cast<Sender*>(arg);
  void* buffer = jack_port_get_buffer(s->port, frames);
  jack_midi_clear_buffer(buffer);
  const int phase = s->phase.load();
  if (phase == 1) {
    if (s->program >= 0) {
      const jack_midi_data_t change[2] = {0xC0, static_cast<jack_midi_data_t>(s->program)};
      jack_midi_event_write(buffer, 0, change, 2);
    }
    for (int note : s->notes) {
      const jack_midi_data_t on[3] = {0x90, static_cast<jack_midi_data_t>(note),
                                      static_cast<jack_midi_data_t>(s->velocity)};
      jack_midi_event_write(buffer, 0, on, 3);
    }
    s->phase = 2;
  } else if (phase == 2) {
    if (s->holdLeft.fetch_sub(static_cast<long>(frames)) <= static_cast<long>(frames)) {
      for (int note : s->notes) {
        const jack_midi_data_t off[3] = {0x80, static_cast<jack_midi_data_t>(note), 64};
        jack_midi_event_write(buffer, 0, off, 3);
      }
      s->phase = 3;
    }
  }
  return 0;
}

int Send(const Args& args) {
  jack_status_t status{};
  jack_client_t* client = jack_client_open(args.Get("--name", "chord-sender").c_str(), JackNoStartServer, &status);
  if (client == nullptr) {
    std::fprintf(stderr, "send: no JACK server\n");
    return 2;
  }
  Sender sender;
  sender.notes = Notes(args);
  sender.velocity = std::atoi(args.Get("--velocity", "100").c_str());
  sender.program = std::atoi(args.Get("--program", "-1").c_str());
  const unsigned long flags = JackPortIsOutput | (args.Has("--physical") ? JackPortIsPhysical | JackPortIsTerminal : 0);
  sender.port = jack_port_register(client, "keys", JACK_DEFAULT_MIDI_TYPE, flags, 0);
  jack_set_process_callback(client, SendProcess, &sender);
  if (sender.port == nullptr || jack_activate(client) != 0) {
    std::fprintf(stderr, "send: cannot register or activate\n");
    jack_client_close(client);
    return 2;
  }
  if (args.Has("--connect") &&
      jack_connect(client, jack_port_name(sender.port), args.Get("--connect", "").c_str()) != 0) {
    std::fprintf(stderr, "send: cannot connect to %s\n", args.Get("--connect", "").c_str());
    jack_client_close(client);
    return 2;
  }
  const double wait = std::atof(args.Get("--wait-connected", "0").c_str());
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(wait);
  while (jack_port_connected(sender.port) == 0 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (jack_port_connected(sender.port) == 0) {
    std::printf("send: not connected\n");
    jack_client_close(client);
    return 3;
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(std::atof(args.Get("--delay", "0").c_str())));
  sender.holdLeft = std::lround(std::atof(args.Get("--hold", "1").c_str()) * jack_get_sample_rate(client));
  sender.phase = 1;
  while (sender.phase.load() != 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  // The last buffer reaches its readers in the next cycle.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  jack_client_close(client);
  std::printf("send: sent\n");
  return 0;
}

// ---- midi-file ---------------------------------------------------------------------------------

void PutVariable(std::vector<unsigned char>& out, unsigned long value) {
  unsigned char bytes[5];
  int n = 0;
  do {
    bytes[n++] = static_cast<unsigned char>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n-- > 0) out.push_back(static_cast<unsigned char>(bytes[n] | (n > 0 ? 0x80 : 0)));
}

int MidiFile(const Args& args) {
  if (args.positional.empty()) return 2;
  // 480 ticks a quarter at the default 120 beats a minute: 960 ticks a second.
  const auto ticks = [](double seconds) { return static_cast<unsigned long>(std::lround(seconds * 960)); };
  const int velocity = std::atoi(args.Get("--velocity", "100").c_str());
  std::vector<unsigned char> track;
  bool first = true;
  for (int note : Notes(args)) {
    PutVariable(track, first ? ticks(std::atof(args.Get("--start", "0.5").c_str())) : 0);
    track.insert(track.end(), {0x90, static_cast<unsigned char>(note), static_cast<unsigned char>(velocity)});
    first = false;
  }
  first = true;
  for (int note : Notes(args)) {
    PutVariable(track, first ? ticks(std::atof(args.Get("--hold", "1").c_str())) : 0);
    track.insert(track.end(), {0x80, static_cast<unsigned char>(note), 64});
    first = false;
  }
  track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  for (int shift = 24; shift >= 0; shift -= 8) file.push_back(static_cast<unsigned char>(track.size() >> shift));
  file.insert(file.end(), track.begin(), track.end());
  std::FILE* out = std::fopen(args.positional[0].c_str(), "wb");
  if (out == nullptr) return 2;
  const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  return std::fclose(out) == 0 && ok ? 0 : 2;
}

// ---- analyse -----------------------------------------------------------------------------------

struct Spectrum {
  double rate = 0;
  double levelDb = -200;
  std::vector<double> power;  // per bin of a kFftSize transform
};
constexpr std::size_t kFftSize = 16384;

void Fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; (j & bit) != 0; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t length = 2; length <= n; length <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * kPi / static_cast<double>(length));
    for (std::size_t i = 0; i < n; i += length) {
      std::complex<double> w = 1;
      for (std::size_t k = 0; k < length / 2; ++k, w *= step) {
        const std::complex<double> u = a[i + k];
        const std::complex<double> v = a[i + k + length / 2] * w;
        a[i + k] = u + v;
        a[i + k + length / 2] = u - v;
      }
    }
  }
}

// The mono sum's spectrum over a Hann window starting `skip` seconds after the onset (the
// first sample above a hundredth of the peak).
bool Analyse(const std::string& path, double skip, Spectrum* spectrum, std::string* error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    *error = "cannot read " + path;
    return false;
  }
  std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, frames.data(), info.frames);
  sf_close(file);
  std::vector<double> mono(static_cast<std::size_t>(info.frames));
  double peak = 0;
  for (std::size_t i = 0; i < mono.size(); ++i) {
    double sum = 0;
    for (int c = 0; c < info.channels; ++c)
      sum += frames[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
    mono[i] = sum / info.channels;
    peak = std::max(peak, std::fabs(mono[i]));
  }
  std::size_t onset = 0;
  while (onset < mono.size() && std::fabs(mono[onset]) <= peak * 0.01) ++onset;
  const std::size_t start = onset + static_cast<std::size_t>(skip * info.samplerate);
  if (peak == 0 || start + kFftSize > mono.size()) {
    *error = path + ": silent, or too short after its onset";
    return false;
  }
  std::vector<std::complex<double>> bins(kFftSize);
  double energy = 0;
  for (std::size_t i = 0; i < kFftSize; ++i) {
    const double x = mono[start + i];
    energy += x * x;
    bins[i] = x * 0.5 * (1 - std::cos(2 * kPi * static_cast<double>(i) / kFftSize));
  }
  Fft(bins);
  spectrum->rate = info.samplerate;
  spectrum->levelDb = 10 * std::log10(energy / kFftSize + 1e-30);
  spectrum->power.resize(kFftSize / 2);
  for (std::size_t i = 0; i < kFftSize / 2; ++i) spectrum->power[i] = std::norm(bins[i]);
  return true;
}

// The strongest bin within 1.5 % of `hz` (a quarter of a semitone), in dB.
double PeakDb(const Spectrum& s, double hz) {
  const double perBin = s.rate / kFftSize;
  double best = 1e-30;
  for (auto bin = static_cast<std::size_t>(hz / 1.015 / perBin);
       bin <= static_cast<std::size_t>(hz * 1.015 / perBin) + 1 && bin < s.power.size(); ++bin) {
    best = std::max(best, s.power[bin]);
  }
  return 10 * std::log10(best);
}

// The energy of the third-octave band around `centre`, in dB.
double BandDb(const Spectrum& s, double centre) {
  const double perBin = s.rate / kFftSize;
  double sum = 1e-30;
  for (auto bin = static_cast<std::size_t>(centre / std::pow(2.0, 1.0 / 6) / perBin);
       bin < static_cast<std::size_t>(centre * std::pow(2.0, 1.0 / 6) / perBin) && bin < s.power.size(); ++bin) {
    sum += s.power[bin];
  }
  return 10 * std::log10(sum);
}

int AnalyseCommand(const Args& args) {
  if (args.positional.empty()) return 2;
  const double skip = std::atof(args.Get("--skip", "0.3").c_str());
  Spectrum recording;
  std::string error;
  if (!Analyse(args.positional[0], skip, &recording, &error)) {
    std::printf("analyse: %s\n", error.c_str());
    return 1;
  }
  bool ok = true;
  std::printf("level %.1f dBFS\n", recording.levelDb);
  for (int note : Notes(args)) {
    const double hz = 440 * std::pow(2.0, (note - 69) / 12.0);
    const double beside =
        std::max(PeakDb(recording, hz / std::pow(2.0, 1 / 12.0)), PeakDb(recording, hz * std::pow(2.0, 1 / 12.0)));
    const double margin = PeakDb(recording, hz) - beside;
    std::printf("note %d (%.1f Hz): %.1f dB above the semitones beside it\n", note, hz, margin);
    ok = ok && margin >= kPitchMarginDb;
  }
  if (args.Has("--against")) {
    Spectrum reference;
    if (!Analyse(args.Get("--against", ""), skip, &reference, &error)) {
      std::printf("analyse: %s\n", error.c_str());
      return 1;
    }
    if (args.Has("--level-tolerance")) {
      const double tolerance = std::atof(args.Get("--level-tolerance", "").c_str());
      const double difference = std::fabs(recording.levelDb - reference.levelDb);
      std::printf("levels %.2f and %.2f dBFS: %.2f dB apart (tolerance %.2f dB)\n", recording.levelDb,
                  reference.levelDb, difference, tolerance);
      ok = ok && difference <= tolerance;
    }
    if (args.Has("--tolerance")) {
      const double tolerance = std::atof(args.Get("--tolerance", "").c_str());
      // Bands from 100 Hz to 10 kHz that carry the sound: within 40 dB of the loudest.
      std::vector<double> centres;
      for (double c = 100; c <= 10000; c *= std::pow(2.0, 1.0 / 3)) centres.push_back(c);
      double loudest = -1e9;
      for (double c : centres) loudest = std::max(loudest, BandDb(reference, c));
      double worst = 0;
      double worstAt = 0;
      for (double c : centres) {
        if (BandDb(reference, c) < loudest - 40) continue;
        const double difference = std::fabs(BandDb(recording, c) - BandDb(reference, c));
        if (difference > worst) {
          worst = difference;
          worstAt = c;
        }
      }
      std::printf("bands: largest difference %.2f dB at %.0f Hz (tolerance %.2f dB)\n", worst, worstAt, tolerance);
      ok = ok && worst <= tolerance;
    }
  }
  std::printf("%s\n", ok ? "analyse: ok" : "analyse: FAILED");
  return ok ? 0 : 1;
}

int PeakCommand(const Args& args) {
  if (args.positional.empty()) return 2;
  SF_INFO info{};
  SNDFILE* file = sf_open(args.positional[0].c_str(), SFM_READ, &info);
  if (file == nullptr) return 2;
  std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
  sf_readf_float(file, samples.data(), info.frames);
  sf_close(file);
  double peak = 0;
  for (float x : samples) peak = std::max(peak, static_cast<double>(std::fabs(x)));
  const double peakDb = 20 * std::log10(peak + 1e-30);
  const double below = std::atof(args.Get("--below", "-90").c_str());
  std::printf("peak %.1f dBFS over %.2f s\n", peakDb, static_cast<double>(info.frames) / info.samplerate);
  return info.frames > 0 && peakDb < below ? 0 : 1;
}

int CloseWindow(const Args& args) {
  if (args.positional.empty()) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::strtoul(args.positional[0].c_str(), nullptr, 0));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return 0;
}

int KillClient(const Args& args) {
  if (args.positional.empty()) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XKillClient(display, static_cast<XID>(std::strtoul(args.positional[0].c_str(), nullptr, 0)));
  XCloseDisplay(display);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const Args args = Parse(argc, argv);
  if (command == "send") return Send(args);
  if (command == "midi-file") return MidiFile(args);
  if (command == "analyse") return AnalyseCommand(args);
  if (command == "peak") return PeakCommand(args);
  if (command == "close-window") return CloseWindow(args);
  if (command == "kill-client") return KillClient(args);
  std::fprintf(stderr, "usage: standalone_probe send|midi-file|analyse|peak|close-window|kill-client ...\n");
  return 2;
}
