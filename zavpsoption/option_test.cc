#include "option.h"

#include <gtest/gtest.h>

#include "options.h"
#include "tooltest.h"

namespace {

// The error code a command line ends with, 0 if it is accepted.
int errorOf(const std::vector<std::string>& args) {
  try {
    toolFor(args);
  } catch (const ToolError& e) {
    return e.code;
  }
  return 0;
}

// The message and status of a FatalError the command line ends with.
std::string fatalOf(const std::vector<std::string>& args, int* status) {
  try {
    toolFor(args);
  } catch (const FatalError& e) {
    *status = e.status;
    return e.message;
  } catch (const Answer& a) {
    *status = a.to_error ? 0 : -1;  // -1: to standard output
    return a.text;
  }
  return "";
}

TEST(ToolOption, DefaultsAndFlags) {
  ToolSettings s = toolFor({});
  EXPECT_EQ(s.printer_name, "lp");
  EXPECT_FALSE(s.stamp_spec);
  EXPECT_FALSE(s.policy_text);
  EXPECT_FALSE(s.jog_text);

  s = toolFor({"-Pmy", "-t", "-E", "-ps", "-G4", "-d"});
  EXPECT_EQ(s.printer_name, "my");
  EXPECT_EQ(s.toner_saver, 1);
  EXPECT_EQ(s.render_enhance, 1);
  EXPECT_EQ(s.force_postscript, 1);
  EXPECT_EQ(s.g4, 1);
  EXPECT_EQ(s.duplex, 3);

  EXPECT_EQ(errorOf({"-D", "-d"}), kErrDuplex);
  EXPECT_EQ(errorOf({"-D", "-D"}), kErrDuplex);
  EXPECT_EQ(errorOf({"-px"}), kErrOption);
  EXPECT_EQ(errorOf({"-G3"}), kErrOption);
  EXPECT_EQ(errorOf({"-t", "file"}), kErrOption);
}

TEST(ToolOption, UsageAndHelp) {
  // Unknown letters, missing arguments: the usage text and status 1.
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{
           {"-x", "-t"}, {"-?"}, {"-t", "-C"}, {"--helq"}, {"-I"}}) {
    int status = 0;
    EXPECT_EQ(fatalOf(args, &status).rfind("usage: zavpsoption ", 0), 0u);
    EXPECT_EQ(status, 1);
  }
  for (const char* help : {"--help", "-h", "--he"}) {
    EXPECT_THROW(toolFor({"-t", help, "-x"}), ToolHelp);
  }
  // Scanning stops at the first operand.
  EXPECT_EQ(errorOf({"-t", "file", "-V"}), kErrOption);
  EXPECT_EQ(errorOf({"file", "-D", "-D"}), kErrOption);
}

TEST(ToolOption, InputTray) {
  EXPECT_EQ(toolFor({"-I", "A4"}).input_code, 5);
  EXPECT_EQ(toolFor({"-IA4"}).input_code, 5);
  EXPECT_EQ(toolFor({"-I3"}).input_code, 3);
  EXPECT_EQ(errorOf({"-I", "A4 x"}), kErrInputTray);
  int status = 0;
  EXPECT_EQ(fatalOf({"-IA3"}, &status), "Unknown option 'A3'\n");
  EXPECT_EQ(status, 255);

  ToolSettings s = toolFor({"-I210x297mm"});
  EXPECT_EQ(s.input_code, 18);
  EXPECT_EQ(s.custom_size_text, "210x297mm");
  EXPECT_EQ(toolFor({"-I", " 8.5x11in"}).custom_size_text, "8.5x11in");
  EXPECT_EQ(errorOf({"-I70x297mm"}), kErrPaperSize);
  EXPECT_EQ(errorOf({"-I216x297mm"}), kErrPaperSize);
  EXPECT_EQ(toolFor({"-I-70x297mm"}).input_code, 0);  // manual feed: unchecked
  EXPECT_EQ(errorOf({"-I70x297mm", "-IA4"}), 0);      // only the last counts
  // A size that would not stay one word on a line.
  EXPECT_EQ(errorOf({"-I210x297mm\tx"}), kErrInputTray);
  // Too long to keep: refused, not cut.
  EXPECT_EQ(errorOf({"-I210x297mm" + std::string(130, '0')}), kErrOption);
}

TEST(ToolOption, OutputTray) {
  EXPECT_EQ(toolFor({"-Oof"}).output_code, 3);
  EXPECT_EQ(toolFor({"-O", "ce"}).output_code, 1);
  EXPECT_EQ(errorOf({"-O", "re x"}), kErrOutputTray);
  int status = 0;
  EXPECT_EQ(fatalOf({"-Oxx"}, &status), "Unknown option 'xx'\n");
  EXPECT_EQ(status, 255);
}

TEST(ToolOption, PolicyAndCollate) {
  EXPECT_EQ(errorOf({"-C7"}), kErrPolicy);
  ToolSettings s = toolFor({"-Cl"});
  EXPECT_EQ(s.collate, 1);
  EXPECT_FALSE(s.policy_text);
  EXPECT_EQ(*toolFor({"-C3"}).policy_text, "3");
  EXPECT_EQ(*toolFor({"-C0"}).policy_text, "0");
  EXPECT_EQ(errorOf({"-Cx"}), kErrPolicy);
  EXPECT_EQ(errorOf({"-C3x"}), kErrPolicy);
  EXPECT_EQ(errorOf({"-C", "3 -t"}), kErrPolicy);
  EXPECT_EQ(errorOf({"-C99999999999999999999"}), kErrPolicy);
}

TEST(ToolOption, Jog) {
  EXPECT_EQ(errorOf({"-J1"}), kErrJog);
  EXPECT_EQ(errorOf({"-Jx"}), kErrJog);
  EXPECT_EQ(errorOf({"-J2\n"}), kErrJog);
  EXPECT_EQ(*toolFor({"-J2"}).jog_text, "2");
  ToolSettings s = toolFor({"-JU=bob smith"});
  EXPECT_EQ(s.jog_user, "bob");
  EXPECT_EQ(s.jog_user_given, 1);
  s = toolFor({"-JU=bob", "-JN"});
  EXPECT_EQ(s.jog_user_given, 0);
  EXPECT_EQ(s.jog_none, 1);
  EXPECT_EQ(errorOf({"-JU=" + std::string(128, 'u')}), kErrOption);
}

TEST(ToolOption, Copies) {
  EXPECT_EQ(errorOf({"-Nc=-1"}), kErrCopies);
  EXPECT_EQ(toolFor({"-Nc=5"}).copies_text, "5");
  EXPECT_EQ(toolFor({"-N", "c=7 x"}).copies_text, "7");
  EXPECT_EQ(errorOf({"-N5"}), kErrOption);
  EXPECT_EQ(errorOf({"-Nc=abc"}), kErrCopies);
  EXPECT_EQ(toolFor({"-Nc=-0"}).copies_text, "-0");
  EXPECT_EQ(toolFor({"-Nc=999"}).copies_text, "999");
  for (const char* big : {"1000", "3000000000", "99999999999"})
    EXPECT_EQ(errorOf({std::string("-Nc=") + big}), kErrCopies) << big;
  EXPECT_EQ(errorOf({"-Nc=" + std::string(32, '1')}), kErrOption);
}

TEST(ToolOption, Stamp) {
  // The whole stamp setting, checked with the filters' grammar.
  for (const char* stamp : {"ur", "ul:uht", "dl:tuh:a", "dr::f", "ulx"})
    EXPECT_EQ(*toolFor({std::string("-Hd=") + stamp}).stamp_spec, stamp);
  EXPECT_EQ(*toolFor({"-H", "d=ul:t x"}).stamp_spec, "ul:t");
  // A bare -Hf in the file would take the next word for the font.
  for (const char* bad : {"-Hd=xx", "-Hd=", "-Hd=u", "-Hx", "-Hf", "-Hf x", "-Hf/Times"})
    EXPECT_EQ(errorOf({bad}), kErrOption) << bad;
  // The font is a printer option the tool knows from the option table.
  EXPECT_EQ(toolFor({"-Hftimes"}).table_options["Hf"], "-Hftimes");
  EXPECT_EQ(toolFor({"-H", "fTimes\tRoman"}).table_options["Hf"], "-HfTimes");
  EXPECT_EQ(errorOf({"-Hf" + std::string(127, 'F')}), 0);
  EXPECT_EQ(errorOf({"-Hf" + std::string(128, 'F')}), kErrOption);
}

TEST(ToolOption, OtherOptions) {
  ToolSettings s =
      toolFor({"-X", "zavpsif=-2 -r\n -s9", "-Xzavpsvf=-s=2,3 -p 300",
               "-X", "zavpsg4f="});
  EXPECT_EQ(s.other_options["zavpsif"], "-2 -r -s9");
  EXPECT_EQ(s.other_options["zavpsvf"], "-s=2,3 -p 300");
  EXPECT_EQ(s.other_options["zavpsg4f"], "");
  EXPECT_EQ(toolFor({"-Xzavpsof=-s9", "-Xzavpsof=-r"}).other_options["zavpsof"],
            "-r");
  EXPECT_EQ(toolFor({"-Xzavpsif=-Kg -Ke=sjis -Kk=My-Font"})
                .other_options["zavpsif"],
            "-Kg -Ke=sjis -Kk=My-Font");
  // Each filter's own grammar, with its message.
  const struct {
    const char* arg;
    const char* message;
  } refused[] = {{"zavpsif=-s=2,3", "Unknown option '='\n"},
                 {"zavpsof=-q", "Unknown option 'q'\n"},
                 {"zavpsvf=-2", "Unknown option '2'\n"},
                 {"zavpsg4f=-mg=1:1:1:1", "Unknown option 'm'\n"},
                 {"zavpsif=-mg=1:2", "Unknown option '1:2'\n"},
                 {"zavpsif=-Ke=latin1", "Unknown option 'latin1'\n"},
                 {nullptr, nullptr}};
  for (int i = 0; refused[i].arg; ++i) {
    int status = 0;
    EXPECT_EQ(fatalOf({"-X", refused[i].arg}, &status), refused[i].message);
    EXPECT_EQ(status, 255);
  }
  // Unknown filter names, and options the tool has letters for (also
  // hidden in a group of flags or without a dash).
  for (const char* bad : {"zavpsxf=-r", "-r", "zavpsif", "zavpsif=-D",
                          "zavpsif=-rt", "zavpsif=D", "zavpsvf=-Jset",
                          "zavpsif=-Nc=1", "zavpsif=-Hd=ul"})
    EXPECT_EQ(errorOf({"-X", bad}), kErrOption) << bad;
  try {
    toolFor({"-Xzavpsif=-2 -rt"});
  } catch (const ToolError& e) {
    EXPECT_EQ(e.text,
              "Illegal Option '-rt': give it with zavpsoption's own letter");
  }
  // The option record is left as it was.
  toolFor({"-Xzavpsif=-l60"});
  EXPECT_EQ(opt.text_lines, 0u);
}

TEST(ToolOption, Version) {
  int status = -1;
  EXPECT_EQ(fatalOf({"-V", "-D", "-D"}, &status),
            "zavpsoption version = " ZAVPS_VERSION "\n");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(fatalOf({"--version"}, &status), "zavpsoption version = " ZAVPS_VERSION "\n");
  EXPECT_EQ(status, -1);
  // Options before it are checked first.
  EXPECT_EQ(errorOf({"-D", "-D", "-V"}), kErrDuplex);
}

}  // namespace
