// MIDI learn: the editor's way of filling the controller map. A learn pairs the next
// controller moved with the next parameter touched (in either order); a forget unmaps
// the next controller moved, or the controllers of the next parameter touched.
#pragma once

#include <array>

namespace shell {

inline constexpr int kMappableControllers = 120;              // controllers 0 ... 119
using ControllerMap = std::array<int, kMappableControllers>;  // parameter index, -1 = none

enum class LearnMode { kOff, kLearning, kForgetting };

// Plain state; the shell calls every operation under the plug-in lock.
class MidiLearn {
 public:
  LearnMode Mode() const;
  int LearnedController() const { return controller_; }
  // Kept from one learn to the next, so a controller alone completes a new learn.
  int LearnedParameter() const { return parameter_; }

  // Off -> learning or forgetting (by forget); either active state -> off. The learned
  // controller is forgotten, the learned parameter is not.
  void Toggle(bool forget);
  // A controller 0 ... 119 arrived while active.
  void ControllerMoved(int controller, ControllerMap& map);
  // A parameter 0 ... 50 changed while active.
  void ParameterTouched(int parameter, ControllerMap& map);
  // Ends learn without touching the map (engine reset).
  void Cancel() { active_ = false; }
  bool Active() const { return active_; }

 private:
  void Finish(ControllerMap& map);
  static void Unmap(int parameter, ControllerMap& map);

  bool active_ = false;
  bool forget_ = false;
  int controller_ = -1;
  int parameter_ = -1;
};

}  // namespace shell
