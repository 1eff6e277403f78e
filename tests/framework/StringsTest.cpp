#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Strings.h"

namespace orlit {
namespace {

std::vector<std::string> Lines(const TStrings& strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < strings.Count(); ++i) lines.push_back(strings.Strings(i));
  return lines;
}

TEST(StringListTest, AddAnswersTheIndexAndTextEndsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Add("one"), 0);
  EXPECT_EQ(list.Add(""), 1);
  EXPECT_EQ(list.Add("trei"), 2);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Text(), "one\r\n\r\ntrei\r\n");
  list.Clear();
  EXPECT_EQ(list.Text(), "");
}

TEST(StringListTest, SetTextSplitsAtEveryKindOfBreak) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"\r\n", {""}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\n", {"a", ""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(Lines(list), c.lines) << c.text;
  }
}

TEST(StringListTest, OutOfRangeIndicesRaise) {
  TStringList list;
  list.Add("x");
  EXPECT_THROW(list.Strings(1), EStringListError);
  EXPECT_THROW(list.Strings(-1), EStringListError);
  EXPECT_THROW(list.Insert(2, "y"), EStringListError);
  EXPECT_THROW(list.Delete(1), EStringListError);
  EXPECT_THROW(list.SetStrings(1, "y"), EStringListError);
  list.Insert(1, "y");
  list.SetStrings(0, "w");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"w", "y"}));
  EXPECT_EQ(list.IndexOf("y"), 1);
  EXPECT_EQ(list.IndexOf("z"), -1);
}

TEST(StringListTest, ChangesAreAnnouncedOncePerUpdateAndNotWithoutChange) {
  TStringList list;
  std::vector<std::string> events;
  list.OnChanging = [&](TObject*) { events.push_back("changing"); };
  list.OnChange = [&](TObject*) { events.push_back("change " + std::to_string(list.Count())); };

  list.Add("a");
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "change 1"}));

  events.clear();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(events, (std::vector<std::string>{"changing"}));
  list.EndUpdate();
  EXPECT_EQ(events, (std::vector<std::string>{"changing", "change 2"}));

  events.clear();
  list.BeginUpdate();
  list.EndUpdate();
  TStringList empty;
  empty.OnChange = list.OnChange;
  empty.Clear();
  EXPECT_TRUE(events.empty());
}

TEST(StringListTest, AssignCopiesLinesAsOneChange) {
  TStringList source;
  source.SetText("x\r\ny\r\n");
  TStringList target;
  target.Add("old");
  int changes = 0;
  target.OnChange = [&](TObject*) { ++changes; };
  target.Assign(source);
  EXPECT_EQ(Lines(target), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace orlit
