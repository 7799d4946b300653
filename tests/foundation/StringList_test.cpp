#include "tapwise/foundation/StringList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/foundation/UpdateScope.h"

namespace tapwise {
namespace {

std::vector<std::string> Lines(const TStringList& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.GetCount(); ++i)
    lines.push_back(list.GetString(i));
  return lines;
}

TEST(StringList, LinesCarryTheirObjectsThroughEdits) {
  int a = 0;
  int b = 0;
  TStringList list;
  EXPECT_EQ(list.AddObject("a", &a), 0);
  EXPECT_EQ(list.Add("c"), 1);
  list.InsertObject(1, "b", &b);
  list.Insert(3, "d");  // at Count: appends
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.GetObject(1), &b);
  EXPECT_EQ(list.IndexOfObject(&a), 0);
  list.Exchange(0, 1);
  EXPECT_EQ(list.GetObject(0), &b);
  list.SetString(0, "B");
  EXPECT_EQ(list.GetObject(0), &b);
  list.Delete(0);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(list.IndexOf("c"), 1);
  EXPECT_EQ(list.IndexOf("C"), -1);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(StringList, BadIndexesRaiseListErrors) {
  TStringList list;
  list.Add("x");
  for (int index : {-1, 1}) {
    EXPECT_THROW_MSG(list.GetString(index), EListError,
                     "List index out of bounds (" + std::to_string(index) + ")");
  }
  EXPECT_THROW_MSG(list.Delete(1), EListError, "List index out of bounds (1)");
  EXPECT_THROW_MSG(list.Insert(2, "y"), EListError, "List index out of bounds (2)");
  EXPECT_THROW_MSG(list.SetObject(-1, nullptr), EListError, "List index out of bounds (-1)");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"x"}));
}

TEST(StringList, NameValueAccessForGlobalVariables) {
  TStringList vars;
  vars.SetCaseSensitive(false);
  vars.SetText("*coldTemp*=20.0\r\n*hotTemp*=45.0\r\nplain line\r\n*note*=a=b\r\n");
  EXPECT_EQ(vars.GetValue("*COLDTEMP*"), "20.0");
  EXPECT_EQ(vars.GetValue("*note*"), "a=b");  // the first "=" separates
  EXPECT_EQ(vars.GetName(2), "");
  EXPECT_EQ(vars.GetValueFromIndex(2), "");
  EXPECT_EQ(vars.IndexOfName("plain line"), -1);
  EXPECT_EQ(vars.GetValue("*missing*"), "");
  EXPECT_EQ(vars.TryGetValue("*missing*"), std::nullopt);

  vars.SetValue("*hottemp*", FloatToStr(44.5));
  EXPECT_EQ(vars.GetString(1), "*hottemp*=44.5");
  vars.SetValue("*hotValvePos*", "0");  // a missing name adds a line
  EXPECT_EQ(vars.GetCount(), 5);
  EXPECT_EQ(vars.GetString(4), "*hotValvePos*=0");
  vars.SetValue("*hotValvePos*", "");  // an empty value keeps the line
  EXPECT_EQ(vars.TryGetValue("*hotValvePos*"), std::string());

  EXPECT_THROW_MSG(vars.SetValue("a=b", "1"), EListError,
                   "Invalid name \"a=b\": a name cannot contain \"=\"");

  TStringList exact;
  exact.Add("Name=1");
  EXPECT_EQ(exact.IndexOfName("name"), -1);
  EXPECT_EQ(exact.IndexOfName("Name"), 0);
}

TEST(StringList, TextRoundTripsWithEveryLineBreak) {
  TStringList list;
  list.SetText("a\r\nb\rc\nd");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.GetText(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("a\n\nb\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "", "b"}));
  list.SetText("\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{""}));
  list.SetText("");
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetText(), "");
  // An entry holding several lines is written as it is.
  list.Add("(deffuzzy v \r\n    (range 0.0000 1.0000))");
  EXPECT_EQ(list.GetText(), "(deffuzzy v \r\n    (range 0.0000 1.0000))\r\n");

  TZTStringStream stream("\xEF\xBB\xBFx=1\ny=2");
  list.LoadFromStream(stream);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"x=1", "y=2"}));
}

TEST(StringList, LoadsFilesAndNamesTheOneItCannotOpen) {
  const auto dir = std::filesystem::temp_directory_path() / "tapwise_string_list_test";
  std::filesystem::create_directories(dir);
  const auto path = (dir / "simvars.txt").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << "*coldTemp*=22\r\n*hotTemp*=50\r\n";
  }
  TStringList vars;
  vars.SetCaseSensitive(false);
  vars.Add("*old*=1");
  vars.LoadFromFile(path);
  EXPECT_EQ(Lines(vars), (std::vector<std::string>{"*coldTemp*=22", "*hotTemp*=50"}));

  const auto missing = (dir / "missing.txt").string();
  for (const auto& bad : {missing, dir.string()}) {
    EXPECT_THROW_MSG(vars.LoadFromFile(bad), EFOpenError, "Cannot open file \"" + bad + "\"");
  }
  EXPECT_EQ(vars.GetCount(), 2);  // a failed load keeps the lines
  std::filesystem::remove_all(dir);
}

TEST(StringList, SortedModeKeepsOrderAndRefusesPositions) {
  TStringList list;
  list.Add("000000002 b");
  list.Add("000000010 c");
  list.Add("000000001 a");
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"000000001 a", "000000002 b", "000000010 c"}));
  EXPECT_EQ(list.Add("000000005 x"), 2);
  int index = -1;
  EXPECT_TRUE(list.Find("000000010 c", index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list.Find("000000003", index));
  EXPECT_EQ(index, 2);
  EXPECT_THROW_MSG(list.Insert(0, "z"), EListError, "Operation not allowed on sorted list");
  EXPECT_THROW_MSG(list.SetString(0, "z"), EListError, "Operation not allowed on sorted list");

  // Equal lines are kept by default, in the order they came; other policies on request.
  TStringList words;
  words.SetSorted(true);
  words.SetCaseSensitive(false);
  int first = 1;
  int second = 2;
  words.AddObject("b", &first);
  words.AddObject("B", &second);
  words.Add("a");
  EXPECT_EQ(Lines(words), (std::vector<std::string>{"a", "b", "B"}));
  EXPECT_EQ(words.IndexOf("B"), 1);
  words.SetDuplicates(dupIgnore);
  EXPECT_EQ(words.Add("A"), 0);
  EXPECT_EQ(words.GetCount(), 3);
  words.SetDuplicates(dupError);
  EXPECT_THROW_MSG(words.Add("a"), EListError, "String list does not allow duplicates");

  // A value set by name in a sorted list keeps the list sorted and the line's object.
  words.Clear();
  words.AddObject("m=1", &first);
  words.Add("z=1");
  words.SetValue("m", "2");
  EXPECT_EQ(Lines(words), (std::vector<std::string>{"m=2", "z=1"}));
  EXPECT_EQ(words.GetObject(0), &first);
}

TEST(StringList, ChangeEventOncePerChangeOrOncePerBracket) {
  TStringList list;
  int changes = 0;
  TPersistent* sender = nullptr;
  list.SetOnChange([&](TPersistent* s) {
    ++changes;
    sender = s;
  });
  list.Add("a");
  list.SetValue("k", "v");
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(sender, &list);

  changes = 0;
  list.BeginUpdate();
  list.BeginUpdate();
  list.Clear();
  list.Add("x");
  list.EndUpdate();
  EXPECT_EQ(changes, 0);
  list.EndUpdate();
  EXPECT_EQ(changes, 1);

  changes = 0;
  list.SetText("p\nq");  // one bracket of its own
  EXPECT_EQ(changes, 1);
  {
    TUpdateScope scope(list);  // nothing changed inside: no event
  }
  EXPECT_EQ(changes, 1);
  try {
    TUpdateScope scope(list);
    list.Add("r");
    throw std::runtime_error("abandoned");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(list.GetUpdateCount(), 0);
  EXPECT_EQ(changes, 2);
}

// A change handler that fails when the bracket closes reaches the caller; when the scope is
// left because of another exception, that one wins and the handler's is dropped.
TEST(StringList, UpdateScopePassesOnAFailingHandlerUnlessAnotherExceptionIsOnItsWay) {
  TStringList list;
  list.SetOnChange([](TPersistent*) { throw std::logic_error("handler"); });
  EXPECT_THROW_MSG(
      {
        TUpdateScope scope(list);
        list.Add("a");
      },
      std::logic_error, "handler");
  EXPECT_THROW_MSG(
      {
        TUpdateScope scope(list);
        list.Add("b");
        throw std::runtime_error("first");
      },
      std::runtime_error, "first");
  EXPECT_EQ(list.GetUpdateCount(), 0);
  EXPECT_EQ(list.GetCount(), 2);
}

TEST(StringList, AssignCopiesLinesAndObjectsButKeepsOwnSettings) {
  int object = 0;
  TStringList source;
  source.AddObject("Zeta=1", &object);
  source.Add("alpha=2");
  TStringList vars;
  vars.SetCaseSensitive(false);
  vars.SetSorted(true);
  vars.Add("old=0");
  vars.Assign(source);
  EXPECT_EQ(Lines(vars), (std::vector<std::string>{"alpha=2", "Zeta=1"}));
  EXPECT_EQ(vars.GetObject(1), &object);
  EXPECT_FALSE(vars.IsCaseSensitive());
  EXPECT_EQ(vars.GetValue("ZETA"), "1");
  vars.Assign(vars);  // self-assignment changes nothing
  EXPECT_EQ(vars.GetCount(), 2);

  class Other : public TPersistent {
   public:
    std::string ClassName() const override { return "TOther"; }
  } other;
  EXPECT_THROW_MSG(vars.Assign(other), EConvertError, "Cannot assign a TOther to a TStringList");
}

}  // namespace
}  // namespace tapwise
