// The browser's model on its own: folder listing, rows, scrolling and the scroll thumb.
#include "editor/Browser.h"

#include <gtest/gtest.h>

#include "tests/platform/TempHome.h"

namespace {

using panel::Browser;
using panel::ListedProgram;
using panel::ListKind;

class BrowserTest : public TempHome {};

std::vector<ListedProgram> Programs(int count) {
  std::vector<ListedProgram> list;
  for (int i = 0; i < count; ++i) list.push_back({i, "P" + std::to_string(i), {}});
  return list;
}

std::vector<panel::FileEntry> Files(int count) {
  std::vector<panel::FileEntry> list(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) list[i].displayName = "F" + std::to_string(i);
  return list;
}

TEST_F(BrowserTest, AFolderListsItsProgramAndBankFilesByNameWithoutRegardToCase) {
  for (const char* name : {"b.fxp", "A.FXB", "notes.txt", "mixed.FxB", "a2.fxb", "C.FXP", "fxb", "x.fxb.bak"}) {
    WriteFile(Path(std::string("banks/") + name), "x");
  }
  std::filesystem::create_directories(Path("banks/folder.fxb"));
  const auto entries = Browser::ListBankFolder(Path("banks"));
  ASSERT_EQ(entries.size(), 4u);
  const char* expected[] = {"A", "a2", "b", "C"};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].displayName, expected[i]);
    EXPECT_TRUE(entries[i].isFile);
  }
  EXPECT_EQ(entries[0].fileName, Path("banks/A.FXB"));
  // A folder given with its trailing separator gives the same paths.
  EXPECT_EQ(Browser::ListBankFolder(Path("banks/"))[3].fileName, Path("banks/C.FXP"));
  EXPECT_TRUE(Browser::ListBankFolder(Path("missing")).empty());
  EXPECT_TRUE(Browser::ListBankFolder("").empty());
}

TEST_F(BrowserTest, DisplayNamesLoseFolderAndExtensionOnly) {
  EXPECT_EQ(Browser::DisplayName("/home/u/My Banks/Brass.v2.fxb"), "Brass.v2");
  EXPECT_EQ(Browser::DisplayName("C:\\Banks\\Strings.FXP"), "Strings");
  EXPECT_EQ(Browser::DisplayName("plain"), "plain");
  const auto factory = Browser::FactoryBankEntries();
  ASSERT_EQ(factory.size(), 3u);
  EXPECT_EQ(factory[0].displayName, "Poly-61 Factory Sounds");
  EXPECT_EQ(factory[1].fileName, "quellmark.fxb");
  EXPECT_EQ(factory[2].displayName, "Veltrum's Factory Sounds");
  EXPECT_FALSE(factory[2].isFile);
  EXPECT_EQ(factory[2].bank, 2);
}

TEST_F(BrowserTest, RowsShowTheirPageAndEmptyPastTheEnd) {
  Browser b;
  b.SetPrograms(Programs(64));
  b.SetFiles(Files(105));
  EXPECT_EQ(b.Row(ListKind::kPrograms, 0).number, "11");
  EXPECT_EQ(b.Row(ListKind::kPrograms, 20).number, "35");
  EXPECT_EQ(b.Row(ListKind::kPrograms, 20).name, "P20");
  ASSERT_TRUE(b.Scroll(ListKind::kPrograms, true));
  EXPECT_EQ(b.Row(ListKind::kPrograms, 0).number, "58");   // entry 39
  EXPECT_EQ(b.Row(ListKind::kPrograms, 24).number, "88");  // entry 63, the last
  EXPECT_FALSE(b.Row(ListKind::kPrograms, 25).hasEntry);
  EXPECT_EQ(b.Row(ListKind::kPrograms, 25).index, -1);
  EXPECT_FALSE(b.Row(ListKind::kPrograms, 39).hasEntry);  // beyond the page
  EXPECT_EQ(b.Row(ListKind::kFiles, 3).number, "3");
  b.SetScrollStart(ListKind::kFiles, 100);
  EXPECT_EQ(b.Row(ListKind::kFiles, 4).number, "10");  // "104" cut to two characters
  EXPECT_EQ(b.Row(ListKind::kFiles, 4).name, "F104");
  EXPECT_FALSE(b.Row(ListKind::kFiles, 5).hasEntry);
  // Own-bank entries show their slot, whatever their place in the list.
  b.SetPrograms({{20, "Twenty", {}}});
  b.SetScrollStart(ListKind::kPrograms, 0);
  EXPECT_EQ(b.Row(ListKind::kPrograms, 0).number, "35");
}

TEST_F(BrowserTest, PagesScrollWithinTheList) {
  Browser b;
  b.SetPrograms(Programs(39));
  EXPECT_FALSE(b.Scroll(ListKind::kPrograms, true));  // one page: nothing to scroll
  b.SetPrograms(Programs(64));
  EXPECT_TRUE(b.Scroll(ListKind::kPrograms, true));
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 39);
  EXPECT_TRUE(b.Scroll(ListKind::kPrograms, true));  // past the end steps back
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 39);
  b.Scroll(ListKind::kPrograms, false);
  b.Scroll(ListKind::kPrograms, false);
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 0);
  b.SetFiles(Files(25));
  b.Scroll(ListKind::kFiles, true);
  b.Scroll(ListKind::kFiles, true);
  EXPECT_EQ(b.ScrollStart(ListKind::kFiles), 20);
  b.Scroll(ListKind::kFiles, true);
  EXPECT_EQ(b.ScrollStart(ListKind::kFiles), 20);
  EXPECT_EQ(b.ScrollStart(ListKind::kPrograms), 0);  // the lists scroll apart

  b.SetSelected(ListKind::kFiles, 23);
  EXPECT_EQ(b.SelectedRow(ListKind::kFiles), 3);
  b.Scroll(ListKind::kFiles, false);
  EXPECT_EQ(b.SelectedRow(ListKind::kFiles), -1);  // off the page
  b.SetSelected(ListKind::kFiles, -5);
  EXPECT_EQ(b.Selected(ListKind::kFiles), -1);
}

TEST_F(BrowserTest, TheThumbShowsThePageAndNothingOverAnEmptyList) {
  Browser b;
  constexpr int kBar = 221;  // the program list's bar: a track of 187 pixels
  EXPECT_FALSE(b.Thumb(ListKind::kPrograms, kBar).visible);
  b.SetPrograms(Programs(64));
  panel::ScrollThumb t = b.Thumb(ListKind::kPrograms, kBar);
  EXPECT_TRUE(t.visible);
  EXPECT_EQ(t.top, 17);
  EXPECT_EQ(t.height, 39 * 187 / 64);
  b.Scroll(ListKind::kPrograms, true);
  t = b.Thumb(ListKind::kPrograms, kBar);
  EXPECT_EQ(t.top, 17 + 39 * 187 / 64);
  EXPECT_EQ(t.top + t.height, 17 + 187);  // cut at the track's bottom
  b.SetPrograms(Programs(5));
  b.SetScrollStart(ListKind::kPrograms, 0);
  t = b.Thumb(ListKind::kPrograms, kBar);
  EXPECT_EQ(t.height, 187);                                // a short list fills the track
  EXPECT_FALSE(b.Thumb(ListKind::kPrograms, 30).visible);  // a bar with no track
}

}  // namespace
