#include "platform/files/command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Command, FindsTheFirstMatchingWord) {
  struct Case {
    std::vector<std::string> args;  // after the program's own name
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {{"\\query=Orders"}, "\\query", "Orders"},
      {{"\\QUERY=Orders"}, "\\Query", "Orders"},
      {{"\\select=\"TOP 10, CUS:NAME\""}, "\\select", "TOP 10, CUS:NAME"},
      {{"\\where=\"CUS:CITY = 'Bonn, Rhein'\""}, "\\where", "CUS:CITY = 'Bonn, Rhein'"},
      {{"\"\\select=a b\",next"}, "\\select", "a b"},
      {{"\\select=x\" y, \"z"}, "\\select", "x y, z"},
      {{"\\select=a,b"}, "\\select", "a"},
      {{"\\auto=1,\\query=q"}, "\\query", "q"},
      {{"\\query=first", "\\query=second"}, "\\query", "first"},
      {{"\\query=", "\\query=second"}, "\\query", ""},
      {{"\\queryname=x", "\\query=y"}, "\\query", "y"},
      {{"\\queryname=x"}, "\\query", ""},
      {{"\\query"}, "\\query", ""},
      {{"a\\query=x"}, "\\query", ""},
      {{"\\select=\"unterminated, to the end"}, "\\select", "unterminated, to the end"},
      {{"\\where=A=1"}, "\\where", "A=1"},
      {{}, "\\query", ""},
      // An argument the shell grouped (a blank, no quotes) is one word.
      {{"\\where=CUS:ID > 5, AND x", "\\auto=1"}, "\\where", "CUS:ID > 5, AND x"},
      {{"\\where=CUS:ID > 5", "\\auto=1"}, "\\auto", "1"},
      // A whole command line in one argument, quotes kept: split as typed.
      {{"\\query=q \\select=\"TOP 5\""}, "\\select", "TOP 5"},
      {{"\\query=q \\select=\"TOP 5\""}, "\\query", "q"},
      // The spellings a POSIX shell lets through unquoted.
      {{"--auto=1"}, "\\auto", "1"},
      {{"-query=Cust"}, "\\query", "Cust"},
      {{"/QUERY=Cust"}, "\\query", "Cust"},
      {{"--select=\"TOP 5, CUS:NAME\""}, "\\select", "TOP 5, CUS:NAME"},
      {{"-query=first", "\\query=second"}, "\\query", "first"},
      {{"---query=x"}, "\\query", ""},
      {{"auto=1"}, "\\auto", ""},
      {{"-autox=1"}, "\\auto", ""},
      {{"--auto"}, "\\auto", ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv{"quillomar"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    files::set_command_line(argv);
    EXPECT_EQ(files::command(c.name), c.value) << c.name << " in " << (c.args.empty() ? "" : c.args[0]);
  }
}

TEST(Command, TheProgramsOwnNameIsNotSearched) {
  files::set_command_line({"\\query=prog"});
  EXPECT_EQ(files::command("\\query"), "");
  files::set_command_line({});
  EXPECT_EQ(files::command("\\query"), "");
}

}  // namespace
