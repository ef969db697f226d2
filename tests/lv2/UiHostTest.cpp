// The editor as an LV2 UI in a real X11 parent window, embedded through suil as LV2 hosts
// embed X11 UIs: the UI opens at the editor's size, a click on a programmer key changes the
// program, and the host hears the new values through the UI's write function. Runs on its
// own virtual display (tools/with-xvfb.sh). A knob dragged on the panel is one gesture for
// the host (touch) with its values.
#include "tests/lv2/Lv2TestSupport.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <suil/suil.h>

#include <chrono>
#include <map>
#include <thread>

#include "editor/Layout.h"
#include "editor/PanelCommands.h"
#include "lv2/PortLayout.h"

// Xlib last: its macros (None, Bool, ...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

struct HostSide {
  Lv2Host* plugin = nullptr;
  std::map<int, float> writes;  // last value written per port
  int writeCount = 0;
  int touches = 0;
  int width = 0, height = 0;
};

void Write(SuilController controller, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
           const void* buffer) {
  auto* host = static_cast<HostSide*>(controller);
  const int index = lv2ports::ParamOfPort(port);
  if (protocol != 0 || size != sizeof(float) || index < 0) return;
  float value;
  std::memcpy(&value, buffer, sizeof(value));
  host->writes[static_cast<int>(port)] = value;
  ++host->writeCount;
  host->plugin->Control(index) = value;  // as a host does: the port takes the value
}

std::uint32_t Index(SuilController, const char* symbol) {
  for (int i = 0; i < lv2ports::kParamCount; ++i) {
    if (lv2ports::ParamSymbol(i) == symbol) return lv2ports::PortOfParam(i);
  }
  return UINT32_MAX;
}

void Touch(SuilController controller, std::uint32_t, bool) { ++static_cast<HostSide*>(controller)->touches; }

int Resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto* host = static_cast<HostSide*>(handle);
  host->width = width;
  host->height = height;
  return 0;
}

// Where programmer key n (1 ... 8) of the main view is, in the editor's pixels (the keys'
// art is 40 x 36).
std::pair<int, int> KeyCentre(int n) {
  for (const panel::Place& p : panel::MainViewPlaces()) {
    if (p.kind == panel::Kind::kButton && p.number == -panel::kFirstKey) return {p.x + p.dx * (n - 1) + 20, p.y + 18};
  }
  return {-1, -1};
}

// The centre of the main view's knob for a parameter (the knob's art is 40 x 40).
std::pair<int, int> KnobCentre(int param) {
  for (const panel::Place& p : panel::MainViewPlaces()) {
    if (p.kind == panel::Kind::kKnob && p.number == param) return {p.x + 20, p.y + 20};
  }
  return {-1, -1};
}

// The host's side of `frames` frames: idle calls on this thread, runs of the plug-in, and the
// display's events taken.
void Pump(const LV2UI_Idle_Interface* idle, SuilInstance* ui, Lv2Host& plugin, Display* display, int frames) {
  for (int i = 0; i < frames; ++i) {
    idle->idle(suil_instance_get_handle(ui));
    plugin.Run(256);
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  }
}

TEST(Lv2Ui, ProgrammerKeyChangesTheProgramAndTheHostHearsIt) {
  auto plugin = LoadLv2();
  ASSERT_TRUE(plugin);
  plugin->Run(256);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr) << "no X display";
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1100, 650, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  HostSide side;
  side.plugin = plugin.get();
  SuilHost* suil = suil_host_new(Write, Index, nullptr, nullptr);
  suil_host_set_touch_func(suil, Touch);
  LV2UI_Resize resize{&side, Resize};
  const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
  const LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, plugin->Handle()};
  const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
  const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
  const LV2_Feature* features[] = {&parentFeature,       &instanceFeature,       &resizeFeature, &idleFeature,
                                   plugin->MapFeature(), plugin->UnmapFeature(), nullptr};
  const std::string binary = TESVAR_LV2_BINARY;
  SuilInstance* ui = suil_instance_new(suil, &side, LV2_UI__X11UI, lv2uris::kPlugin, lv2uris::kUi, LV2_UI__X11UI,
                                       TESVAR_LV2_BUNDLE, binary.c_str(), features);
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(side.width, panel::kPanelWidth);
  EXPECT_EQ(side.height, panel::kPanelHeight);
  EXPECT_NE(suil_instance_get_widget(ui), nullptr);
  // A second UI of the same instance is refused: the editor is one per plug-in.
  EXPECT_EQ(suil_instance_new(suil, &side, LV2_UI__X11UI, lv2uris::kPlugin, lv2uris::kUi, LV2_UI__X11UI,
                              TESVAR_LV2_BUNDLE, binary.c_str(), features),
            nullptr);
  const auto* idle = static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(ui, LV2_UI__idleInterface));
  ASSERT_NE(idle, nullptr);
  auto pump = [&](int frames) { Pump(idle, ui, *plugin, display, frames); };
  pump(10);
  // Opening tells the host every value the plug-in plays (the first program, not the
  // ports' defaults).
  EXPECT_EQ(side.writeCount, lv2ports::kParamCount);
  side.writes.clear();

  auto click = [&](int key) {
    const auto [x, y] = KeyCentre(key);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XFlush(display);
    pump(4);
    XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
    pump(4);
  };
  click(3);
  click(5);
  pump(10);
  EXPECT_EQ(SavedProgram(*plugin), 2 * 8 + 4);  // program 35

  // The host now holds program 35's values: those of the factory preset of that number.
  auto reference = LoadLv2();
  ASSERT_TRUE(reference);
  ASSERT_TRUE(reference->ApplyPreset(std::string(lv2uris::kPresetBase) + "factory-35"));
  EXPECT_FALSE(side.writes.empty());
  for (int i = 0; i < lv2ports::kParamCount; ++i) {
    SCOPED_TRACE(lv2ports::ParamSymbol(i));
    EXPECT_NEAR(plugin->Control(i), reference->Control(i), 1e-4);
  }

  // A drag on the volume knob: a gesture with its values, as the host's touch and writes.
  const int volumePort = static_cast<int>(lv2ports::PortOfParam(0));
  side.writes.clear();
  const auto [kx, ky] = KnobCentre(0);
  XTestFakeMotionEvent(display, DefaultScreen(display), kx, ky, 0);
  XTestFakeButtonEvent(display, 1, True, 0);
  XFlush(display);
  pump(3);
  for (int step = 1; step <= 8; ++step) {
    XTestFakeMotionEvent(display, DefaultScreen(display), kx, ky - 4 * step, 0);
    XFlush(display);
    pump(2);
  }
  XTestFakeButtonEvent(display, 1, False, 0);
  XFlush(display);
  pump(6);
  EXPECT_EQ(side.touches, 2);  // grabbed, released
  ASSERT_EQ(side.writes.count(volumePort), 1u);
  EXPECT_GT(side.writes[volumePort], reference->Control(0));
  plugin->Run(256);
  EXPECT_EQ(SavedProgram(*plugin), 2 * 8 + 4);

  suil_instance_free(ui);
  suil_host_free(suil);
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

// A host that gives a display scale of 2 (ui:scaleFactor): the UI opens at twice the panel's
// size and asks the host for it, and the programmer keys work at their doubled places.
TEST(Lv2Ui, TheHostsScaleFactorDoublesTheEditor) {
  auto plugin = LoadLv2();
  ASSERT_TRUE(plugin);
  plugin->Run(256);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr) << "no X display";
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 2200, 1250, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  HostSide side;
  side.plugin = plugin.get();
  SuilHost* suil = suil_host_new(Write, Index, nullptr, nullptr);
  LV2UI_Resize resize{&side, Resize};
  const float scale = 2.0f;
  const LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, plugin->Map(LV2_UI__scaleFactor), sizeof(float), plugin->Map(LV2_ATOM__Float), &scale},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
  const LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, plugin->Handle()};
  const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
  const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
  const LV2_Feature* features[] = {&parentFeature,       &instanceFeature,       &resizeFeature, &optionsFeature,
                                   plugin->MapFeature(), plugin->UnmapFeature(), nullptr};
  const std::string binary = TESVAR_LV2_BINARY;
  SuilInstance* ui = suil_instance_new(suil, &side, LV2_UI__X11UI, lv2uris::kPlugin, lv2uris::kUi, LV2_UI__X11UI,
                                       TESVAR_LV2_BUNDLE, binary.c_str(), features);
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(side.width, 2 * panel::kPanelWidth);
  EXPECT_EQ(side.height, 2 * panel::kPanelHeight);
  const auto* idle = static_cast<const LV2UI_Idle_Interface*>(suil_instance_extension_data(ui, LV2_UI__idleInterface));
  ASSERT_NE(idle, nullptr);
  auto pump = [&](int frames) { Pump(idle, ui, *plugin, display, frames); };
  pump(10);
  for (int key : {3, 5}) {
    const auto [x, y] = KeyCentre(key);
    XTestFakeMotionEvent(display, DefaultScreen(display), 2 * x, 2 * y, 0);
    XTestFakeButtonEvent(display, 1, True, 0);
    XFlush(display);
    pump(4);
    XTestFakeButtonEvent(display, 1, False, 0);
    XFlush(display);
    pump(4);
  }
  pump(10);
  EXPECT_EQ(SavedProgram(*plugin), 2 * 8 + 4);  // program 35

  suil_instance_free(ui);
  suil_host_free(suil);
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

}  // namespace
