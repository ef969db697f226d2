// Shared by the panel tests: an in-process instance in a temporary home, a stand-in for the
// editor's side of the panel seam, and an editor that records what the core shows it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "editor/Panel.h"
#include "engine/Tesvar.h"
#include "tests/core/FilesTestSupport.h"

namespace panel_test {

// The editor's side of the seam: a window that is open or not, a folder dialog that answers
// as told, and counts of what the panel asked for.
class FakeView : public panel::PanelView {
 public:
  bool open = true;
  bool cancelDialog = false;
  std::string dialogFolder;  // the folder the dialog answers
  std::string dialogStart;   // the folder the dialog was started in
  int dialogs = 0;
  int viewChanges = 0;
  bool shownAlt = false;
  int browserRefreshes = 0;
  int panelRefreshes = 0;

  bool IsWindowOpen() const override { return open; }
  bool OnEditorThread() const override { return true; }
  bool PromptFolder(std::string& folder) override {
    ++dialogs;
    dialogStart = folder;
    if (cancelDialog) return false;
    folder = dialogFolder;
    return true;
  }
  void ShowView(bool altView) override {
    ++viewChanges;
    shownAlt = altView;
  }
  void RefreshBrowser() override { ++browserRefreshes; }
  void RefreshPanel() override { ++panelRefreshes; }
};

// Records the plain values the core and the panel show on the controls.
class RecordingEditor : public EditorView {
 public:
  struct Shown {
    int index;
    double value;
  };
  std::vector<Shown>* shown = nullptr;  // outlives the editor, which the plug-in deletes
  void ShowParamValue(int index, double value, bool normalised) override {
    if (shown != nullptr && !normalised) shown->push_back({index, value});
  }
  void ProgramChanged() override {}
  void Attached() override {}
  bool Open(void*) override { return true; }
  void Close() override {}
  void Idle() override {}
  int Width() const override { return 1032; }
  int Height() const override { return 588; }
};

class PanelTest : public files_test::FilesTest {
 protected:
  // A fresh instance with the fake view attached to its panel.
  Tesvar& MakeWithView() {
    Tesvar& plug = Make();
    plug.GetPanel().SetView(&view);
    return plug;
  }
  // The last value the host was told for parameter index, or -1.
  static float LastAutomation(int index) {
    float value = -1.0f;
    for (const auto& a : shell_test::Recorded().automations) {
      if (a.index == index) value = a.value;
    }
    return value;
  }
  // Sets a value the way a host does (the engine hears it).
  static void Set(Tesvar& plug, int index, double plain) {
    plug.GetParam(index)->SetPlain(plain);
    plug.ParameterChanged(index);
  }
  static void Keys(Tesvar& plug, std::initializer_list<int> keys) {
    for (int key : keys) plug.GetPanel().RunCommand(panel::kFirstKey + key - 1, false);
  }

  // A MIDI message delivered as the host's dispatcher does, before the next block.
  static void Midi(Tesvar& plug, int status, int data1, int data2) {
    platform::Guard guard(plug.Lock());
    plug.HandleMidi(MidiMessage{0, static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(data1),
                                static_cast<std::uint8_t>(data2)});
  }
  // frames of the left output, rendered in host-sized blocks under the plug-in lock.
  static std::vector<double> Render(Tesvar& plug, int frames) {
    std::vector<double> left(static_cast<std::size_t>(frames)), right(left.size());
    for (int pos = 0; pos < frames; pos += 512) {
      double* outputs[] = {left.data() + pos, right.data() + pos};
      platform::Guard guard(plug.Lock());
      plug.RenderBlock(nullptr, outputs, std::min(512, frames - pos));
    }
    return left;
  }
  // How much of a signal's level lies in its fast changes: the RMS of the first difference
  // over the RMS of the signal. A low-pass filter opening raises it.
  static double Brightness(const std::vector<double>& s, std::size_t from) {
    double level = 0.0;
    double change = 0.0;
    for (std::size_t i = from + 1; i < s.size(); ++i) {
      level += s[i] * s[i];
      change += (s[i] - s[i - 1]) * (s[i] - s[i - 1]);
    }
    return level > 0.0 ? std::sqrt(change / level) : 0.0;
  }

  FakeView view;
};

}  // namespace panel_test
