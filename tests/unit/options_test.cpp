#include "driver/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "base/run.h"
#include "test_support.h"

namespace {

const char kUsage[] =
    "Usage: qvpeep [option]* vop-file [output-vop-file]\n"
    "Options:\n"
    "   +s          - be silent unless errors occur\n"
    "   -w          - turn off warning messages\n"
    "   msg=file    - append messages to file\n"
    "   status=file - write exit status to file\n"
    "   wd=dir      - set working directory\n"
    "   x=file      - collect options from file\n"
    "   rls=        - use the given replacement rules file\n"
    "   +stats      - display optimization statistics\n";
const char kDebugUsage[] =
    "   +z          - turn on general debugging info\n"
    "   +zr         - turn on rules debugging info\n"
    "   +zo         - turn on optimizer debugging info\n";
const char kUsageEnd[] = "If output-vop-file is not given, vop-file will be overwritten\n";

// What a usage error prints for `message` (with its location prefix, if any).
std::string usage_output(const std::string& message, bool debug = false) {
  return "qvpeep 1.07 2003/05/14\n" + message + "\n" + kUsage + (debug ? kDebugUsage : "") +
         kUsageEnd;
}

class OptionsTest : public RunRecordTest {
 protected:
  void SetUp() override {
    RunRecordTest::SetUp();
    const char* argv[] = {"qvpeep"};
    parser_.set_prog_name(1, argv);
  }
  // Parses one list of words as the command line would.
  void parse(std::vector<const char*> words) {
    words.insert(words.begin(), "qvpeep");
    parser_.parse_options(static_cast<int>(words.size()), words.data());
  }

  Options o_;
  OptionParser parser_{o_};
};

struct SwitchCase {
  std::vector<const char*> words;
  bool warnings_off, silent, show_stats, debug_labels_on;
  int debug, rules_debug, opt_debug;
};

const SwitchCase kSwitches[] = {
    {{}, false, false, false, true, 0, 0, 0},
    {{"-w"}, true, false, false, true, 0, 0, 0},
    {{"+s"}, false, true, false, true, 0, 0, 0},
    {{"+stats"}, false, false, true, true, 0, 0, 0},
    {{"-dbg"}, false, false, false, false, 0, 0, 0},
    {{"+z", "+zo", "+z", "+zr", "+zo", "+zo"}, false, false, false, true, 2, 1, 3},
};

TEST_F(OptionsTest, Switches) {
  for (const SwitchCase& c : kSwitches) {
    SCOPED_TRACE(c.words.empty() ? "none" : c.words[0]);
    reset_run_record();
    Options o;
    OptionParser p(o);
    std::vector<const char*> words = c.words;
    words.insert(words.begin(), "qvpeep");
    p.parse_options(static_cast<int>(words.size()), words.data());
    EXPECT_EQ(o.warnings_off, c.warnings_off);
    EXPECT_EQ(run.warnings_off, c.warnings_off);
    EXPECT_EQ(o.silent, c.silent);
    EXPECT_EQ(o.show_stats, c.show_stats);
    EXPECT_EQ(o.debug_labels_on, c.debug_labels_on);
    EXPECT_EQ(o.debug_level, c.debug);
    EXPECT_EQ(o.rules_debug_level, c.rules_debug);
    EXPECT_EQ(o.opt_debug_level, c.opt_debug);
  }
}

TEST_F(OptionsTest, FileNamesAndRulesName) {
  parse({"+s", "rls=peep", "in", "status=st", "out"});
  EXPECT_EQ(o_.input_name, "in");
  EXPECT_EQ(o_.output_name, "out");
  EXPECT_EQ(o_.rules_name, "peep");
  EXPECT_TRUE(o_.input_given && o_.output_given && o_.rules_given && o_.rules_designated);
  EXPECT_STREQ(run.status_file_name.load(), "st");
}

struct UsageCase {
  std::vector<const char*> words;
  std::string output;
};

const UsageCase kUsageErrors[] = {
    // Switches are case-sensitive and exact.
    {{"-W"}, usage_output("Unknown option -W")},
    {{"-"}, usage_output("Unknown option -")},
    {{"+S"}, usage_output("Unknown option +S")},
    {{"+zz"}, usage_output("Unknown option +zz")},
    {{"a", "b", "c"}, usage_output("More than one input and output file defined")},
    {{"rls=a", "in", "rls=a"}, usage_output("More than one replacement rules file defined")},
    // Any debug switch given before shows the debug switches; -dbg is none.
    {{"-dbg", "-x"}, usage_output("Unknown option -x")},
    {{"+zo", "-x"}, usage_output("Unknown option -x", true)},
    {{"+zr", "-x"}, usage_output("Unknown option -x", true)},
    {{"+z", "+z", "-x"},
     usage_output("Unknown option -x", true) +
         "qvpeep - table-driven peephole optimizer\n"
         "rewrites MSP430 VOP files by replacement rules\n"},
};

TEST_F(OptionsTest, UsageErrors) {
  for (const UsageCase& c : kUsageErrors) {
    SCOPED_TRACE(c.words.back());
    EXPECT_EXIT_PRINTS(parse(c.words), 255, c.output);
  }
}

TEST_F(OptionsTest, UsageNamesTheInvocationPathWhenItDiffers) {
  const char* argv[] = {"./bin/QVPEEP.exe"};
  parser_.set_prog_name(1, argv);
  EXPECT_EXIT_PRINTS(
      parse({"-x"}), 255,
      usage_output("Unknown option -x") + "\"qvpeep\" was invoked as \"./bin/QVPEEP.exe\"\n");
}

TEST_F(OptionsTest, UsageErrorWritesTheStatusByte) {
  ScopedTempDir dir;
  EXPECT_EXIT_PRINTS(parse({"-W", "status=st"}), 255, usage_output("Unknown option -W"));
  EXPECT_EQ(read_file("st"), std::string(1, '\0'));
}

struct ProgNameCase {
  std::string argv0;
  std::string name;
};

TEST_F(OptionsTest, ProgNameFromInvocationName) {
  const ProgNameCase cases[] = {
      {"/usr/local/bin/QVPeep.EXE", "qvpeep"},
      {"c:\\tools\\qvpeep.exe", "qvpeep"},
      {"a:Peep", "peep"},
      {"dir.d/prog", "prog"},
      {"my.peep.exe", "my.peep"},
      {"", ""},
      {"/bin/" + std::string(200, 'Q') + ".exe", std::string(127, 'q')},
  };
  for (const ProgNameCase& c : cases) {
    SCOPED_TRACE(c.argv0);
    const char* argv[] = {c.argv0.c_str()};
    parser_.set_prog_name(1, argv);
    EXPECT_EQ(run.prog_name, c.name);
    EXPECT_EQ(o_.prog_path, c.argv0);
  }
  parser_.set_prog_name(0, nullptr);
  EXPECT_STREQ(run.prog_name, "");
}

// Option files

TEST_F(OptionsTest, OptionFileWordsAndNesting) {
  ScopedTempDir dir;
  std::string many;
  for (int i = 0; i < 25; i++) many += "+z ";
  write_file("outer.x", "+zr  in\n\nx=inner.x\n\t+zr\fstatus=a status=b\nstatus=c\n" + many);
  write_file("inner.x", "+zo out\n+zo\n");
  parse({"x=outer.x", "-w"});
  EXPECT_EQ(o_.rules_debug_level, 2);
  EXPECT_EQ(o_.opt_debug_level, 2);
  EXPECT_EQ(o_.debug_level, 25);
  EXPECT_TRUE(o_.warnings_off);
  EXPECT_EQ(o_.input_name, "in");
  EXPECT_EQ(o_.output_name, "out");
  // Each line is a list of its own, whose word outlives the file.
  EXPECT_STREQ(run.status_file_name.load(), "c");
}

struct FileCase {
  const char* what;
  std::map<std::string, std::string> files;
  std::vector<const char*> words;
  std::string output;
};

// 255 characters end a piece of a line; the rest counts as the next line.
const std::string kLongLine = "+s" + std::string(253, ' ') + "+stats" + std::string(39, ' ');

const FileCase kFileErrors[] = {
    {"third line", {{"o.x", "+s\n\n-bad\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 3: Unknown option -bad")},
    {"a long line counts as two", {{"o.x", kLongLine + "\n-X\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 3: Unknown option -X")},
    {"the piece boundary cuts a word", {{"o.x", std::string(250, ' ') + "+stats\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 1: Unknown option +stat")},
    {"inner file's own location", {{"o.x", "+s\nx=i.x\n"}, {"i.x", "\n-worse\n"}}, {"x=o.x"},
     usage_output("\"i.x\", line 2: Unknown option -worse")},
    {"outer location after an inner file", {{"o.x", "+s\nx=i.x\n-bad\n"}, {"i.x", "+zo\n"}},
     {"x=o.x"}, usage_output("\"o.x\", line 3: Unknown option -bad", true)},
    {"missing file", {}, {"x=none.x"}, usage_output("Cannot open qvpeep options file none.x")},
    {"missing file named in a file", {{"o.x", "+s\nx=none.x\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 2: Cannot open qvpeep options file none.x")},
    {"rules named twice", {{"o.x", "rls=other\n"}}, {"rls=peep", "x=o.x"},
     usage_output("\"o.x\", line 1: More than one replacement rules file defined")},
    {"a file that names itself", {{"o.x", "x=o.x\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 1: qvpeep options files nested more than 16 deep at o.x")},
    {"a directory", {}, {"x=."}, usage_output("Cannot read qvpeep options file .")},
};

TEST_F(OptionsTest, OptionFileErrorsNameTheirLocation) {
  for (const FileCase& c : kFileErrors) {
    SCOPED_TRACE(c.what);
    ScopedTempDir dir;
    for (const auto& [name, text] : c.files) write_file(name, text);
    EXPECT_EXIT_PRINTS(parse(c.words), 255, c.output);
  }
}

TEST_F(OptionsTest, LongLineWordsAreAllTaken) {
  ScopedTempDir dir;
  write_file("o.x", kLongLine + "\n");
  parse({"x=o.x"});
  EXPECT_TRUE(o_.silent);
  EXPECT_TRUE(o_.show_stats);
}

// Options from the configuration

TEST_F(OptionsTest, ConfigTextWordsUpToANewline) {
  o_.debug_level = 1;
  std::string out =
      capture_stdout([&] { parser_.inject_option_text(" +zr\t+stats\f status=st  out\n+s"); });
  EXPECT_EQ(out,
            "Global cmd line option '+zr'\n"
            "Global cmd line option '+stats'\n"
            "Global cmd line option 'status=st'\n"
            "Global cmd line option 'out'\n");
  EXPECT_EQ(o_.rules_debug_level, 1);
  EXPECT_TRUE(o_.show_stats);
  EXPECT_FALSE(o_.silent);
  EXPECT_EQ(o_.input_name, "out");
  EXPECT_STREQ(run.status_file_name.load(), "st");
  parser_.inject_option_text(nullptr);
  parser_.inject_option_text("");
  parser_.inject_option_text(" \t\n+s");
  EXPECT_FALSE(o_.silent);
}

TEST_F(OptionsTest, ConfigTextOf1023Words) {
  std::string value;
  for (int i = 0; i < 1023; i++) value += "+z ";
  parser_.inject_option_text(value.c_str());
  EXPECT_EQ(o_.debug_level, 1023);
}

TEST_F(OptionsTest, ConfigTextOf1024WordsEndsAtOnce) {
  ScopedTempDir dir;
  std::string value = "status=st";
  for (int i = 1; i < 1024; i++) value += " +z";
  run.status_file_name = "earlier";
  EXPECT_EXIT_PRINTS(parser_.inject_option_text(value.c_str()), 255,
                     "Too many command line options in .zcf file\n");
  // Nothing was parsed, and no status byte written.
  EXPECT_FALSE(file_exists("earlier"));
  EXPECT_FALSE(file_exists("st"));
}

// Names

TEST(OptionsNamesTest, FileExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.b.c", ".c"},    {"file", nullptr},      {"dir.x/file", nullptr},
      {"dir\\sub.d\\name", nullptr}, {"dir\\name.s", ".s"}, {".hidden", ".hidden"},
      {"dir/.hidden", ".hidden"}, {"name.", "."}, {"c:na.me", ".me"}, {"", nullptr},
  };
  for (auto [name, extension] : cases) {
    SCOPED_TRACE(name);
    const char* ext = file_extension(name);
    EXPECT_STREQ(ext, extension);
  }
}

struct CompleteCase {
  const char* input;
  const char* output;  // null: none given
  const char* rules;   // null: no rls=
  bool embedded;
  const char* want_input;
  const char* want_output;
  const char* want_rules;
};

const CompleteCase kCompletions[] = {
    {"prog", nullptr, nullptr, false, "prog.asm", "", "/opt/tools/f149.rls"},
    {"prog", "out", nullptr, false, "prog.asm", "out.asm", "/opt/tools/f149.rls"},
    {"a.b.c", "o.v", "my", false, "a.b.c", "o.v", "my.rls"},
    {"dir.v/name", nullptr, "r.x/peep", false, "dir.v/name.asm", "", "r.x/peep.rls"},
    {"prog.s", "prog", "keep.r", false, "prog.s", "prog.asm", "keep.r"},
    {"prog", nullptr, "peep", true, "prog.asm", "", ""},
    {"prog", nullptr, nullptr, true, "prog.asm", "", ""},
};

TEST(OptionsNamesTest, CompleteNames) {
  for (const CompleteCase& c : kCompletions) {
    SCOPED_TRACE(c.input);
    Options o;
    o.toolchain_dir = "/opt/tools";
    o.system_name = "f149";
    o.input_name = c.input;
    o.input_given = true;
    o.output_given = c.output != nullptr;
    o.output_name = c.output ? c.output : "";
    o.rules_given = c.rules != nullptr;
    o.rules_name = c.rules ? c.rules : "";
    OptionParser(o).complete_names(c.embedded);
    EXPECT_EQ(o.input_name, c.want_input);
    EXPECT_EQ(o.output_name, c.want_output);
    EXPECT_EQ(o.rules_name, c.want_rules);
  }
}

TEST_F(OptionsTest, OutputMustDifferFromInput) {
  ScopedTempDir dir;
  write_file("prog.asm", "\tnop\n");
  ASSERT_EQ(symlink("prog.asm", "link.asm"), 0);
  const std::vector<const char*> cases[] = {{"prog.asm", "prog"}, {"prog", "link"}};
  for (const auto& words : cases) {
    SCOPED_TRACE(words[1]);
    Options o;
    OptionParser p(o);
    std::vector<const char*> argv = {"qvpeep", words[0], words[1]};
    p.set_prog_name(1, argv.data());
    p.parse_options(3, argv.data());
    EXPECT_EXIT_PRINTS(p.complete_names(false), 255,
                       usage_output("Output file must be different from input file"));
  }
}

}  // namespace
