#include "StringList.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <functional>

#include "CodePage.h"
#include "TestSupport.h"

namespace {

std::vector<std::string> LinesOf(std::string_view text) {
  TStringList list;
  list.SetText(text);
  return {list.begin(), list.end()};
}

using Lines = std::vector<std::string>;

TEST(StringListReading, LineEndsAndNul) {
  struct Case {
    std::string_view text;
    Lines lines;
  };
  const Case cases[] = {
      {std::string_view("", 0), {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\rb", {"a", "", "b"}},    // LF then a lone CR: an empty line between
      {"a\r\r\nb", {"a", "", "b"}},  // a lone CR, then CR LF
      {"\r\n\r\n", {"", ""}},
      {"\n", {""}},
      {std::string_view("a\r\nb\0c\r\nd", 9), {"a", "b"}},  // the first NUL ends the text
      {std::string_view("\0abc", 4), {}},
      {"x\xFFy\xFF\r\n", {"x\xFFy\xFF"}},
  };
  for (const Case& c : cases) EXPECT_EQ(LinesOf(c.text), c.lines) << testing::PrintToString(std::string(c.text));
}

TEST(StringListWriting, EveryLineEndsWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("one");
  list.Add("");
  list.Add("th\xFFree");
  EXPECT_EQ(list.Text(), "one\r\n\r\nth\xFFree\r\n");
  EXPECT_EQ(list.TextSize(), list.Text().size());
}

TEST(StringListEditing, KeepsValuesAcrossCopiesAndEdits) {
  TStringList cards;
  cards.SetText("a\r\nb\r\nc\r\n");
  TStringList snapshot = cards;  // the undo snapshot is a plain copy
  cards.Put(1, "B");
  cards.Delete(0);
  cards.Insert(0, "first");
  cards.Add(std::string(5000, 'x'));  // longer than an arena block share
  EXPECT_EQ((Lines{cards.begin(), cards.end()}), (Lines{"first", "B", "c", std::string(5000, 'x')}));
  EXPECT_EQ((Lines{snapshot.begin(), snapshot.end()}), (Lines{"a", "b", "c"}));
  cards = snapshot;
  snapshot.Clear();
  EXPECT_EQ((Lines{cards.begin(), cards.end()}), (Lines{"a", "b", "c"}));
}

TEST(StringListEditing, BadIndexRaisesListError) {
  TStringList list;
  list.Add("a");
  for (int index : {-1, 1, 7}) {
    try {
      (void)list.Get(index);
      ADD_FAILURE() << index;
    } catch (const EStringListError& error) {
      EXPECT_EQ(error.Message, Format("List index out of bounds (%d)", index));
    }
  }
  EXPECT_THROW(list.Delete(1), EStringListError);
  EXPECT_THROW(list.Insert(2, "x"), EStringListError);
  EXPECT_NO_THROW(list.Insert(1, "end"));
}

// What is worked out from the lines is kept until the revision moves: every operation that can
// change the lines moves it, and one that only reads does not.
TEST(StringListEditing, EveryChangeMovesTheRevision) {
  testing_support::TempProgramFolder folder;
  testing_support::WriteBytes(folder.File("book.abk"), "c\r\nb\r\na\r\n");
  using Edit = std::function<void(TStringList&)>;
  const std::pair<const char*, Edit> changes[] = {
      {"Put", [](TStringList& l) { l.Put(1, "b"); }},  // even the same text
      {"Add", [](TStringList& l) { l.Add("d"); }},
      {"Insert", [](TStringList& l) { l.Insert(0, "z"); }},
      {"Delete", [](TStringList& l) { l.Delete(2); }},
      {"Exchange", [](TStringList& l) { l.Exchange(0, 2); }},
      {"Reorder",
       [](TStringList& l) {
         l.Reorder({2, 1, 0});
       }},
      {"Clear", [](TStringList& l) { l.Clear(); }},
      {"Sort", [](TStringList& l) { l.Sort(); }},
      {"CustomSort",
       [](TStringList& l) { l.CustomSort([](std::string_view a, std::string_view b) { return a.compare(b); }); }},
      {"SetText", [](TStringList& l) { l.SetText("c\r\nb\r\na\r\n"); }},
      {"LoadFromFile", [&](TStringList& l) { l.LoadFromFile(folder.File("book.abk")); }},
      {"assigned another list", [](TStringList& l) { l = TStringList(); }},
      {"assigned a copy of another",
       [](TStringList& l) {
         const TStringList other;
         l = other;
       }},
      {"moved away", [](TStringList& l) { TStringList taken(std::move(l)); }},
      {"moved away by assignment",
       [](TStringList& l) {
         TStringList taken;
         taken = std::move(l);
       }},
  };
  for (const auto& [name, change] : changes) {
    TStringList list;
    list.SetText("c\r\nb\r\na\r\n");
    const std::uint64_t before = list.Revision();
    change(list);
    EXPECT_NE(list.Revision(), before) << name;
  }

  TStringList list;
  list.SetText("c\r\nb\r\na\r\n");
  const std::uint64_t revision = list.Revision();
  (void)list.Count();
  (void)list.Get(1);
  (void)list.Text();
  (void)list.TextSize();
  (void)list.IndexOf("B");
  const Lines read{list.begin(), list.end()};
  list.Reserve(100);
  TStringList copy = list;
  EXPECT_EQ(list.Revision(), revision);
  EXPECT_EQ(copy.Revision(), revision);  // equal lines

  // The undo snapshot: the book changes, then takes the snapshot's lines back.
  copy.Delete(0);
  EXPECT_NE(copy.Revision(), revision);
  copy = list;
  EXPECT_EQ(copy.Revision(), revision);
  TStringList moved = std::move(copy);
  EXPECT_EQ(moved.Revision(), revision);
}

TEST(StringListSorting, DefaultOrderIgnoresCaseAndFollowsTheLocale) {
  TStringList list;
  for (const char* s : {"banana", "Apple", "apple", "\xC9lan", "cherry", "Zed", "eclair"}) list.Add(s);
  list.Sort();
  const Lines sorted{list.begin(), list.end()};
  // Case is ignored: both apples come first; the accented capital E sorts with e, not after z.
  EXPECT_EQ(AnsiCompareText(sorted[0], "apple"), 0);
  EXPECT_EQ(AnsiCompareText(sorted[1], "apple"), 0);
  EXPECT_EQ((Lines{sorted.begin() + 2, sorted.end()}), (Lines{"banana", "cherry", "eclair", "\xC9lan", "Zed"}));
  EXPECT_EQ(list.IndexOf("ZED"), 6);
  EXPECT_EQ(list.IndexOf("nothing"), -1);
}

TEST(StringListFiles, LoadAndSaveRoundTripBytes) {
  testing_support::TempProgramFolder folder;
  const std::string bytes =
      "ABK10\r\nM\xFC"
      "ller\xFF\xFF\r\nlone\rcr\n";
  testing_support::WriteBytes(folder.File("book.abk"), bytes);
  TStringList list;
  list.LoadFromFile(folder.File("book.abk"));
  EXPECT_EQ((Lines{list.begin(), list.end()}), (Lines{"ABK10", "M\xFCller\xFF\xFF", "lone", "cr"}));
  list.SaveToFile(folder.File("copy.abk"));
  EXPECT_EQ(testing_support::ReadBytes(folder.File("copy.abk")), "ABK10\r\nM\xFCller\xFF\xFF\r\nlone\r\ncr\r\n");
  EXPECT_THROW(list.LoadFromFile(folder.File("missing.abk")), EFOpenError);
  EXPECT_THROW(list.SaveToFile(folder.File("no-such-folder/x.abk")), EFCreateError);
}

// The lines are the list's own: another program truncating or rewriting the file in place later
// changes nothing in them (a large file is read into pages of its own).
TEST(StringListFiles, LinesStayIntactWhenTheFileChangesAfterTheLoad) {
  testing_support::TempProgramFolder folder;
  const std::string file = folder.File("book.abk");
  std::string bytes;
  for (int i = 0; bytes.size() < (std::size_t{16} << 20); ++i) bytes += "card " + std::to_string(i) + "\r\n";
  testing_support::WriteBytes(file, bytes);
  TStringList list;
  EXPECT_EQ(list.LoadFromFile(file), 0u);
  const std::string first(list[0]);
  const std::string last(list[list.Count() - 1]);
  ::truncate(file.c_str(), 0);
  testing_support::WriteBytes(file, std::string(bytes.size(), 'X'));
  ::truncate(file.c_str(), 10);
  EXPECT_EQ(list[0], first);
  EXPECT_EQ(list[list.Count() - 1], last);
  EXPECT_EQ(list.Text(), bytes);
}

TEST(StringListFiles, TheFirstNulEndsTheTextAndTheBytesFromItAreCounted) {
  struct Case {
    std::string text;
    Lines lines;
    std::size_t cut;
  };
  const Case cases[] = {
      {std::string("a\r\nb", 4), {"a", "b"}, 0}, {std::string("a\r\nb\0c\r\n", 8), {"a", "b"}, 4},
      {std::string("a\r\n\0", 4), {"a"}, 1},     {std::string("\0a", 2), {}, 2},
      {std::string("a\r\0b", 4), {"a"}, 2},
  };
  for (const Case& c : cases) {
    TStringList list;
    EXPECT_EQ(list.SetText(c.text), c.cut);
    EXPECT_EQ((Lines{list.begin(), list.end()}), c.lines);
  }
}

}  // namespace
