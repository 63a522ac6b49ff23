#include "cfg/cfg_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

std::string join_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// A fresh temporary directory that the test runs in.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/cfg_file_test.XXXXXX";
    ASSERT_NE(mkdtemp(templ), nullptr);
    dir_ = templ;
    old_cwd_ = fs::current_path();
    fs::current_path(dir_);
    reset_run_record();
    reset_cfg();
  }
  void TearDown() override {
    fs::current_path(old_cwd_);
    fs::remove_all(dir_);
    reset_run_record();
    reset_cfg();
  }
  fs::path dir_, old_cwd_;
};

// What one lookup gives: the value (none when not found) and everything printed.
struct Outcome {
  std::optional<std::string> value;
  std::string output;
};

Outcome lookup_in(cfg_reader* reader, const char* key) {
  Outcome out;
  const char* value = nullptr;
  out.output = capture_stdout([&] { value = cfg_lookup(reader, key); });
  if (value) out.value = value;
  return out;
}

Outcome lookup_lines(const std::vector<std::string>& lines, const char* key) {
  LineTable list(lines);
  cfg_reader* reader = cfg_open_lines(list.table(), 0);
  EXPECT_NE(reader, nullptr);
  Outcome out = lookup_in(reader, key);
  cfg_close(reader);
  return out;
}

Outcome lookup_text(const std::string& text, const char* key) {
  write_file("case.zcf", text);
  cfg_reader* reader = cfg_open_file("case.zcf", 0);
  EXPECT_NE(reader, nullptr);
  Outcome out = lookup_in(reader, key);
  cfg_close(reader);
  return out;
}

struct LookupCase {
  const char* name;
  std::vector<std::string> lines;
  std::string key;
  std::optional<std::string> value;  // none: not found
  std::string output;                // everything printed
};

const std::string kLong1030 = "k = " + repeat('v', 1026);
const std::string kSection1000 = repeat('s', 1000);
const std::string kKey30 = repeat('k', 30);

const LookupCase kCases[] = {
    // Values
    {"quoted value keeps the blank",
     {"[qvpeep]", "CmdLineOptions = \"+stats -w\""},
     "qvpeep*CmdLineOptions",
     "+stats -w",
     ""},
    {"bare value ends at the blank",
     {"[qvpeep]", "CmdLineOptions = +stats -w"},
     "qvpeep*CmdLineOptions",
     "+stats",
     ""},
    {"colon separator", {"key:value"}, "key", "value", ""},
    {"equals with blanks", {"key = value"}, "key", "value", ""},
    {"blanks alone", {"key \t value"}, "key", "value", ""},
    {"mixed separator run", {"key :=: = value"}, "key", "value", ""},
    {"leading blanks before the key", {"   key=value"}, "key", "value", ""},
    {"separator but no value", {"key = "}, "key", "", ""},
    {"key alone", {"key"}, "key", "", ""},
    {"empty quoted value", {"key = \"\""}, "key", "", ""},
    {"text after a quoted value ignored", {"key = \"a b\"c d"}, "key", "a b", ""},
    {"first of two equal keys wins", {"a = 1", "a = 2"}, "a", "1", ""},
    {"keys compare case-sensitively", {"Key = 1"}, "key", std::nullopt, ""},
    {"keys compare whole", {"ab = 1", "a2 = 2"}, "a", std::nullopt, ""},
    {"wanted key longer than entry", {"a = 1"}, "ab", std::nullopt, ""},
    {"empty key finds nothing", {"a = 1", " = 2"}, "", std::nullopt, ""},

    // Comments and blank lines
    {"comment lines",
     {"# k = 1", "; k = 2", "   # k = 3", "\t; k = 4", "", "  ", "k = 5"},
     "k",
     "5",
     ""},
    {"hash glued to a bare value", {"k = v#x"}, "k", "v#x", ""},
    {"hash after a blank ends the value", {"k = v #x y"}, "k", "v", ""},
    {"comment after a quoted value", {"k = \"v w\" # c"}, "k", "v w", ""},
    {"carriage return ends a bare value", {"k = v\r"}, "k", "v", ""},

    // Sections
    {"entry inside a section", {"[s]", "k = v"}, "s*k", "v", ""},
    {"section entry is not top-level", {"[s]", "k = v"}, "k", std::nullopt, ""},
    {"blanks inside the brackets", {"  [  qvpeep\t]  ", "o = v"}, "qvpeep*o", "v", ""},
    {"[] closes the only section",
     {"[qvpeep]", "CmdLineOptions = in", "[]", "CmdLineOptions = top"},
     "CmdLineOptions",
     "top",
     ""},
    {"[] closes, section key still first",
     {"[qvpeep]", "CmdLineOptions = in", "[]", "CmdLineOptions = top"},
     "qvpeep*CmdLineOptions",
     "in",
     ""},
    {"[ ] with blanks closes", {"[s]", "[ ]", "k = v"}, "k", "v", ""},
    {"[] with no open section is ignored", {"[]", "k = v"}, "k", "v", ""},
    {"nested sections", {"[a]", "[b]", "k = 1"}, "a*b*k", "1", ""},
    {"closing the inner section", {"[a]", "[b]", "k = 1", "[]", "k = 2"}, "a*k", "2", ""},
    {"closing both sections", {"[a]", "[b]", "k = 1", "[]", "k = 2", "[]", "k = 3"}, "k", "3", ""},
    {"reopening after close", {"[a]", "[]", "[b]", "k = 1"}, "b*k", "1", ""},
    {"digits in a section name", {"[Q7]", "k = 1"}, "Q7*k", "1", ""},
    {"blanks after ] allowed", {"[s] \t", "k = 1"}, "s*k", "1", ""},
    {"text after ] makes an entry", {"[s] note", "k = 1"}, "k", "1", ""},
    {"text after ] is the value", {"[s] note", "k = 1"}, "[s]", "note", ""},
    {"bad section name makes an entry", {"[a-b]", "k = v"}, "k", "v", ""},
    {"bad section line is an entry", {"[a-b] = x"}, "[a-b]", "x", ""},
    {"two names in brackets make an entry", {"[a b]", "k = v"}, "k", "v", ""},

    // Escapes
    {"hex escape", {"k = \\x41"}, "k", "A", ""},
    {"hex escape upper X and digits", {"k = \\X4a\\x4F"}, "k", "JO", ""},
    {"hex takes two digits only", {"k = \\x414"}, "k", "A4", ""},
    {"letter escapes", {"k = \"\\a\\b\\f\\n\\r\\t\\v\""}, "k", "\a\b\f\n\r\t\v", ""},
    {"quote and backslash escapes", {"k = \"a\\\"b\\\\c\""}, "k", "a\"b\\c", ""},
    {"escaped quote in a bare value", {"k = a\\\"b"}, "k", "a\"b", ""},
    {"octal escape", {"k = \\101"}, "k", "A", ""},
    {"octal escape modulo 256", {"k = \\501"}, "k", "A", ""},
    {"octal takes three digits only", {"k = \\1012"}, "k", "A2", ""},
    {"escape in a quoted value with blanks", {"k = \"a \\x42 c\""}, "k", "a B c", ""},

    // Bad values
    {"bad hex escape", {"k = \\x4g"}, "k", "", "Bad value field in config file (k = \\x4g...)\n"},
    {"hex escape cut by the end",
     {"k = \\x4"},
     "k",
     "",
     "Bad value field in config file (k = \\x4...)\n"},
    {"short octal escape",
     {"k = \\12x"},
     "k",
     "",
     "Bad value field in config file (k = \\12x...)\n"},
    {"unknown escape",
     {"k = \"a\\qb\""},
     "k",
     "",
     "Bad value field in config file (k = \"a\\qb\"...)\n"},
    {"backslash at the end",
     {"k = abc\\"},
     "k",
     "",
     "Bad value field in config file (k = abc\\...)\n"},
    {"quote inside a bare value",
     {"k = a\"b\""},
     "k",
     "",
     "Bad value field in config file (k = a\"b\"...)\n"},
    {"missing closing quote",
     {"k = \"abc"},
     "k",
     "",
     "Bad value field in config file (k = \"abc...)\n"},
    {"bad value still counts as found",
     {"k = \"x", "k = y"},
     "k",
     "",
     "Bad value field in config file (k = \"x...)\n"},
    {"bad value in another entry is not read", {"j = \"x", "k = y"}, "k", "y", ""},
    {"bad value line shown to 50 characters",
     {"k = \"" + repeat('z', 60)},
     "k",
     "",
     "Bad value field in config file (" + head50("k = \"" + repeat('z', 60)) + "...)\n"},

    // Too long
    {"too long line ends the lookup",
     {"a = 1", kLong1030, "k = v"},
     "k",
     std::nullopt,
     "Configuration line is too long (" + head50(kLong1030) + ",,,)\n"},
    {"key found before a too long line", {"a = 1", kLong1030, "k = v"}, "a", "1", ""},
    {"compound key too long",
     {"[" + kSection1000 + "]", kKey30 + " = v", "[]", "k = top"},
     "k",
     "top",
     "Compound key too long (" + head50(kKey30 + " = v") + "...)\n"},
    {"compound key of 1024 characters fits",
     {"[" + kSection1000 + "]", repeat('k', 23) + " = v"},
     kSection1000 + "*" + repeat('k', 23),
     "v",
     ""},
    {"section path too long is emptied",
     {"[" + repeat('a', 600) + "]", "[" + repeat('b', 500) + "]", "k = v"},
     "k",
     "v",
     "Compound key too long (" + head50("[" + repeat('b', 500) + "]") + "...)\n"},
};

class CfgLookupTest : public TempDirTest {};

TEST_F(CfgLookupTest, LineList) {
  for (const LookupCase& c : kCases) {
    Outcome out = lookup_lines(c.lines, c.key.c_str());
    EXPECT_EQ(out.value, c.value) << c.name;
    EXPECT_EQ(out.output, c.output) << c.name;
  }
}

TEST_F(CfgLookupTest, File) {
  for (const LookupCase& c : kCases) {
    Outcome out = lookup_text(join_lines(c.lines), c.key.c_str());
    EXPECT_EQ(out.value, c.value) << c.name;
    EXPECT_EQ(out.output, c.output) << c.name;
  }
}

struct BoundCase {
  const char* name;
  std::string text;  // file text, or one built-in line
  const char* key;
  std::optional<std::string> value;
  std::string output;
};

TEST_F(CfgLookupTest, FileLineBound) {
  const std::string fits = "k = " + repeat('v', 1019);  // 1023 characters
  const std::string over = "k = " + repeat('v', 1020);  // 1024 characters
  const BoundCase cases[] = {
      {"1023 characters and newline fit", fits + "\n", "k", repeat('v', 1019), ""},
      {"last line of 1023 without newline fits", fits, "k", repeat('v', 1019), ""},
      {"1024 characters and newline", over + "\n", "k", std::nullopt,
       "Configuration line is too long (" + head50(over) + ",,,)\n"},
      {"last line of 1024 without newline", over, "k", std::nullopt,
       "Configuration line is too long (" + head50(over) + ",,,)\n"},
      {"last line without newline", "a = 1\nk = v", "k", "v", ""},
      {"CRLF lines", "[s]\r\nk = v\r\n", "s*k", "v", ""},
      {"empty file", "", "k", std::nullopt, ""},
  };
  for (const BoundCase& c : cases) {
    Outcome out = lookup_text(c.text, c.key);
    EXPECT_EQ(out.value, c.value) << c.name;
    EXPECT_EQ(out.output, c.output) << c.name;
  }
}

TEST_F(CfgLookupTest, BuiltInLineBound) {
  const std::string fits = "k = " + repeat('v', 1020);  // 1024 characters
  const std::string over = "k = " + repeat('v', 1021);  // 1025 characters
  const BoundCase cases[] = {
      {"1024 characters fit", fits, "k", repeat('v', 1020), ""},
      {"1025 characters", over, "k", std::nullopt,
       "Configuration line is too long (" + head50(over) + ",,,)\n"},
  };
  for (const BoundCase& c : cases) {
    Outcome out = lookup_lines({c.text}, c.key);
    EXPECT_EQ(out.value, c.value) << c.name;
    EXPECT_EQ(out.output, c.output) << c.name;
  }
}

// Each lookup starts over at the first line with no section open.
TEST_F(CfgLookupTest, RepeatedLookupsRewind) {
  const std::vector<std::string> lines = {"k = top", "[s]", "k = in", "j = 2"};
  LineTable list(lines);
  write_file("r.zcf", join_lines(lines));
  cfg_reader* readers[] = {cfg_open_lines(list.table(), 0), cfg_open_file("r.zcf", 0)};
  for (cfg_reader* r : readers) {
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(cfg_lookup(r, "s*k"), "in");
    EXPECT_STREQ(cfg_lookup(r, "k"), "top");
    EXPECT_EQ(cfg_lookup(r, "s*missing"), nullptr);
    EXPECT_EQ(cfg_lookup(r, "j"), nullptr);
    EXPECT_STREQ(cfg_lookup(r, "s*j"), "2");
    cfg_close(r);
  }
}

TEST_F(CfgLookupTest, OpenAndCloseEdges) {
  const char* const empty[] = {nullptr};
  EXPECT_EQ(cfg_open_file(nullptr, 0), nullptr);
  EXPECT_EQ(cfg_open_file("", 0), nullptr);
  EXPECT_EQ(cfg_open_file("missing.zcf", 0), nullptr);
  EXPECT_EQ(cfg_open_file("missing.zcf", 1), nullptr);
  EXPECT_EQ(cfg_open_lines(nullptr, 0), nullptr);
  EXPECT_EQ(cfg_lookup(nullptr, "k"), nullptr);
  cfg_close(nullptr);
  cfg_reader* r = cfg_open_lines(empty, 0);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(cfg_lookup(r, "k"), nullptr);
  EXPECT_EQ(cfg_lookup(r, nullptr), nullptr);
  cfg_close(r);
}

TEST_F(CfgLookupTest, MandatoryKeyFoundOrBadGoesOn) {
  const char* const lines[] = {"k = v", "b = \"x", nullptr};
  cfg_reader* r = cfg_open_lines(lines, 1);
  EXPECT_STREQ(cfg_lookup(r, "k"), "v");
  Outcome out = lookup_in(r, "b");
  EXPECT_EQ(out.value, "");
  EXPECT_EQ(out.output, "Bad value field in config file (b = \"x...)\n");
  cfg_close(r);
}

// Standard output is sent to standard error so that the death test sees it.
void lookup_to_stderr(const char* const* lines, const char* key) {
  stdout_to_stderr();
  cfg_lookup(cfg_open_lines(lines, 1), key);
}

TEST(CfgDeathTest, MandatoryKeyMissingExits) {
  const char* const lines[] = {"[s]", "k = v", nullptr};
  EXPECT_EXIT(lookup_to_stderr(lines, "k"), testing::ExitedWithCode(255),
              testing::Eq("No value for mandatory key 'k'\n"));
  EXPECT_EXIT(lookup_to_stderr(lines, ""), testing::ExitedWithCode(255),
              testing::Eq("No value for mandatory key ''\n"));
  const std::string too_long = "s = " + repeat('x', 1100);
  const char* const long_lines[] = {too_long.c_str(), "k = v", nullptr};
  EXPECT_EXIT(lookup_to_stderr(long_lines, "k"), testing::ExitedWithCode(255),
              testing::Eq("Configuration line is too long (" + head50(too_long) +
                          ",,,)\nNo value for mandatory key 'k'\n"));
}

void open_to_stderr(FILE* fp, const char* const* lines) {
  stdout_to_stderr();
  cfg_open_source(fp, lines, 0);
}

TEST(CfgDeathTest, ReaderNeedsExactlyOneSource) {
  const char* const lines[] = {nullptr};
  const char* msg =
      "Assertion failed: ( fp && ! string_list ) || ( ! fp && string_list ), file cfg_file\n";
  EXPECT_EXIT(open_to_stderr(nullptr, nullptr), testing::ExitedWithCode(255), testing::Eq(msg));
  EXPECT_EXIT(open_to_stderr(stdin, lines), testing::ExitedWithCode(255), testing::Eq(msg));
}

// cfg_get: the built-in lines and the toolchain's configuration file.
class CfgGetTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    cfg_state.embedded_only = false;  // both sources, whatever the build
    for (const char* name : {"QVDIR", "QVSYS"}) {
      const char* v = getenv(name);
      saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    const char* names[] = {"QVDIR", "QVSYS"};
    for (int i = 0; i < 2; i++) {
      if (saved_[i]) {
        setenv(names[i], saved_[i]->c_str(), 1);
      } else {
        unsetenv(names[i]);
      }
    }
    TempDirTest::TearDown();
  }
  std::vector<std::optional<std::string>> saved_;
};

std::optional<std::string> get(const char* key) {
  const char* v = cfg_get(key);
  return v ? std::optional<std::string>(v) : std::nullopt;
}

const char kKey[] = "qvpeep*CmdLineOptions";

TEST_F(CfgGetTest, DefaultFileIsZbaseInTheCurrentDirectory) {
  EXPECT_EQ(get(kKey), std::nullopt);
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = \"+stats -w\"\n");
  EXPECT_EQ(get(kKey), "+stats -w");
  EXPECT_EQ(get("qvpeep*Other"), std::nullopt);
  EXPECT_STREQ(cfg_state.file_value, "");
}

TEST_F(CfgGetTest, EnvironmentNamesTheFile) {
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = cwd\n");
  fs::create_directory("tools");
  write_file("tools/mine.zcf", "[qvpeep]\nCmdLineOptions = mine\n");
  write_file("tools/zbase.zcf", "[qvpeep]\nCmdLineOptions = toolsbase\n");
  write_file("other.zcf", "[qvpeep]\nCmdLineOptions = other\n");
  setenv("QVDIR", (dir_ / "tools").c_str(), 1);
  setenv("QVSYS", "mine", 1);
  EXPECT_EQ(get(kKey), "mine");
  unsetenv("QVSYS");
  EXPECT_EQ(get(kKey), "toolsbase");
  unsetenv("QVDIR");
  setenv("QVSYS", "other", 1);
  EXPECT_EQ(get(kKey), "other");
  setenv("QVSYS", "absent", 1);
  EXPECT_EQ(get(kKey), std::nullopt);
}

TEST_F(CfgGetTest, LongEnvironmentValues) {
  const std::string deep = repeat('d', 200) + "/" + repeat('e', 200);
  fs::create_directories(deep);
  const std::string sys = repeat('n', 200);
  write_file(deep + "/" + sys + ".zcf", "[qvpeep]\nCmdLineOptions = far\n");
  setenv("QVDIR", (dir_ / deep).c_str(), 1);
  setenv("QVSYS", sys.c_str(), 1);
  EXPECT_EQ(get(kKey), "far");
}

TEST_F(CfgGetTest, EmptyValuesAreNull) {
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions =\nBad = \"x\n");
  EXPECT_EQ(get(kKey), std::nullopt);
  std::optional<std::string> bad;
  EXPECT_EQ(capture_stdout([&] { bad = get("qvpeep*Bad"); }),
            "Bad value field in config file (Bad = \"x...)\n");
  EXPECT_EQ(bad, std::nullopt);
}

TEST_F(CfgGetTest, LongValueKeptWhole) {
  const std::string value = repeat('w', 1000);  // the line is 1019 characters
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = \"" + value + "\"\n");
  EXPECT_EQ(get(kKey), value);
}

TEST_F(CfgGetTest, FileWinsOverBuiltInLines) {
  const char* const builtin[] = {"[qvpeep]", "CmdLineOptions = +s", "Only = inside", nullptr};
  cfg_state.builtin_lines = builtin;
  struct Case {
    const char* name;
    const char* file;  // null: no file
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"no file", nullptr, kKey, "+s"},
      {"file value wins", "[qvpeep]\nCmdLineOptions = -w\n", kKey, "-w"},
      {"empty file value", "[qvpeep]\nCmdLineOptions = \"\"\n", kKey, "+s"},
      {"key only built in", "[qvpeep]\nCmdLineOptions = -w\n", "qvpeep*Only", "inside"},
      {"key only in file", "[qvpeep]\nFileOnly = f\n", "qvpeep*FileOnly", "f"},
      {"key nowhere", "[qvpeep]\nCmdLineOptions = -w\n", "qvpeep*None", std::nullopt},
  };
  for (const Case& c : cases) {
    fs::remove("zbase.zcf");
    if (c.file) write_file("zbase.zcf", c.file);
    EXPECT_EQ(get(c.key), c.value) << c.name;
  }
}

TEST_F(CfgGetTest, EmbeddedOnlyIgnoresTheFile) {
  write_file("zbase.zcf", "[qvpeep]\nCmdLineOptions = -w\nOther = x\n");
  cfg_state.embedded_only = true;
  EXPECT_EQ(get(kKey), std::nullopt);
  EXPECT_EQ(get("qvpeep*Other"), std::nullopt);
  const char* const builtin[] = {"[qvpeep]", "CmdLineOptions = +s", "Empty =", nullptr};
  cfg_state.builtin_lines = builtin;
  EXPECT_EQ(get(kKey), "+s");
  EXPECT_EQ(get("qvpeep*Empty"), std::nullopt);
}

TEST_F(CfgGetTest, ResetFollowsTheBuildSetting) {
  cfg_state.embedded_only = !cfg_state.embedded_only;
  reset_cfg();
#if defined(QVPEEP_EMBEDDED_ONLY) && QVPEEP_EMBEDDED_ONLY
  EXPECT_TRUE(cfg_state.embedded_only);
#else
  EXPECT_FALSE(cfg_state.embedded_only);
#endif
  EXPECT_EQ(cfg_state.builtin_lines, cfg_builtin_lines);
  EXPECT_EQ(cfg_builtin_lines[0], nullptr);
}

}  // namespace
