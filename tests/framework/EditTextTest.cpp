#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "MarkedText.h"
#include "framework/EditText.h"

namespace orlit {
namespace {

std::string Render(const EditText& edit) {
  std::string out;
  const std::u32string& chars = edit.Chars();
  for (int i = 0; i <= edit.Length(); ++i) {
    if (i == edit.Anchor() && edit.HasSelection()) out += "^";
    if (i == edit.Caret()) out += "|";
    if (i < edit.Length()) out += ToUtf8(chars.substr(static_cast<std::size_t>(i), 1));
  }
  return out;
}

EditText Make(const std::string& marked) {
  const MarkedText state = ParseMarkedText(marked);
  EditText edit;
  edit.SetText(state.text);
  edit.SetSelection(state.anchor, state.caret);
  return edit;
}

// Commands: a name, then for some an argument after one space. A leading "+" extends the
// selection with a caret move.
void Apply(EditText& edit, const std::string& command) {
  const std::size_t space = command.find(' ');
  std::string name = command.substr(0, space);
  const std::string argument = space == std::string::npos ? "" : command.substr(space + 1);
  const bool extend = !name.empty() && name[0] == '+';
  if (extend) name.erase(0, 1);
  using Move = EditText::Move;
  if (name == "left") return edit.MoveCaret(Move::kLeft, extend);
  if (name == "right") return edit.MoveCaret(Move::kRight, extend);
  if (name == "wleft") return edit.MoveCaret(Move::kWordLeft, extend);
  if (name == "wright") return edit.MoveCaret(Move::kWordRight, extend);
  if (name == "home") return edit.MoveCaret(Move::kHome, extend);
  if (name == "end") return edit.MoveCaret(Move::kEnd, extend);
  if (name == "type") {
    for (char32_t c : ToCodePoints(argument)) edit.Type(c);
    return;
  }
  if (name == "paste") return static_cast<void>(edit.Paste(argument));
  if (name == "bs") return static_cast<void>(edit.DeleteBackward(false));
  if (name == "wbs") return static_cast<void>(edit.DeleteBackward(true));
  if (name == "del") return static_cast<void>(edit.DeleteForward(false));
  if (name == "wdel") return static_cast<void>(edit.DeleteForward(true));
  if (name == "cut") return static_cast<void>(edit.DeleteSelection());
  if (name == "undo") return static_cast<void>(edit.Undo());
  if (name == "all") return edit.SelectAll();
  if (name == "word") return edit.SelectWordAt(std::stoi(argument));
  if (name == "settext") return static_cast<void>(edit.SetText(argument));
  if (name == "seltext") return static_cast<void>(edit.SetSelText(argument));
  if (name == "click") return edit.MoveCaretTo(std::stoi(argument), extend);
  if (name == "select") {
    std::istringstream in(argument);
    int start = 0;
    int length = 0;
    in >> start >> length;
    return edit.Select(start, length);
  }
  ADD_FAILURE() << "unknown command " << command;
}

std::uint32_t Hex(char32_t c) { return static_cast<std::uint32_t>(c); }

struct Case {
  const char* before;
  std::vector<std::string> commands;
  const char* after;
};

void RunCases(const std::vector<Case>& cases, void (*setup)(EditText&) = nullptr) {
  for (const Case& c : cases) {
    EditText edit = Make(c.before);
    if (setup != nullptr) setup(edit);
    std::string trace = c.before;
    for (const std::string& command : c.commands) {
      Apply(edit, command);
      trace += " / " + command;
    }
    EXPECT_EQ(Render(edit), c.after) << trace;
  }
}

TEST(EditTextTest, CaretKeysCountCharactersNotBytes) {
  RunCases({
      {"ăș|â", {"left"}, "ă|șâ"},
      {"ăș|â", {"right"}, "ășâ|"},
      {"|ăș", {"left"}, "|ăș"},
      {"ăș|â", {"home"}, "|ășâ"},
      {"ăș|â", {"end"}, "ășâ|"},
      {"ăș|â", {"+left"}, "ă|ș^â"},
      {"ăș|â", {"+home"}, "|ăș^â"},
      {"ăș|â", {"+end"}, "ăș^â|"},
      {"a^bc|d", {"left"}, "a|bcd"},
      {"a^bc|d", {"right"}, "abc|d"},
      {"a|bc^d", {"+right", "+right"}, "abc|d"},
      {"a^bc|d", {"+end"}, "a^bcd|"},
      {"", {"left", "right", "home", "end"}, "|"},
  });
}

TEST(EditTextTest, WordMovesStopAtWordEdgesAndSkipPunctuation) {
  RunCases({
      {"|ăla bală, portocală", {"wright"}, "ăla| bală, portocală"},
      {"ăla| bală, portocală", {"wright"}, "ăla bală|, portocală"},
      {"ăla bală|, portocală", {"wright"}, "ăla bală, portocală|"},
      {"ăla bală, portocală|", {"wright"}, "ăla bală, portocală|"},
      {"ăla bală, portocală|", {"wleft"}, "ăla bală, |portocală"},
      {"ăla bală, |portocală", {"wleft"}, "ăla |bală, portocală"},
      {"ăla bală, port|ocală", {"wleft"}, "ăla bală, |portocală"},
      {"ăla |bală", {"wleft"}, "|ăla bală"},
      {"12,5| lei", {"wleft"}, "12,|5 lei"},
      {"x_1 y|", {"wleft", "wleft"}, "|x_1 y"},
      {"|a b", {"+wright", "+wright"}, "^a b|"},
      {"  ...  |", {"wleft"}, "|  ...  "},
      {"|  ...  ", {"wright"}, "  ...  |"},
  });
}

TEST(EditTextTest, TypingReplacesTheSelection) {
  RunCases({
      {"|", {"type ășâ"}, "ășâ|"},
      {"ab|", {"type ț"}, "abț|"},
      {"a|b", {"type xy"}, "axy|b"},
      {"a^bc|d", {"type ș"}, "aș|d"},
      {"a|bc^d", {"type ș"}, "aș|d"},
      {"^ăș|", {"type x"}, "x|"},
      {"a^b|c", {"paste 12"}, "a12|c"},
      {"a^b|c", {"paste "}, "a^b|c"},
  });
}

TEST(EditTextTest, BackspaceAndDeleteTakeACharacterTheSelectionOrAWord) {
  RunCases({
      {"ăș|â", {"bs"}, "ă|â"},
      {"|ăș", {"bs"}, "|ăș"},
      {"ăș|â", {"del"}, "ăș|"},
      {"ăș|", {"del"}, "ăș|"},
      {"a^bc|d", {"bs"}, "a|d"},
      {"a^bc|d", {"del"}, "a|d"},
      {"a^bc|d", {"wbs"}, "a|d"},
      {"a^bc|d", {"wdel"}, "a|d"},
      {"ăla bală|", {"wbs"}, "ăla |"},
      {"ăla bală |", {"wbs"}, "ăla |"},
      {"ăla ba|lă", {"wbs"}, "ăla |lă"},
      {"ăla| bală", {"wbs"}, "| bală"},
      {"ăla| bală, x", {"wdel"}, "ăla|, x"},
      {"ăla b|ală", {"wdel"}, "ăla b|"},
      {"a, |b", {"wbs"}, "|b"},
  });
}

TEST(EditTextTest, OneLevelOfUndoThatRedoesWhenRepeated) {
  RunCases({
      {"|", {"type abc", "undo"}, "|"},
      {"x|", {"type ab", "left", "type c", "undo"}, "xa|b"},
      {"x|", {"type ab", "left", "type c", "undo", "undo"}, "xac|b"},
      {"a^bc|d", {"type xy", "undo"}, "a^bc|d"},
      {"abcd|", {"bs", "bs", "undo"}, "abcd|"},
      {"|abcd", {"del", "del", "undo"}, "|abcd"},
      {"abcd|", {"bs", "type x", "undo"}, "abc|"},
      {"ab|", {"paste cd", "paste ef", "undo"}, "abcd|"},
      {"ab |cd", {"wdel", "undo"}, "ab |cd"},
      {"ab^cd|", {"cut", "undo"}, "ab^cd|"},
      {"ab|", {"undo"}, "ab|"},
      {"ab|", {"type c", "settext xy", "undo"}, "|xy"},
      {"ab|", {"type c", "seltext d", "undo"}, "abcd|"},
  });
}

TEST(EditTextTest, SelectingWordsAndRuns) {
  RunCases({
      {"|ăla bală, x", {"word 1"}, "^ăla| bală, x"},
      {"|ăla bală, x", {"word 3"}, "ăla^ |bală, x"},
      {"|ăla bală, x", {"word 8"}, "ăla bală^,| x"},
      {"|ăla bală, x", {"word 11"}, "ăla bală, ^x|"},
      {"|ăla bală, x", {"word 99"}, "ăla bală, ^x|"},
      {"|", {"word 0"}, "|"},
      {"|a  b", {"word 2"}, "a^  |b"},
  });
}

TEST(EditTextTest, SelectClampsAndNegativeLengthsSelectBackwards) {
  RunCases({
      {"|abcd", {"select 1 2"}, "a^bc|d"},
      {"|abcd", {"select 3 -2"}, "a|bc^d"},
      {"|abcd", {"select 2 99"}, "ab^cd|"},
      {"|abcd", {"select -5 1"}, "^a|bcd"},
      {"|abcd", {"select 1 -9"}, "|a^bcd"},
      {"|abcd", {"select 2 2147483647"}, "ab^cd|"},
      {"|abcd", {"click 2", "+click 4"}, "ab^cd|"},
      {"|abcd", {"click 9"}, "abcd|"},
  });
}

TEST(EditTextTest, InsertedTextKeepsItsFirstLineAndDropsControlCharacters) {
  RunCases({
      {"|", {"paste ab\r\ncd"}, "ab|"},
      {"|", {"paste ab\ncd"}, "ab|"},
      {"|", {"paste a\tb"}, "a b|"},
      {"|",
       {"paste a\x01\x7f"
        "b"},
       "ab|"},
      {"|", {"paste a\xc2\x85\x62"}, "ab|"},
      {"x|", {"paste \nab"}, "x|"},
      {"|", {"paste \xff"}, "\xef\xbf\xbd|"},
      {"|", {"seltext a\nb"}, "a|"},
  });
}

TEST(EditTextTest, MaximumLengthLimitsOnlyWhatTheUserAdds) {
  auto limit3 = [](EditText& edit) { edit.SetMaxLength(3); };
  RunCases(
      {
          {"|", {"type ăștâ"}, "ășt|"},
          {"ab|", {"paste xyz"}, "abx|"},
          {"abc|", {"type d"}, "abc|"},
          {"a^bc|", {"type ăș"}, "aăș|"},
          {"a^b|c", {"paste xyz"}, "ax|c"},
          {"abc|", {"seltext x"}, "abc|"},
          {"|", {"settext abcdef"}, "|abcdef"},
          {"abcdef|", {"type x"}, "abcdef|"},
          {"abcdef|", {"bs", "bs", "bs", "type xy"}, "abc|"},
          {"^abcdef|", {"type x"}, "x|"},
      },
      +limit3);
}

TEST(EditTextTest, CharacterCaseAppliesToEverythingThatEnters) {
  auto upper = [](EditText& edit) { edit.SetCharCase(ecUpperCase); };
  RunCases(
      {
          {"|", {"type ășâ ţ"}, "ĂȘÂ Ţ|"},
          {"|", {"paste ăbc"}, "ĂBC|"},
          {"|", {"settext straße"}, "|STRAßE"},
          {"x|", {"seltext î"}, "XÎ|"},
          {"ab|c", {}, "AB|C"},
      },
      +upper);
  auto lower = [](EditText& edit) { edit.SetCharCase(ecLowerCase); };
  RunCases({{"|", {"type ĂȘÂ Ţ XY"}, "ășâ ţ xy|"}, {"A^B|C", {}, "a^b|c"}}, +lower);
}

TEST(EditTextTest, SettingTheCaseConvertsOnceAndKeepsTheSelection) {
  EditText edit = Make("Ă^la|");
  edit.Type(U'x');
  const auto revision = edit.Revision();
  EXPECT_TRUE(edit.SetCharCase(ecUpperCase));
  EXPECT_EQ(Render(edit), "ĂX|");
  EXPECT_FALSE(edit.CanUndo());  // a conversion from code is not the user's to undo
  EXPECT_FALSE(edit.SetCharCase(ecUpperCase));
  EXPECT_FALSE(edit.SetCharCase(ecNormal));
  EXPECT_EQ(edit.Revision(), revision + 1);
}

TEST(EditTextTest, ReadOnlyRefusesEveryUserChangeButNotSelectionOrCode) {
  auto read_only = [](EditText& edit) { edit.SetReadOnly(true); };
  RunCases(
      {
          {"ab|c", {"type x", "paste y", "bs", "del", "wbs", "wdel"}, "ab|c"},
          {"a^b|c", {"cut", "type x"}, "a^b|c"},
          {"ab|c", {"left", "+home"}, "|a^bc"},
          {"ab|c", {"all"}, "^abc|"},
          {"ab|c", {"settext xyz"}, "|xyz"},
          {"ab|c", {"seltext xyz"}, "abxyz|c"},
      },
      +read_only);
  EditText edit("ab");
  edit.MoveCaret(EditText::Move::kEnd, false);
  edit.Type(U'c');
  edit.SetReadOnly(true);
  EXPECT_FALSE(edit.Undo());
  EXPECT_EQ(edit.Text(), "abc");
}

TEST(EditTextTest, AMaskedTextIsOneWord) {
  auto masked = [](EditText& edit) { edit.SetMasked(true); };
  RunCases(
      {
          {"ab cd| ef", {"wleft"}, "|ab cd ef"},
          {"ab |cd ef", {"wright"}, "ab cd ef|"},
          {"ab cd ef|", {"word 1"}, "^ab cd ef|"},
          {"ab cd| ef", {"wbs"}, "| ef"},
      },
      +masked);
}

TEST(EditTextTest, RevisionCountsExactlyTheChangesOfTheText) {
  EditText edit = Make("ab|c");
  std::uint64_t revision = edit.Revision();
  auto changed = [&] { return std::exchange(revision, edit.Revision()) != revision; };
  EXPECT_TRUE(edit.Type(U'x') && changed());
  EXPECT_FALSE(edit.SetText("abxc") || changed());  // the same text: caret and undo stay
  EXPECT_EQ(Render(edit), "abx|c");
  EXPECT_TRUE(edit.CanUndo());
  edit.Select(2, 1);
  EXPECT_FALSE(edit.Type(U'x') || changed());  // the same character over itself
  EXPECT_FALSE(edit.Type(U'\r') || edit.Paste("") || changed());
  EXPECT_EQ(Render(edit), "abx|c");
  EXPECT_TRUE(edit.Undo() && changed());
  EXPECT_EQ(Render(edit), "ab|c");
  EXPECT_TRUE(edit.SetText("ș") && changed());
  EXPECT_EQ(Render(edit), "|ș");
  EXPECT_FALSE(edit.CanUndo());
}

TEST(EditTextCaseTest, MapsTheLettersOfTheSupportedScripts) {
  struct Pair {
    char32_t upper;
    char32_t lower;
  };
  // Ă ă, Â â, Î î, Ș ș, Ț ț, Ş ş, then one pair of each block and script.
  const Pair pairs[] = {
      {0x102, 0x103}, {0xC2, 0xE2},   {0xCE, 0xEE},   {0x218, 0x219}, {0x21A, 0x21B},
      {0x15E, 0x15F}, {U'A', U'a'},   {0xDE, 0xFE},   {0x139, 0x13A}, {0x17D, 0x17E},
      {0x178, 0xFF},  {0x3A3, 0x3C3}, {0x38F, 0x3CE}, {0x42F, 0x44F}, {0x400, 0x450},
      {0x4C1, 0x4C2}, {0x52E, 0x52F},
  };
  for (const Pair& p : pairs) {
    EXPECT_EQ(ToUpperChar(p.lower), p.upper) << std::hex << Hex(p.lower);
    EXPECT_EQ(ToLowerChar(p.upper), p.lower) << std::hex << Hex(p.upper);
  }
  // Letters with no single-letter counterpart, and signs that look like letters.
  for (char32_t c : {0xDFu, 0xD7u, 0xF7u, 0x138u, 0x149u, 0xB5u, 0x3A2u, 0x2Bu, 0x4E00u}) {
    EXPECT_EQ(ToUpperChar(c), c) << std::hex << Hex(c);
    EXPECT_EQ(ToLowerChar(c), c) << std::hex << Hex(c);
  }
  EXPECT_EQ(ToUpperChar(0x131), U'I');   // dotless i
  EXPECT_EQ(ToLowerChar(0x130), U'i');   // dotted I
  EXPECT_EQ(ToUpperChar(0x17F), U'S');   // long s
  EXPECT_EQ(ToUpperChar(0x3C2), 0x3A3);  // final sigma
}

TEST(EditTextCaseTest, MappingsAreInverseOverEveryMappedCodePoint) {
  // The one-way mappings of letters whose capital has another small form.
  const std::set<char32_t> one_way = {0x131, 0x17F, 0x3C2, 0x130};
  for (char32_t c = 0; c < 0x600; ++c) {
    if (one_way.count(c) != 0) continue;
    const char32_t upper = ToUpperChar(c);
    const char32_t lower = ToLowerChar(c);
    ASSERT_TRUE(upper == c || lower == c) << std::hex << Hex(c);
    if (upper != c) {
      EXPECT_EQ(ToLowerChar(upper), c) << std::hex << Hex(c);
    }
    if (lower != c) {
      EXPECT_EQ(ToUpperChar(lower), c) << std::hex << Hex(c);
    }
  }
}

TEST(EditTextUtf8Test, ReplacesWhatCannotBeEncoded) {
  EditText edit;
  EXPECT_TRUE(edit.SetText(std::u32string{U'x', 0xDC00}));
  EXPECT_EQ(edit.Chars(), (std::u32string{U'x', 0xFFFD}));
}

TEST(EditTextClassTest, ClassifiesWordsSpacesAndPunctuation) {
  const std::pair<char32_t, CharClass> cases[] = {
      {U'_', CharClass::kWord},        {0x219, CharClass::kWord},
      {0xB2, CharClass::kWord},        {0x4E00, CharClass::kWord},
      {0xA0, CharClass::kSpace},       {0x3000, CharClass::kSpace},
      {U'@', CharClass::kPunctuation}, {0xAB, CharClass::kPunctuation},
      {0xD7, CharClass::kPunctuation}, {0x201E, CharClass::kPunctuation},
  };
  for (const auto& [c, kind] : cases) EXPECT_EQ(ClassOfChar(c), kind) << std::hex << Hex(c);
}

}  // namespace
}  // namespace orlit
