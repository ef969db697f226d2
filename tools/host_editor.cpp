// tesvar-host's editor mode: top-level windows holding the editors of one or more instances,
// editor-idle pumped about every 10 ms as Linux hosts do (on Windows the same loop pumps the
// thread's messages, as a host's message loop does), and a line protocol for tests.
//
// Standard input, one command a line: "open", "close", "cycle N" (open and close N times),
// "close-from-thread" and "idle-from-thread" (the editor requests from a second thread),
// "set INDEX VALUE" (a host automation), "stats", "quit", "rect" (each editor's size from
// effEditGetRect), "place main|alt|both NUMBER" (a control's place in the layout tables, in
// pixels at 100 %: NUMBER is a parameter or minus a command); and what a test asks of the
// instances: "program" (the current program), "name" (its name), "get INDEX" (a parameter's
// normalised value), "note NOTE VELOCITY" (a note on, or off with velocity 0, delivered before
// the next block), "render FRAMES" (that many frames rendered on this thread, without
// --audio), "chord" (the chord memory, read from the program chunk).
// Standard output, flushed line by line: "ready W H", "origin X Y" (the first window's client
// area on the screen), "open I ANSWER", "close I ANSWER", "begin I PARAM", "automate I PARAM
// VALUE", "end I PARAM", "key I NAME", "cycled N", "stats RSS_KB [FIGURES]"
// (HostProcessStats), "program I INDEX", "name I TEXT", "value I INDEX VALUE", "render I RMS
// BRIGHTNESS" (BRIGHTNESS: the RMS of the first difference over the RMS), "chord I COUNT
// OFFSETS...", "rect I W H", "place 0 L T R B" ("place 0 none" when the table has no such
// control), "resize I W H ANSWER" when an editor asks for another window size (the host
// resizes its window and answers 1, or 0 with --refuse-resize), and at the end
// "cpu SECONDS WALL_SECONDS".
// --scale PERCENT tells the plug-ins the host's screen scale before the editor's size is
// asked (effVendorSpecific with the scale factor).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "editor/Layout.h"
#include "tools/HostWindow.h"
#include "tools/PluginHost.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

struct Instance {
  PluginHost host;
  std::unique_ptr<HostWindow> window;
  std::size_t reported = 0;
};

// MinGW's printf here is its own C99 one (%zu), which GCC checks as gnu_printf.
#if defined(__MINGW32__)
void Say(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
#endif
void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

// Standard input, read line by line on a thread of its own so that the window loop never
// waits for it.
class InputLines {
 public:
  InputLines() {
    std::thread([this] {
      std::string line;
      while (std::getline(std::cin, line)) {
        std::lock_guard<std::mutex> guard(mutex_);
        lines_.push_back(line);
      }
      ended_ = true;
    }).detach();  // may stay blocked in a read until the process ends
  }
  // Takes the lines read so far; false once the input has ended and every line was taken.
  bool Take(std::vector<std::string>& lines) {
    const bool ended = ended_;
    std::lock_guard<std::mutex> guard(mutex_);
    lines.swap(lines_);
    lines_.clear();
    return !ended || !lines.empty();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::atomic<bool> ended_{false};
};

class EditorHost {
 public:
  bool Start(const std::string& plugin, int count, bool audio, int automateIndex, int scalePercent, bool refuseResize) {
    for (int i = 0; i < count; ++i) {
      auto instance = std::make_unique<Instance>();
      if (!instance->host.Load(plugin)) {
        std::fprintf(stderr, "tesvar-host: %s\n", instance->host.Error().c_str());
        return false;
      }
      instance->host.Start();
      if (scalePercent > 0) {
        instance->host.Dispatch(vst::effVendorSpecific, vst::kVendorScaleFactor, 0, nullptr, scalePercent / 100.0f);
      }
      // A host fits its window to the editor when asked, on the thread that asks.
      Instance* in = instance.get();
      const std::size_t number = instances_.size();
      in->host.resizeWindow = [in, number, refuseResize](int width, int height) {
        if (!refuseResize && in->window) in->window->Resize(width, height);
        Say("resize %zu %d %d %d", number, width, height, refuseResize ? 0 : 1);
        return !refuseResize;
      };
      vst::ERect* rect = nullptr;
      if (instance->host.Dispatch(vst::effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr) {
        std::fprintf(stderr, "tesvar-host: the plug-in has no editor\n");
        return false;
      }
      width_ = rect->right - rect->left;
      height_ = rect->bottom - rect->top;
      const std::string title = "Tesvar Test Host " + std::to_string(i + 1);
      instance->window = HostWindow::Create(title.c_str(), width_, height_);
      if (!instance->window) {
        std::fprintf(stderr, "tesvar-host: no display for the editor window\n");
        return false;
      }
      instances_.push_back(std::move(instance));
    }
    Say("ready %d %d", width_, height_);
    int x = 0;
    int y = 0;
    instances_[0]->window->ClientOrigin(&x, &y);
    Say("origin %d %d", x, y);
    OpenAll();
    if (audio) audio_ = std::thread([this, automateIndex] { Audio(automateIndex); });
    return true;
  }

  void Stop() {
    stopAudio_ = true;
    if (audio_.joinable()) audio_.join();
    CloseAll();
  }

  // One round: every editor's idle, the windows' events, the plug-ins' requests reported.
  bool Round() {
    for (std::size_t i = 0; i < instances_.size(); ++i) {
      Instance& in = *instances_[i];
      in.host.Dispatch(vst::effEditIdle);
      std::vector<std::string> keys;
      if (!in.window->Pump(keys)) return false;
      for (const std::string& key : keys) Say("key %zu %s", i, key.c_str());
      for (; in.reported < in.host.editEvents.size(); ++in.reported) {
        const PluginHost::EditEvent& e = in.host.editEvents[in.reported];
        if (e.opcode == vst::audioMasterBeginEdit) Say("begin %zu %d", i, e.index);
        if (e.opcode == vst::audioMasterEndEdit) Say("end %zu %d", i, e.index);
        if (e.opcode == vst::audioMasterAutomate) Say("automate %zu %d %.6f", i, e.index, e.value);
      }
    }
    return true;
  }

  bool Command(const std::string& line) {
    std::istringstream in(line);
    std::string word;
    in >> word;
    if (word == "quit") return false;
    if (word == "open") OpenAll();
    if (word == "close") CloseAll();
    if (word == "cycle") {
      int n = 0;
      in >> n;
      for (int k = 0; k < n; ++k) {
        OpenAll(false);
        for (int r = 0; r < 3; ++r) Round();
        CloseAll(false);
      }
      Say("cycled %d", n);
    }
    if (word == "close-from-thread" || word == "idle-from-thread") {
      const std::int32_t opcode = word == "close-from-thread" ? vst::effEditClose : vst::effEditIdle;
      std::atomic<bool> done{false};
      std::thread other([this, opcode, &done] {
        for (auto& instance : instances_)
          Say("%s %ld", opcode == vst::effEditClose ? "close-thread" : "idle-thread",
              static_cast<long>(instance->host.Dispatch(opcode)));
        done = true;
      });
      // The window's thread keeps handling its messages meanwhile, as a host's would.
      while (!done) {
        Round();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      other.join();
    }
    if (word == "set") {
      int index = 0;
      float value = 0.0f;
      in >> index >> value;
      for (auto& instance : instances_) instance->host.SetParameter(index, value);
    }
    if (word == "rect") {
      for (std::size_t i = 0; i < instances_.size(); ++i) {
        vst::ERect* rect = nullptr;
        instances_[i]->host.Dispatch(vst::effEditGetRect, 0, 0, &rect);
        if (rect != nullptr) Say("rect %zu %d %d", i, rect->right - rect->left, rect->bottom - rect->top);
      }
    }
    if (word == "place") {
      std::string view;
      int number = 0;
      in >> view >> number;
      const panel::View which = view == "alt"    ? panel::View::kAlt
                                : view == "both" ? panel::View::kBoth
                                                 : panel::View::kMain;
      panel::Box box;
      if (panel::FindBox(which, number, &box)) {
        Say("place 0 %d %d %d %d", box.left, box.top, box.right, box.bottom);
      } else {
        Say("place 0 none");
      }
    }
    if (word == "stats") {
      const void* code =
          instances_.empty() ? nullptr : reinterpret_cast<const void*>(instances_[0]->host.Effect()->dispatcher);
      Say("stats %s", HostProcessStats(code).c_str());
    }
    if (word == "program" || word == "name" || word == "get" || word == "note" || word == "render" || word == "chord") {
      int a = 0;
      int b = 0;
      in >> a >> b;
      for (std::size_t i = 0; i < instances_.size(); ++i) Query(i, word, a, b);
    }
    return true;
  }

 private:
  void OpenAll(bool say = true) {
    for (std::size_t i = 0; i < instances_.size(); ++i) {
      const long answer =
          static_cast<long>(instances_[i]->host.Dispatch(vst::effEditOpen, 0, 0, instances_[i]->window->Handle()));
      if (say) Say("open %zu %ld", i, answer);
    }
  }

  void CloseAll(bool say = true) {
    for (std::size_t i = 0; i < instances_.size(); ++i) {
      const long answer = static_cast<long>(instances_[i]->host.Dispatch(vst::effEditClose));
      if (say) Say("close %zu %ld", i, answer);
    }
  }

  void Query(std::size_t i, const std::string& word, int a, int b) {
    PluginHost& host = instances_[i]->host;
    if (word == "program") Say("program %zu %ld", i, static_cast<long>(host.Dispatch(vst::effGetProgram)));
    if (word == "name") Say("name %zu %s", i, host.Text(vst::effGetProgramName, 0).c_str());
    if (word == "get") Say("value %zu %d %.6f", i, a, host.GetParameter(a));
    if (word == "note") {
      host.SendMidi({MidiMessage{0, static_cast<std::uint8_t>(b > 0 ? 0x90 : 0x80), static_cast<std::uint8_t>(a & 127),
                                 static_cast<std::uint8_t>(b & 127)}});
    }
    if (word == "render") {
      std::vector<float> left(512);
      std::vector<float> right(512);
      double level = 0.0;
      double change = 0.0;
      float last = 0.0f;
      for (int done = 0; done < a; done += 512) {
        host.ProcessReplacing(left, right, 512);
        for (float v : left) {
          level += static_cast<double>(v) * v;
          change += static_cast<double>(v - last) * (v - last);
          last = v;
        }
      }
      const double frames = std::max(a, 1);
      Say("render %zu %.6f %.6f", i, std::sqrt(level / frames), level > 0.0 ? std::sqrt(change / level) : 0.0);
    }
    if (word == "chord") Say("chord %zu %s", i, ChordMemory(host).c_str());
  }

  // The chord memory at the end of the program chunk's state body: the chunk header (8
  // bytes), the tag (12), the program index (4), the name (length and bytes), 51 doubles,
  // then the count and the offsets, all little-endian.
  static std::string ChordMemory(PluginHost& host) {
    void* chunk = nullptr;
    const auto size = static_cast<std::size_t>(host.Dispatch(vst::effGetChunk, 1, 0, &chunk));
    const auto* bytes = static_cast<const unsigned char*>(chunk);
    const auto word = [&](std::size_t at) -> std::int32_t {
      if (bytes == nullptr || at + 4 > size) return -1;
      return static_cast<std::int32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                       static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    };
    const std::int32_t nameLength = word(24);
    if (nameLength < 0) return "-1";
    std::size_t at = 28 + static_cast<std::size_t>(nameLength) + 51 * 8;
    const std::int32_t count = word(at);
    std::string text = std::to_string(count);
    for (std::int32_t k = 0; k < count; ++k) text += " " + std::to_string(word(at += 4));
    return text;
  }

  // The audio thread: blocks at about real time, with automation of one parameter when asked.
  void Audio(int automateIndex) {
    std::vector<float> left(512);
    std::vector<float> right(512);
    float value = 0.0f;
    while (!stopAudio_) {
      for (auto& instance : instances_) {
        if (automateIndex >= 0) {
          vst::AEffect* e = instance->host.Effect();
          e->setParameter(e, automateIndex, value);
        }
        float* outputs[2] = {left.data(), right.data()};
        float* inputs[1] = {left.data()};
        vst::AEffect* e = instance->host.Effect();
        e->processReplacing(e, inputs, outputs, 512);
      }
      value = value >= 1.0f ? 0.0f : value + 0.01f;
      std::this_thread::sleep_for(std::chrono::milliseconds(11));
    }
  }

  std::vector<std::unique_ptr<Instance>> instances_;
  int width_ = 0;
  int height_ = 0;
  std::thread audio_;
  std::atomic<bool> stopAudio_{false};
};

}  // namespace

int RunEditorMode(int argc, char** argv) {
  std::string plugin;
  int count = 1;
  bool audio = false;
  int automateIndex = -1;
  int scalePercent = 0;
  bool refuseResize = false;
  double seconds = 0.0;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--instances" && i + 1 < argc) {
      count = std::atoi(argv[++i]);
    } else if (a == "--audio") {
      audio = true;
    } else if (a == "--automate" && i + 1 < argc) {
      audio = true;
      automateIndex = std::atoi(argv[++i]);
    } else if (a == "--scale" && i + 1 < argc) {
      scalePercent = std::atoi(argv[++i]);
    } else if (a == "--refuse-resize") {
      refuseResize = true;
    } else if (a == "--seconds" && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else {
      plugin = a;
    }
  }
  if (plugin.empty() || count < 1) {
    std::fprintf(stderr,
                 "usage: tesvar-host --editor PLUGIN [--instances N] [--audio] [--automate INDEX] [--seconds S]\n"
                 "                   [--scale PERCENT] [--refuse-resize]\n");
    return 2;
  }
#if defined(_WIN32)
  // Lines end in "\n" alone, as the scripts that read them expect.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  EditorHost host;
  if (!host.Start(plugin, count, audio, automateIndex, scalePercent, refuseResize)) return 1;
  const auto started = std::chrono::steady_clock::now();
  const double cpuStart = HostCpuSeconds();
  InputLines input;
  bool reading = true;
  bool running = true;
  while (running) {
    running = host.Round();
    if (reading) {
      std::vector<std::string> lines;
      reading = input.Take(lines);
      for (std::size_t i = 0; running && i < lines.size(); ++i) running = host.Command(lines[i]);
      if (!reading && seconds <= 0.0) running = false;  // input closed and no time given: done
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (seconds > 0.0 && elapsed >= seconds) running = false;
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  Say("cpu %.4f %.3f", HostCpuSeconds() - cpuStart, wall);
  host.Stop();
  return 0;
}
