// Input no well-behaved host sends, through the bundle's run call: events of bad sizes and
// kinds, times outside the run, broken patch messages, an event that claims more than its
// sequence holds. Each is refused or limited: no crash, no NaN, no program change. And the
// run call allocates nothing.
#include <cstring>

#include "tests/lv2/Lv2TestSupport.h"
#include "tools/AllocationCounter.h"

namespace {

constexpr char kMidi[] = "http://lv2plug.in/ns/ext/midi#MidiEvent";

// One event as a sequence holds it: frame time, size, type, body padded to 8 bytes.
void PutEvent(std::vector<std::uint8_t>& out, std::int64_t frame, std::uint32_t type,
              const std::vector<std::uint8_t>& body, std::uint32_t claimedSize) {
  const std::size_t at = out.size();
  out.resize(at + 16);
  std::memcpy(&out[at], &frame, 8);
  std::memcpy(&out[at + 8], &claimedSize, 4);
  std::memcpy(&out[at + 12], &type, 4);
  out.insert(out.end(), body.begin(), body.end());
  out.resize((out.size() + 7) / 8 * 8, 0);
}

struct BadInput {
  const char* name;
  std::vector<std::uint8_t> events;
  std::uint32_t declared;  // the sequence body's declared size
};

std::vector<BadInput> BadInputs(Lv2Host& host) {
  const std::uint32_t midi = host.Map(kMidi);
  const std::uint32_t object = host.Map("http://lv2plug.in/ns/ext/atom#Object");
  const std::uint32_t unknown = host.Map("urn:example:not-a-type");
  std::vector<BadInput> cases;
  auto add = [&](const char* name, std::int64_t frame, std::uint32_t type, std::vector<std::uint8_t> body,
                 std::int64_t claimed = -1) {
    BadInput c{name, {}, 0};
    PutEvent(c.events, frame, type, body,
             claimed < 0 ? static_cast<std::uint32_t>(body.size()) : static_cast<std::uint32_t>(claimed));
    c.declared = static_cast<std::uint32_t>(8 + c.events.size());
    cases.push_back(c);
  };
  add("empty MIDI event", 0, midi, {});
  add("note on cut short", 0, midi, {0x90, 60});
  add("note on with a fourth byte", 0, midi, {0x90, 60, 100, 5});
  add("data byte above 127", 0, midi, {0x90, 0xC0, 100});
  add("running status (no status byte)", 0, midi, {60, 100});
  add("program change to 200 (masked data)", 0, midi, {0xC0, 0xC8});
  add("system exclusive without its end", 0, midi, {0xF0, 1, 2, 3});
  add("system exclusive with a status byte inside", 0, midi, {0xF0, 1, 0x90, 0xF7});
  add("unknown event type", 0, unknown, {0xC0, 5, 0, 0});
  add("frame before the run", -5000, midi, {0x90, 60, 100});
  add("frame far after the run", 1LL << 40, midi, {0x90, 61, 100});
  add("object too short for its header", 0, object, {1, 2, 3});
  add("object whose property claims too much", 0, object,
      {0, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 1, 0, 0, 0});
  add("event claiming more than the sequence holds", 0, midi, {0x90, 60, 100}, 60000);
  BadInput cut{"sequence declared shorter than its event", {}, 0};
  PutEvent(cut.events, 0, midi, {0xC0, 9}, 2);
  cut.declared = 8 + 12;
  cases.push_back(cut);
  BadInput order{"frames going back in time", {}, 0};
  PutEvent(order.events, 400, midi, {0x90, 62, 100}, 3);
  PutEvent(order.events, 10, midi, {0x80, 62, 0}, 3);
  order.declared = static_cast<std::uint32_t>(8 + order.events.size());
  cases.push_back(order);
  return cases;
}

TEST(Lv2Input, BadEventsAreRefusedWithoutCrashNanOrProgramChange) {
  auto host = LoadLv2();
  ASSERT_TRUE(host);
  host->AddMidi(0, {0x90, 48, 100});  // a note sounding through all of it
  host->Run(512);
  for (const BadInput& c : BadInputs(*host)) {
    SCOPED_TRACE(c.name);
    const Lv2Host::State before = SavedState(*host);
    host->SetRawSequence(c.events, c.declared);
    host->Run(512);
    Stereo s{host->Left(), host->Right()};
    for (int i = 0; i < 3; ++i) {
      host->Run(512);
      s.left.insert(s.left.end(), host->Left().begin(), host->Left().end());
    }
    EXPECT_TRUE(AllFinite(s));
    EXPECT_LT(Peak(s), 4.0);
    const Lv2Host::State after = SavedState(*host);
    EXPECT_EQ(after.at(lv2uris::kStateProgram).bytes, before.at(lv2uris::kStateProgram).bytes);
    EXPECT_EQ(after.at(lv2uris::kStateBank).bytes, before.at(lv2uris::kStateBank).bytes);
  }
}

TEST(Lv2Input, TheRunCallAllocatesNothing) {
  Lv2HostSettings settings;
  settings.blockSize = 256;
  auto host = LoadLv2(settings);
  ASSERT_TRUE(host);
  host->Run(256);
  // Notes, controllers, a program change, system exclusive, a port change and a run longer
  // than announced, measured around the plug-in's own run call.
  const std::vector<std::vector<std::uint8_t>> messages = {
      {0x90, 60, 100}, {0xB0, 1, 64}, {0xE0, 0, 70}, {0xC0, 4}, {0xF0, 0x7E, 0x7F, 0xF7}, {0x80, 60, 0}};
  long allocations = 0;
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < messages.size(); ++i) host->AddMidi(static_cast<std::int64_t>(i * 30), messages[i]);
    host->Control(16) = 10.0f + static_cast<float>(round);
    host->PrepareRun(700);
    allocation_counter::Start();
    host->RunPlugin(700);
    allocations += allocation_counter::Stop();
    host->FinishRun();
  }
  EXPECT_EQ(allocations, 0);
}

}  // namespace
