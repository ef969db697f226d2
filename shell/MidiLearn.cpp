// The learn and forget steps.
#include "shell/MidiLearn.h"

namespace shell {

LearnMode MidiLearn::Mode() const {
  if (!active_) return LearnMode::kOff;
  return forget_ ? LearnMode::kForgetting : LearnMode::kLearning;
}

void MidiLearn::Toggle(bool forget) {
  controller_ = -1;
  forget_ = forget;
  active_ = !active_;
}

void MidiLearn::ControllerMoved(int controller, ControllerMap& map) {
  if (!active_ || controller < 0 || controller >= kMappableControllers) return;
  controller_ = controller;
  Finish(map);
}

void MidiLearn::ParameterTouched(int parameter, ControllerMap& map) {
  if (!active_) return;
  parameter_ = parameter;
  Finish(map);
}

void MidiLearn::Unmap(int parameter, ControllerMap& map) {
  for (int& entry : map) {
    if (entry == parameter) entry = -1;
  }
}

void MidiLearn::Finish(ControllerMap& map) {
  if (!active_) return;
  if (!forget_) {
    // One controller per parameter: whatever drove the parameter before lets go of it.
    if (controller_ < 0 || parameter_ < 0) return;
    Unmap(parameter_, map);
    map[controller_] = parameter_;
    active_ = false;
    return;
  }
  if (controller_ >= 0) {
    map[controller_] = -1;
  } else if (parameter_ >= 0) {
    Unmap(parameter_, map);
  } else {
    return;
  }
  active_ = false;
  forget_ = false;
}

}  // namespace shell
