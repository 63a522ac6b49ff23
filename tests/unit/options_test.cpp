#include "driver/options.h"

#include <gtest/gtest.h>
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

// The settings, in the order -w (the options' and the run's), +s, +stats, -dbg, +z, +zr, +zo.
const std::pair<std::vector<const char*>, std::vector<int>> kSwitches[] = {
    {{}, {0, 0, 0, 0, 1, 0, 0, 0}},
    {{"-w"}, {1, 1, 0, 0, 1, 0, 0, 0}},
    {{"+s"}, {0, 0, 1, 0, 1, 0, 0, 0}},
    {{"+stats"}, {0, 0, 0, 1, 1, 0, 0, 0}},
    {{"-dbg"}, {0, 0, 0, 0, 0, 0, 0, 0}},
    {{"+z", "+zo", "+z", "+zr", "+zo", "+zo"}, {0, 0, 0, 0, 1, 2, 1, 3}},
};

TEST_F(OptionsTest, Switches) {
  for (const auto& [words, settings] : kSwitches) {
    SCOPED_TRACE(words.empty() ? "none" : words[0]);
    reset_run_record();
    o_ = Options();
    parse(words);
    EXPECT_EQ(std::vector<int>({o_.warnings_off, run.warnings_off, o_.silent, o_.show_stats,
                                o_.debug_labels_on, o_.debug_level, o_.rules_debug_level,
                                o_.opt_debug_level}),
              settings);
  }
}

TEST_F(OptionsTest, FileNamesAndRulesName) {
  parse({"+s", "rls=peep", "in", "out"});
  EXPECT_EQ(o_.input_name + " " + o_.output_name + " " + o_.rules_name, "in out peep");
  EXPECT_TRUE(o_.input_given && o_.output_given && o_.rules_given && o_.rules_designated);
}

struct UsageCase {
  std::vector<const char*> words;
  std::string output;
};

const UsageCase kUsageErrors[] = {
    // Switches are case-sensitive and exact.
    {{"+S"}, usage_output("Unknown option +S")},
    {{"+zz"}, usage_output("Unknown option +zz")},
    {{"rls=a", "in", "rls=b"}, usage_output("More than one replacement rules file defined")},
    // Any debug switch given before shows the debug switches; -dbg is none.
    {{"-dbg", "-x"}, usage_output("Unknown option -x")},
    {{"+zo", "-x"}, usage_output("Unknown option -x", true)},
    {{"+zr", "-x"}, usage_output("Unknown option -x", true)},
    {{"+z", "-x"}, usage_output("Unknown option -x", true)},
};

TEST_F(OptionsTest, UsageErrors) {
  for (const UsageCase& c : kUsageErrors) {
    SCOPED_TRACE(c.words.back());
    EXPECT_EXIT_PRINTS(parse(c.words), 255, c.output);
  }
}

TEST_F(OptionsTest, ProgNameFromInvocationName) {
  const std::pair<std::string, std::string> cases[] = {
      {"/usr/local/bin/QVPeep.EXE", "qvpeep"},
      {"c:\\tools\\qvpeep.exe", "qvpeep"},
      {"a:Peep", "peep"},
      {"dir.d/prog", "prog"},
      {"my.peep.exe", "my.peep"},
      {"", ""},
      {"/bin/" + std::string(200, 'Q') + ".exe", std::string(127, 'q')},
  };
  for (const auto& [argv0, name] : cases) {
    const char* argv[] = {argv0.c_str()};
    parser_.set_prog_name(1, argv);
    EXPECT_EQ(run.prog_name, name) << argv0;
    EXPECT_EQ(o_.prog_path, argv0);
  }
  parser_.set_prog_name(0, nullptr);
  EXPECT_STREQ(run.prog_name, "");
  const char* argv[] = {"./bin/QVPEEP.exe"};
  parser_.set_prog_name(1, argv);
  EXPECT_EXIT_PRINTS(
      parse({"-x"}), 255,
      usage_output("Unknown option -x") + "\"qvpeep\" was invoked as \"./bin/QVPEEP.exe\"\n");
}

// 255 characters end a piece of a line; the rest counts as the next line.
const std::string kLongLine = "+s" + std::string(253, ' ') + "+stats" + std::string(39, ' ');

TEST_F(OptionsTest, OptionFileWordsAndNesting) {
  ScopedTempDir dir;
  std::string many;
  for (int i = 0; i < 25; i++) many += "+z ";
  write_file("outer.x", "+zr  in\n\nx=inner.x\n\t+zr\fstatus=a status=b\nstatus=c\n" + many + "\n" +
                            kLongLine);
  write_file("inner.x", "+zo out\n+zo\n");
  parse({"x=outer.x", "-w"});
  EXPECT_EQ(o_.rules_debug_level, 2);
  EXPECT_EQ(o_.opt_debug_level, 2);
  EXPECT_EQ(o_.debug_level, 25);
  EXPECT_TRUE(o_.warnings_off && o_.silent && o_.show_stats);
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

const FileCase kFileErrors[] = {
    {"the piece boundary cuts a word", {{"o.x", std::string(250, ' ') + "+stats\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 1: Unknown option +stat")},
    {"inner file's own location", {{"o.x", "+s\nx=i.x\n"}, {"i.x", "\n-worse\n"}}, {"x=o.x"},
     usage_output("\"i.x\", line 2: Unknown option -worse")},
    {"missing file named in a file", {{"o.x", "+s\nx=none.x\n"}}, {"x=o.x"},
     usage_output("\"o.x\", line 2: Cannot open qvpeep options file none.x")},
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

TEST_F(OptionsTest, ConfigTextWordsUpToANewline) {
  o_.debug_level = 1;
  std::string out =
      capture_stdout([&] { parser_.inject_option_text(" +zr\t+stats\f status=st  out\n+s"); });
  EXPECT_EQ(out,
            "Global cmd line option '+zr'\n"
            "Global cmd line option '+stats'\n"
            "Global cmd line option 'status=st'\n"
            "Global cmd line option 'out'\n");
  EXPECT_TRUE(o_.rules_debug_level == 1 && o_.show_stats && !o_.silent);
  EXPECT_EQ(o_.input_name, "out");
  EXPECT_STREQ(run.status_file_name.load(), "st");
  parser_.inject_option_text(nullptr);
  parser_.inject_option_text("");
  parser_.inject_option_text(" \t\n+s");
  EXPECT_FALSE(o_.silent);
}

TEST_F(OptionsTest, ConfigTextOfAtMost1023Words) {
  ScopedTempDir dir;
  std::string value = "status=st";
  for (int i = 1; i < 1023; i++) value += " +zr";
  parser_.inject_option_text(value.c_str());
  EXPECT_EQ(o_.rules_debug_level, 1022);
  value += " +zr";
  run.status_file_name = "earlier";
  EXPECT_EXIT_PRINTS(parser_.inject_option_text(value.c_str()), 255,
                     "Too many command line options in .zcf file\n");
  // Nothing was parsed, and no status byte written.
  EXPECT_FALSE(file_exists("earlier"));
  EXPECT_FALSE(file_exists("st"));
}

TEST(OptionsNamesTest, FileExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.b.c", ".c"},       {"dir.x/file", nullptr}, {"dir\\sub.d\\name", nullptr},
      {"dir/.hidden", ".hidden"}, {"name.", "."},     {"c:na.me", ".me"}, {"", nullptr},
  };
  for (auto [name, extension] : cases) EXPECT_STREQ(file_extension(name), extension) << name;
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
    if (c.output) o.output_name = c.output, o.output_given = true;
    if (c.rules) o.rules_name = c.rules, o.rules_given = true;
    OptionParser(o).complete_names(c.embedded);
    EXPECT_EQ(o.input_name, c.want_input);
    EXPECT_EQ(o.output_name, c.want_output);
    EXPECT_EQ(o.rules_name, c.want_rules);
  }
}

TEST_F(OptionsTest, OutputThroughALinkToTheInput) {
  ScopedTempDir dir;
  write_file("prog.asm", "\tnop\n");
  ASSERT_EQ(symlink("prog.asm", "link.asm"), 0);
  parse({"prog", "link"});
  EXPECT_EXIT_PRINTS(parser_.complete_names(false), 255,
                     usage_output("Output file must be different from input file"));
}

}  // namespace
