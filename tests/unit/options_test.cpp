#include "driver/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/options.h"
#include "base/run.h"
#include "base/storage.h"
#include "driver/rules_source.h"
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
const char kBanner[] = "qvpeep 1.07 2003/05/14\n";

// What usage_error prints for `message` (with its location prefix, if any).
std::string usage_output(const std::string& message, bool debug = false) {
  return kBanner + message + "\n" + kUsage + (debug ? kDebugUsage : "") + kUsageEnd;
}

class OptionsTest : public ResetModulesTest {
 protected:
  void reset_all() override {
    reset_all_modules();
    const char* argv[] = {"qvpeep"};
    set_prog_name(1, argv);
  }

  // Parses one list of words as the command line would.
  static void parse(std::vector<const char*> words) {
    words.insert(words.begin(), "qvpeep");
    parse_options(static_cast<int>(words.size()), words.data());
  }

  static std::string cwd() {
    char* dir = getcwd(nullptr, 0);
    std::string text = dir;
    free(dir);
    return text;
  }
};

// Names

struct ExtensionCase {
  const char* name;
  const char* extension;  // null: none
};

const ExtensionCase kExtensions[] = {
    {"a.b.c", ".c"},
    {"prog.asm", ".asm"},
    {"file", nullptr},
    {"dir.x/file", nullptr},
    {"dir.v/name", nullptr},
    {"dir\\sub.d\\name", nullptr},
    {"dir\\name.s", ".s"},
    {".hidden", ".hidden"},
    {"dir/.hidden", ".hidden"},
    {"name.", "."},
    // ':' does not stop the scan.
    {"c:name", nullptr},
    {"c:na.me", ".me"},
    {"x", nullptr},
    {"", nullptr},
};

TEST_F(OptionsTest, FileExtension) {
  for (const ExtensionCase& c : kExtensions) {
    SCOPED_TRACE(c.name);
    const char* ext = file_extension(c.name);
    if (c.extension) {
      ASSERT_NE(ext, nullptr);
      EXPECT_STREQ(ext, c.extension);
    } else {
      EXPECT_EQ(ext, nullptr);
    }
  }
}

struct CompleteCase {
  const char* input;
  const char* output;  // null: none given
  const char* rules;   // null: no rls=
  const char* want_input;
  const char* want_output;
  const char* want_rules;
};

const CompleteCase kCompletions[] = {
    {"prog", nullptr, nullptr, "prog.asm", "", "./zbase.rls"},
    {"prog", "out", nullptr, "prog.asm", "out.asm", "./zbase.rls"},
    {"a.b.c", "o.v", "my", "a.b.c", "o.v", "my.rls"},
    {"dir.v/name", nullptr, "r.x/peep", "dir.v/name.asm", "", "r.x/peep.rls"},
    {"prog.s", "prog", "keep.r", "prog.s", "prog.asm", "keep.r"},
    {".hidden", nullptr, nullptr, ".hidden", "", "./zbase.rls"},
};

TEST_F(OptionsTest, CompleteNames) {
  for (const CompleteCase& c : kCompletions) {
    SCOPED_TRACE(c.input);
    reset_all();
    opts.input_name = c.input;
    opts.input_given = true;
    if (c.output) {
      opts.output_name = c.output;
      opts.output_given = true;
    }
    if (c.rules) {
      opts.rules_name = c.rules;
      opts.rules_given = true;
    }
    complete_names();
    EXPECT_EQ(opts.input_name, c.want_input);
    EXPECT_EQ(opts.output_name, c.want_output);
    EXPECT_EQ(opts.rules_name, embedded_only ? "" : c.want_rules);
  }
}

TEST_F(OptionsTest, DefaultRulesNameFromToolchainDirAndSystem) {
  opts.toolchain_dir = "/opt/tools";
  opts.system_name = "f149";
  complete_names();
  EXPECT_EQ(opts.rules_name, embedded_only ? "" : "/opt/tools/f149.rls");
}

TEST_F(OptionsTest, EmbeddedOnlyBuildHasNoRulesName) {
  for (bool given : {false, true}) {
    SCOPED_TRACE(given ? "rls= given" : "no rls=");
    reset_all();
    rules_source.embedded_only = true;
    opts.input_name = "prog";
    opts.input_given = true;
    opts.rules_name = "peep";
    opts.rules_given = given;
    complete_names();
    EXPECT_EQ(opts.rules_name, "");
    EXPECT_EQ(opts.input_name, "prog.asm");
  }
}

TEST_F(OptionsTest, OutputEqualToInputAfterCompletion) {
  parse({"prog.asm", "prog"});
  EXPECT_EXIT_PRINTS(complete_names(), 255,
                     usage_output("Output file must be different from input file"));
}

struct ProgNameCase {
  const char* argv0;
  const char* name;
};

const ProgNameCase kProgNames[] = {
    {"qvpeep", "qvpeep"},
    {"/usr/local/bin/QVPeep.EXE", "qvpeep"},
    {"c:\\tools\\qvpeep.exe", "qvpeep"},
    {"a:Peep", "peep"},
    {"dir.d/prog", "prog"},
    {"my.peep.exe", "my.peep"},
    {"", ""},
};

TEST_F(OptionsTest, ProgNameFromInvocationName) {
  for (const ProgNameCase& c : kProgNames) {
    SCOPED_TRACE(c.argv0);
    const char* argv[] = {c.argv0};
    set_prog_name(1, argv);
    EXPECT_STREQ(run.prog_name, c.name);
    EXPECT_EQ(opts.prog_path, c.argv0);
  }
  set_prog_name(0, nullptr);
  EXPECT_STREQ(run.prog_name, "");
  EXPECT_EQ(opts.prog_path, "");
}

TEST_F(OptionsTest, ProgNameCutTo127Characters) {
  std::string path = "/bin/" + std::string(200, 'Q') + ".exe";
  const char* argv[] = {path.c_str()};
  set_prog_name(1, argv);
  EXPECT_EQ(std::string(run.prog_name), std::string(127, 'q'));
}

TEST_F(OptionsTest, UsageNamesInvocationPathWhenItDiffers) {
  const char* argv[] = {"./bin/QVPEEP.exe"};
  set_prog_name(1, argv);
  EXPECT_EXIT_PRINTS(
      parse({"-x"}), 255,
      usage_output("Unknown option -x") + "\"qvpeep\" was invoked as \"./bin/QVPEEP.exe\"\n");
}

// Main scan

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
    reset_all();
    parse(c.words);
    EXPECT_EQ(opts.warnings_off, c.warnings_off);
    EXPECT_EQ(opts.silent, c.silent);
    EXPECT_EQ(opts.show_stats, c.show_stats);
    EXPECT_EQ(opts.debug_labels_on, c.debug_labels_on);
    EXPECT_EQ(opts.debug_level, c.debug);
    EXPECT_EQ(opts.rules_debug_level, c.rules_debug);
    EXPECT_EQ(opts.opt_debug_level, c.opt_debug);
  }
}

TEST_F(OptionsTest, FileNamesAndRulesName) {
  parse({"+s", "rls=peep", "in", "out"});
  EXPECT_EQ(opts.input_name, "in");
  EXPECT_EQ(opts.output_name, "out");
  EXPECT_EQ(opts.rules_name, "peep");
  EXPECT_TRUE(opts.input_given && opts.output_given && opts.rules_given);
  EXPECT_TRUE(opts.rules_designated);
}

struct UsageCase {
  std::vector<const char*> words;
  const char* message;
};

const UsageCase kUsageErrors[] = {
    // Switches are case-sensitive and exact.
    {{"-W"}, "Unknown option -W"},
    {{"-"}, "Unknown option -"},
    {{"+"}, "Unknown option +"},
    {{"+S"}, "Unknown option +S"},
    {{"+zz"}, "Unknown option +zz"},
    {{"-ww"}, "Unknown option -ww"},
    {{"a", "b", "c"}, "More than one input and output file defined"},
    {{"rls=a", "in", "rls=a"}, "More than one replacement rules file defined"},
};

TEST_F(OptionsTest, UsageErrorsOfTheMainScan) {
  for (const UsageCase& c : kUsageErrors) {
    SCOPED_TRACE(c.message);
    auto words = c.words;
    EXPECT_EXIT_PRINTS(parse(words), 255, usage_output(c.message));
  }
}

TEST_F(OptionsTest, UsageErrorWritesZeroStatusByte) {
  ScopedTempDir dir;
  EXPECT_EXIT_PRINTS(parse({"status=st", "-W"}), 255, usage_output("Unknown option -W"));
  EXPECT_EQ(read_file("st"), std::string(1, '\0'));
}

TEST_F(OptionsTest, NoInputFileGiven) {
  parse({"+z", "+z"});
  EXPECT_EXIT_PRINTS(finish_options(), 255,
                     usage_output("No input file given", true) +
                         "qvpeep - table-driven peephole optimizer\n"
                         "rewrites MSP430 VOP files by replacement rules\n");
}

TEST_F(OptionsTest, FinishOptionsPrintsBannerUnlessSilent) {
  parse({"prog"});
  EXPECT_EQ(capture_stdout(finish_options), kBanner);
  // No rules file was pointed at, so the compiled-in rules are read.
  EXPECT_STREQ(src.cur_file_name, "<embedded rules file>");
  reset_all();
  parse({"+s", "prog"});
  EXPECT_EQ(capture_stdout(finish_options), "");
}

// Pre-scans: each list has its own first status=, wd= and msg=.

TEST_F(OptionsTest, FirstStatusWordOfEachList) {
  parse({"status=first", "status=second"});
  EXPECT_STREQ(run.status_file_name.load(), "first");
  parse({"+s", "status=third"});
  EXPECT_STREQ(run.status_file_name.load(), "third");
  parse({"+s"});
  EXPECT_STREQ(run.status_file_name.load(), "third");
}

TEST_F(OptionsTest, FirstWdWordOfEachList) {
  ScopedTempDir dir;
  ASSERT_EQ(mkdir("d1", 0755), 0);
  ASSERT_EQ(mkdir("d2", 0755), 0);
  parse({"wd=d1", "wd=d2"});
  EXPECT_EQ(cwd(), dir.path() + "/d1");
  parse({"wd=../d2"});
  EXPECT_EQ(cwd(), dir.path() + "/d2");
  // An empty directory stays where it is.
  parse({"wd="});
  EXPECT_EQ(cwd(), dir.path() + "/d2");
}

TEST_F(OptionsTest, FailedWdEndsSilently) {
  ScopedTempDir dir;
  EXPECT_EXIT_PRINTS(parse({"status=st", "wd=nowhere"}), 255, "");
  EXPECT_EQ(read_file("st"), std::string(1, '\0'));
}

TEST_F(OptionsTest, FirstMsgWordOfEachListAppends) {
  ScopedTempDir dir;
  write_file("m1", "before\n");
  EXPECT_EXIT(
      {
        parse({"msg=m1", "msg=m2"});
        printf("one\n");
        parse({"+s", "msg=m3"});
        printf("two\n");
        exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_file("m1"), "before\none\n");
  EXPECT_FALSE(file_exists("m2"));
  EXPECT_EQ(read_file("m3"), "two\n");
}

TEST_F(OptionsTest, WdTakesEffectBeforeMsg) {
  ScopedTempDir dir;
  ASSERT_EQ(mkdir("sub", 0755), 0);
  EXPECT_EXIT(
      {
        parse({"msg=log", "wd=sub"});
        printf("here\n");
        exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_FALSE(file_exists("log"));
  EXPECT_EQ(read_file("sub/log"), "here\n");
}

TEST_F(OptionsTest, MsgFileThatCannotBeOpened) {
  ScopedTempDir dir;
  EXPECT_EXIT_PRINTS(parse({"msg=nodir/log"}), 255,
                     usage_output("Could not open msg= file nodir/log\n"));
}

// Option files

TEST_F(OptionsTest, OptionFileWordsAndNesting) {
  ScopedTempDir dir;
  write_file("outer.x", "+z  in\n\nx=inner.x\n\t+zr\fstatus=st\n");
  write_file("inner.x", "+zo out\n+zo\n");
  parse({"x=outer.x", "-w"});
  EXPECT_EQ(opts.debug_level, 1);
  EXPECT_EQ(opts.rules_debug_level, 1);
  EXPECT_EQ(opts.opt_debug_level, 2);
  EXPECT_TRUE(opts.warnings_off);
  EXPECT_EQ(opts.input_name, "in");
  EXPECT_EQ(opts.output_name, "out");
  // The word outlives the file it came from.
  EXPECT_STREQ(run.status_file_name.load(), "st");
  EXPECT_EQ(opts.opt_file_name, nullptr);
  EXPECT_EQ(opts.opt_file_line, 0);
}

TEST_F(OptionsTest, EachOptionFileLineIsItsOwnList) {
  ScopedTempDir dir;
  write_file("opts.x", "status=a status=b\nstatus=c\n");
  parse({"x=opts.x"});
  EXPECT_STREQ(run.status_file_name.load(), "c");
}

TEST_F(OptionsTest, MoreThanTwentyWordsOnALine) {
  ScopedTempDir dir;
  std::string line;
  for (int i = 0; i < 25; i++) line += "+z ";
  write_file("opts.x", line + "\n");
  parse({"x=opts.x"});
  EXPECT_EQ(opts.debug_level, 25);
}

TEST_F(OptionsTest, ErrorOnThirdLine) {
  ScopedTempDir dir;
  write_file("opts.x", "+s\n\n-bad\n");
  EXPECT_EXIT_PRINTS(parse({"x=opts.x"}), 255,
                     usage_output("\"opts.x\", line 3: Unknown option -bad"));
}

TEST_F(OptionsTest, LongLineCountsAsTwoLines) {
  ScopedTempDir dir;
  // 255 characters end the first piece; the other 45 are line 2.
  std::string line = "+s" + std::string(253, ' ') + "+stats" + std::string(39, ' ');
  ASSERT_EQ(line.size(), 300u);
  write_file("opts.x", line + "\n-X\n");
  EXPECT_EXIT_PRINTS(parse({"x=opts.x"}), 255,
                     usage_output("\"opts.x\", line 3: Unknown option -X"));
  write_file("opts.x", line + "\n");
  parse({"x=opts.x"});
  EXPECT_TRUE(opts.silent);
  EXPECT_TRUE(opts.show_stats);
}

TEST_F(OptionsTest, PieceBoundaryCutsAWord) {
  ScopedTempDir dir;
  write_file("opts.x", std::string(250, ' ') + "+stats\n");
  EXPECT_EXIT_PRINTS(parse({"x=opts.x"}), 255,
                     usage_output("\"opts.x\", line 1: Unknown option +stat"));
}

TEST_F(OptionsTest, NestedFilesReportTheirOwnLocation) {
  ScopedTempDir dir;
  write_file("outer.x", "+s\nx=inner.x\n-bad\n");
  write_file("inner.x", "+zo\n");
  EXPECT_EXIT_PRINTS(parse({"x=outer.x"}), 255,
                     usage_output("\"outer.x\", line 3: Unknown option -bad", true));
  write_file("inner.x", "\n-worse\n");
  EXPECT_EXIT_PRINTS(parse({"x=outer.x"}), 255,
                     usage_output("\"inner.x\", line 2: Unknown option -worse"));
}

TEST_F(OptionsTest, MissingOptionFile) {
  ScopedTempDir dir;
  EXPECT_EXIT_PRINTS(parse({"x=none.x"}), 255,
                     usage_output("Cannot open qvpeep options file none.x"));
  // Inside an option file the location is that of the x= word.
  write_file("outer.x", "+s\nx=none.x\n");
  EXPECT_EXIT_PRINTS(parse({"x=outer.x"}), 255,
                     usage_output("\"outer.x\", line 2: Cannot open qvpeep options file none.x"));
}

TEST_F(OptionsTest, RulesNameOnCommandLineAndInOptionFile) {
  ScopedTempDir dir;
  write_file("opts.x", "rls=other\n");
  EXPECT_EXIT_PRINTS(
      parse({"rls=peep", "x=opts.x"}), 255,
      usage_output("\"opts.x\", line 1: More than one replacement rules file defined"));
}

// Options from the configuration

TEST_F(OptionsTest, ConfigValueWordsUpToNewline) {
  opts.debug_level = 1;
  std::string out = capture_stdout([] { inject_option_text(" +zr\t+stats\f prog  out\n+s"); });
  EXPECT_EQ(out,
            "Global cmd line option '+zr'\n"
            "Global cmd line option '+stats'\n"
            "Global cmd line option 'prog'\n"
            "Global cmd line option 'out'\n");
  EXPECT_EQ(opts.rules_debug_level, 1);
  EXPECT_TRUE(opts.show_stats);
  EXPECT_FALSE(opts.silent);
  EXPECT_EQ(opts.output_name, "out");
}

TEST_F(OptionsTest, EmptyConfigValueParsesNothing) {
  inject_option_text(nullptr);
  inject_option_text("");
  inject_option_text(" \t\n+s");
  EXPECT_FALSE(opts.silent);
  EXPECT_EQ(capture_stdout(inject_config_options), "");
}

TEST_F(OptionsTest, ConfigValueOf1023Words) {
  std::string value;
  for (int i = 0; i < 1023; i++) value += "+z ";
  inject_option_text(value.c_str());
  EXPECT_EQ(opts.debug_level, 1023);
}

TEST_F(OptionsTest, ConfigValueOf1024WordsExitsAtOnce) {
  ScopedTempDir dir;
  std::string value = "status=st";
  for (int i = 1; i < 1024; i++) value += " +z";
  run.status_file_name = "earlier";
  EXPECT_EXIT_PRINTS(inject_option_text(value.c_str()), 255,
                     "Too many command line options in .zcf file\n");
  // The run did not pass through terminate_run.
  EXPECT_FALSE(file_exists("earlier"));
  EXPECT_FALSE(file_exists("st"));
}

}  // namespace
