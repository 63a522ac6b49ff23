#include "cfg/cfg_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

std::string repeat(char c, size_t n) {
  return std::string(n, c);
}

// The first 50 characters of a line, as the store's messages show it.
std::string head50(const std::string& line) {
  return line.substr(0, 50);
}

// The store's messages about a line.
std::string bad_value(const std::string& line) {
  return "Bad value field in config file (" + head50(line) + "...)\n";
}
std::string too_long(const std::string& line) {
  return "Configuration line is too long (" + head50(line) + ",,,)\n";
}
std::string key_too_long(const std::string& line) {
  return "Compound key too long (" + head50(line) + "...)\n";
}

std::string join_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// What one lookup gives: the value (none when not found) and everything printed.
struct Outcome {
  std::optional<std::string> value;
  std::string output;
};

Outcome lookup_in(std::optional<cfg_reader>& reader, const std::string& key) {
  Outcome out;
  if (!reader) {
    ADD_FAILURE() << "no reader";
    return out;
  }
  out.output = capture_stdout([&] { out.value = cfg_lookup(*reader, key); });
  return out;
}

Outcome lookup_lines(const std::vector<std::string>& lines, const std::string& key) {
  LineTable list(lines);
  std::optional<cfg_reader> reader = cfg_open_lines(list.table(), false);
  return lookup_in(reader, key);
}

// Run inside a ScopedTempDir.
Outcome lookup_text(const std::string& text, const std::string& key) {
  write_file("case.zcf", text);
  std::optional<cfg_reader> reader = cfg_open_file("case.zcf", false);
  return lookup_in(reader, key);
}

struct LookupCase {
  const char* name;
  std::vector<std::string> lines;
  std::string key;
  std::optional<std::string> value;  // none: not found
  std::string output = {};           // everything printed
};

const std::string kLong1030 = "k = " + repeat('v', 1026);
const std::string kSection1000 = repeat('s', 1000);
const std::string kKey30 = repeat('k', 30);

const LookupCase kCases[] = {
    // Values
    {"quoted value keeps the blank",
     {"[qvpeep]", "CmdLineOptions = \"+stats -w\""},
     "qvpeep*CmdLineOptions",
     "+stats -w"},
    {"bare value ends at the blank",
     {"[qvpeep]", "CmdLineOptions = +stats -w"},
     "qvpeep*CmdLineOptions",
     "+stats"},
    {"colon separator", {"key:value"}, "key", "value"},
    {"equals with blanks", {"key = value"}, "key", "value"},
    {"blanks alone", {"key \t value"}, "key", "value"},
    {"mixed separator run", {"key :=: = value"}, "key", "value"},
    {"leading blanks before the key", {"   key=value"}, "key", "value"},
    {"separator but no value", {"key = "}, "key", ""},
    {"key alone", {"key"}, "key", ""},
    {"empty quoted value", {"key = \"\""}, "key", ""},
    {"text after a quoted value ignored", {"key = \"a b\"c d"}, "key", "a b"},
    {"first of two equal keys wins", {"a = 1", "a = 2"}, "a", "1"},
    {"keys compare case-sensitively", {"Key = 1"}, "key", std::nullopt},
    {"keys compare whole", {"ab = 1", "a2 = 2"}, "a", std::nullopt},
    {"wanted key longer than entry", {"a = 1"}, "ab", std::nullopt},
    {"empty key finds nothing", {"a = 1", " = 2"}, "", std::nullopt},

    // Comments and blank lines
    {"comment lines",
     {"# k = 1", "; k = 2", "   # k = 3", "\t; k = 4", "", "  ", "k = 5"},
     "k",
     "5"},
    {"hash glued to a bare value", {"k = v#x"}, "k", "v#x"},
    {"hash after a blank ends the value", {"k = v #x y"}, "k", "v"},
    {"comment after a quoted value", {"k = \"v w\" # c"}, "k", "v w"},
    {"carriage return ends a bare value", {"k = v\r"}, "k", "v"},

    // Sections
    {"entry inside a section", {"[s]", "k = v"}, "s*k", "v"},
    {"section entry is not top-level", {"[s]", "k = v"}, "k", std::nullopt},
    {"blanks inside the brackets", {"  [  qvpeep\t]  ", "o = v"}, "qvpeep*o", "v"},
    {"[] closes the only section",
     {"[qvpeep]", "CmdLineOptions = in", "[]", "CmdLineOptions = top"},
     "CmdLineOptions",
     "top"},
    {"[] closes, section key still first",
     {"[qvpeep]", "CmdLineOptions = in", "[]", "CmdLineOptions = top"},
     "qvpeep*CmdLineOptions",
     "in"},
    {"[ ] with blanks closes", {"[s]", "[ ]", "k = v"}, "k", "v"},
    {"[] with no open section is ignored", {"[]", "k = v"}, "k", "v"},
    {"nested sections", {"[a]", "[b]", "k = 1"}, "a*b*k", "1"},
    {"closing the inner section", {"[a]", "[b]", "k = 1", "[]", "k = 2"}, "a*k", "2"},
    {"closing both sections", {"[a]", "[b]", "k = 1", "[]", "k = 2", "[]", "k = 3"}, "k", "3"},
    {"reopening after close", {"[a]", "[]", "[b]", "k = 1"}, "b*k", "1"},
    {"digits in a section name", {"[Q7]", "k = 1"}, "Q7*k", "1"},
    {"blanks after ] allowed", {"[s] \t", "k = 1"}, "s*k", "1"},
    {"text after ] makes an entry", {"[s] note", "k = 1"}, "k", "1"},
    {"text after ] is the value", {"[s] note", "k = 1"}, "[s]", "note"},
    {"bad section name makes an entry", {"[a-b]", "k = v"}, "k", "v"},
    {"bad section line is an entry", {"[a-b] = x"}, "[a-b]", "x"},
    {"two names in brackets make an entry", {"[a b]", "k = v"}, "k", "v"},

    // Escapes
    {"hex escape", {"k = \\x41"}, "k", "A"},
    {"hex escape upper X and digits", {"k = \\X4a\\x4F"}, "k", "JO"},
    {"hex takes two digits only", {"k = \\x414"}, "k", "A4"},
    {"letter escapes", {"k = \"\\a\\b\\f\\n\\r\\t\\v\""}, "k", "\a\b\f\n\r\t\v"},
    {"quote and backslash escapes", {"k = \"a\\\"b\\\\c\""}, "k", "a\"b\\c"},
    {"escaped quote in a bare value", {"k = a\\\"b"}, "k", "a\"b"},
    {"octal escape", {"k = \\101"}, "k", "A"},
    {"octal escape modulo 256", {"k = \\501"}, "k", "A"},
    {"octal takes three digits only", {"k = \\1012"}, "k", "A2"},
    {"escape in a quoted value with blanks", {"k = \"a \\x42 c\""}, "k", "a B c"},

    // Bad values
    {"bad hex escape", {"k = \\x4g"}, "k", "", bad_value("k = \\x4g")},
    {"hex escape cut by the end", {"k = \\x4"}, "k", "", bad_value("k = \\x4")},
    {"short octal escape", {"k = \\12x"}, "k", "", bad_value("k = \\12x")},
    {"unknown escape", {"k = \"a\\qb\""}, "k", "", bad_value("k = \"a\\qb\"")},
    {"backslash at the end", {"k = abc\\"}, "k", "", bad_value("k = abc\\")},
    {"quote inside a bare value", {"k = a\"b\""}, "k", "", bad_value("k = a\"b\"")},
    {"missing closing quote", {"k = \"abc"}, "k", "", bad_value("k = \"abc")},
    {"bad value still counts as found", {"k = \"x", "k = y"}, "k", "", bad_value("k = \"x")},
    {"bad value in another entry is not read", {"j = \"x", "k = y"}, "k", "y"},
    {"bad value line shown to 50 characters",
     {"k = \"" + repeat('z', 60)},
     "k",
     "",
     bad_value("k = \"" + repeat('z', 60))},

    // Too long
    {"too long line ends the lookup",
     {"a = 1", kLong1030, "k = v"},
     "k",
     std::nullopt,
     too_long(kLong1030)},
    {"key found before a too long line", {"a = 1", kLong1030, "k = v"}, "a", "1"},
    {"compound key too long",
     {"[" + kSection1000 + "]", kKey30 + " = v", "[]", "k = top"},
     "k",
     "top",
     key_too_long(kKey30 + " = v")},
    {"compound key of 1024 characters fits",
     {"[" + kSection1000 + "]", repeat('k', 23) + " = v"},
     kSection1000 + "*" + repeat('k', 23),
     "v"},
    {"section path too long is emptied",
     {"[" + repeat('a', 600) + "]", "[" + repeat('b', 500) + "]", "k = v"},
     "k",
     "v",
     key_too_long("[" + repeat('b', 500) + "]")},
};

TEST(CfgLookupTest, LinesAndFileAlike) {
  ScopedTempDir dir;
  for (const LookupCase& c : kCases) {
    Outcome from_lines = lookup_lines(c.lines, c.key);
    EXPECT_EQ(from_lines.value, c.value) << c.name;
    EXPECT_EQ(from_lines.output, c.output) << c.name;
    Outcome from_file = lookup_text(join_lines(c.lines), c.key);
    EXPECT_EQ(from_file.value, c.value) << c.name << " (file)";
    EXPECT_EQ(from_file.output, c.output) << c.name << " (file)";
  }
}

// A file line has room for 1023 characters and its newline, a built-in line
// for 1024 characters.
TEST(CfgLookupTest, LineBounds) {
  ScopedTempDir dir;
  const std::string c1023 = "k = " + repeat('v', 1019);
  const std::string c1024 = "k = " + repeat('v', 1020);
  const std::string c1025 = "k = " + repeat('v', 1021);
  struct Case {
    const char* name;
    bool file;
    std::string text;  // file text, or one built-in line
    const char* key;
    std::optional<std::string> value;
    std::string output;
  } cases[] = {
      {"1023 characters and newline fit", true, c1023 + "\n", "k", repeat('v', 1019), ""},
      {"last line of 1023 without newline fits", true, c1023, "k", repeat('v', 1019), ""},
      {"1024 characters and newline", true, c1024 + "\n", "k", std::nullopt, too_long(c1024)},
      {"last line of 1024 without newline", true, c1024, "k", std::nullopt, too_long(c1024)},
      {"last line without newline", true, "a = 1\nk = v", "k", "v", ""},
      {"CRLF lines", true, "[s]\r\nk = v\r\n", "s*k", "v", ""},
      {"empty file", true, "", "k", std::nullopt, ""},
      {"built-in line of 1024 fits", false, c1024, "k", repeat('v', 1020), ""},
      {"built-in line of 1025", false, c1025, "k", std::nullopt, too_long(c1025)},
  };
  for (const Case& c : cases) {
    Outcome out = c.file ? lookup_text(c.text, c.key) : lookup_lines({c.text}, c.key);
    EXPECT_EQ(out.value, c.value) << c.name;
    EXPECT_EQ(out.output, c.output) << c.name;
  }
}

// Each lookup starts over at the first line with no section open.
TEST(CfgLookupTest, RepeatedLookupsRewind) {
  ScopedTempDir dir;
  const std::vector<std::string> lines = {"k = top", "[s]", "k = in", "j = 2"};
  LineTable list(lines);
  write_file("r.zcf", join_lines(lines));
  std::optional<cfg_reader> readers[] = {cfg_open_lines(list.table(), false),
                                         cfg_open_file("r.zcf", false)};
  for (std::optional<cfg_reader>& r : readers) {
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(cfg_lookup(*r, "s*k"), "in");
    EXPECT_EQ(cfg_lookup(*r, "k"), "top");
    EXPECT_EQ(cfg_lookup(*r, "s*missing"), std::nullopt);
    EXPECT_EQ(cfg_lookup(*r, "j"), std::nullopt);
    EXPECT_EQ(cfg_lookup(*r, "s*j"), "2");
  }
}

TEST(CfgLookupTest, OpenEdges) {
  ScopedTempDir dir;
  EXPECT_FALSE(cfg_open_file("", false).has_value());
  EXPECT_FALSE(cfg_open_file("missing.zcf", true).has_value());
  EXPECT_FALSE(cfg_open_lines(nullptr, false).has_value());
  const char* const empty[] = {nullptr};
  std::optional<cfg_reader> r = cfg_open_lines(empty, false);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(cfg_lookup(*r, "k"), std::nullopt);
}

TEST(CfgLookupTest, MandatoryKeyFoundOrBadGoesOn) {
  const char* const lines[] = {"k = v", "b = \"x", nullptr};
  std::optional<cfg_reader> r = cfg_open_lines(lines, true);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(cfg_lookup(*r, "k"), "v");
  Outcome out = lookup_in(r, "b");
  EXPECT_EQ(out.value, "");
  EXPECT_EQ(out.output, bad_value("b = \"x"));
}

// Standard output is sent to standard error so that the death test sees it.
void lookup_to_stderr(const char* const* lines, const char* key) {
  stdout_to_stderr();
  std::optional<cfg_reader> r = cfg_open_lines(lines, true);
  cfg_lookup(*r, key);
}

TEST(CfgDeathTest, MandatoryKeyMissingExits) {
  const char* const lines[] = {"[s]", "k = v", nullptr};
  EXPECT_EXIT(lookup_to_stderr(lines, "k"), testing::ExitedWithCode(255),
              testing::Eq("No value for mandatory key 'k'\n"));
  EXPECT_EXIT(lookup_to_stderr(lines, ""), testing::ExitedWithCode(255),
              testing::Eq("No value for mandatory key ''\n"));
  const std::string long_line = "s = " + repeat('x', 1100);
  const char* const long_lines[] = {long_line.c_str(), "k = v", nullptr};
  EXPECT_EXIT(lookup_to_stderr(long_lines, "k"), testing::ExitedWithCode(255),
              testing::Eq(too_long(long_line) + "No value for mandatory key 'k'\n"));
}

void open_to_stderr(FILE* fp, const char* const* lines) {
  stdout_to_stderr();
  cfg_open_source(fp, lines, false);
}

TEST(CfgDeathTest, ReaderNeedsExactlyOneSource) {
  const char* const lines[] = {nullptr};
  const char* msg =
      "Assertion failed: ( fp && ! string_list ) || ( ! fp && string_list ), file cfg_file\n";
  EXPECT_EXIT(open_to_stderr(nullptr, nullptr), testing::ExitedWithCode(255), testing::Eq(msg));
  EXPECT_EXIT(open_to_stderr(stdin, lines), testing::ExitedWithCode(255), testing::Eq(msg));
}

// cfg_get in a fresh directory with QVDIR and QVSYS unset, both put back after.
class CfgGetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 2; i++) {
      const char* v = getenv(kNames[i]);
      saved_[i] = v ? std::optional<std::string>(v) : std::nullopt;
      unsetenv(kNames[i]);
    }
  }
  void TearDown() override {
    for (int i = 0; i < 2; i++) {
      if (saved_[i]) {
        setenv(kNames[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(kNames[i]);
      }
    }
  }
  static constexpr const char* kNames[2] = {"QVDIR", "QVSYS"};
  std::optional<std::string> saved_[2];
  ScopedTempDir dir_;
};

const char kKey[] = "qvpeep*CmdLineOptions";
const CfgSources kBoth = {cfg_builtin_lines, false};

TEST_F(CfgGetTest, DefaultFileIsZbaseInTheCurrentDirectory) {
  EXPECT_EQ(cfg_get(kBoth, kKey), "");
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = \"+stats -w\"\n");
  EXPECT_EQ(cfg_get(kBoth, kKey), "+stats -w");
  EXPECT_EQ(cfg_get(kBoth, "qvpeep*Other"), "");
}

TEST_F(CfgGetTest, EnvironmentNamesTheFile) {
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = cwd\n");
  fs::create_directory("tools");
  write_file("tools/mine.zcf", "[qvpeep]\nCmdLineOptions = mine\n");
  write_file("tools/zbase.zcf", "[qvpeep]\nCmdLineOptions = toolsbase\n");
  write_file("other.zcf", "[qvpeep]\nCmdLineOptions = other\n");
  const std::string deep = repeat('d', 200) + "/" + repeat('e', 200);
  fs::create_directories(deep);
  const std::string long_name = repeat('n', 200);
  write_file(deep + "/" + long_name + ".zcf", "[qvpeep]\nCmdLineOptions = far\n");
  const std::string tools = dir_.path() + "/tools";
  const std::string far = dir_.path() + "/" + deep;
  struct Case {
    const char* dir;  // null: unset
    const char* sys;
    const char* value;
  } cases[] = {
      {tools.c_str(), "mine", "mine"},
      {tools.c_str(), nullptr, "toolsbase"},
      {nullptr, "other", "other"},
      {nullptr, "absent", ""},
      {far.c_str(), long_name.c_str(), "far"},
  };
  for (const Case& c : cases) {
    c.dir ? setenv("QVDIR", c.dir, 1) : unsetenv("QVDIR");
    c.sys ? setenv("QVSYS", c.sys, 1) : unsetenv("QVSYS");
    EXPECT_EQ(cfg_get(kBoth, kKey), c.value)
        << (c.dir ? c.dir : "-") << " " << (c.sys ? c.sys : "-");
  }
}

TEST_F(CfgGetTest, BadValueIsEmpty) {
  write_file("zbase.zcf", "[qvpeep]\nBad = \"x\n");
  std::string bad;
  EXPECT_EQ(capture_stdout([&] { bad = cfg_get(kBoth, "qvpeep*Bad"); }), bad_value("Bad = \"x"));
  EXPECT_EQ(bad, "");
}

TEST_F(CfgGetTest, FileWinsOverBuiltInLines) {
  const char* const builtin[] = {"[qvpeep]", "CmdLineOptions = +s", "Only = inside",
                                 "Empty =", nullptr};
  const std::string long_value = repeat('w', 1000);  // the line is 1019 characters
  struct Case {
    const char* name;
    bool builtin_only;
    std::string file;  // empty: no file
    const char* key;
    std::string value;
  } cases[] = {
      {"no file", false, "", kKey, "+s"},
      {"file value wins", false, "[qvpeep]\nCmdLineOptions = -w\n", kKey, "-w"},
      {"empty file value", false, "[qvpeep]\nCmdLineOptions = \"\"\n", kKey, "+s"},
      {"key only built in", false, "[qvpeep]\nCmdLineOptions = -w\n", "qvpeep*Only", "inside"},
      {"key only in file", false, "[qvpeep]\nFileOnly = f\n", "qvpeep*FileOnly", "f"},
      {"key nowhere", false, "[qvpeep]\nCmdLineOptions = -w\n", "qvpeep*None", ""},
      {"empty everywhere", false, "[qvpeep]\nEmpty =\n", "qvpeep*Empty", ""},
      {"long value kept whole", false, "[qvpeep]\nCmdLineOptions = \"" + long_value + "\"\n", kKey,
       long_value},
      {"built-in only ignores the file", true, "[qvpeep]\nCmdLineOptions = -w\n", kKey, "+s"},
      {"built-in only, key in the file", true, "[qvpeep]\nFileOnly = f\n", "qvpeep*FileOnly", ""},
  };
  for (const Case& c : cases) {
    fs::remove("zbase.zcf");
    if (!c.file.empty()) write_file("zbase.zcf", c.file);
    EXPECT_EQ(cfg_get({builtin, c.builtin_only}, c.key), c.value) << c.name;
  }
}

// The program's own lines are empty, so a build limited to them finds nothing.
TEST_F(CfgGetTest, CompiledInLinesOnlyFindNothing) {
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = -w\n");
  EXPECT_EQ(cfg_get({cfg_builtin_lines, true}, kKey), "");
  EXPECT_EQ(cfg_get(kBoth, kKey), "-w");
}

}  // namespace
