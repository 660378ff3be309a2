#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace gsd {
namespace {

bool parse(std::vector<const char*> words, CommandLine& command_line, std::string& error) {
  words.insert(words.begin(), "gsdsim");
  return parse_command_line(static_cast<int>(words.size()), words.data(), command_line, error);
}

TEST(CommandLine, AcceptedForms) {
  struct Case {
    std::vector<const char*> words;
    CommandLine::Action action;
    const char* path;
    int threads;
  };
  const Case cases[] = {
      {{}, CommandLine::Action::kRun, "", 0},
      {{"design.dsn"}, CommandLine::Action::kRun, "design.dsn", 0},
      {{"--check", "d"}, CommandLine::Action::kCheck, "d", 0},
      {{"--threads", "3", "d"}, CommandLine::Action::kRun, "d", 3},
      {{"--threads=8"}, CommandLine::Action::kRun, "", 8},
      {{"--template"}, CommandLine::Action::kTemplate, "", 0},
      {{"--json", "out.json", "d"}, CommandLine::Action::kRun, "d", 0},
      {{"--html", "page.html", "d"}, CommandLine::Action::kRun, "d", 0},
      {{"--html=page.html", "--json=r.json"}, CommandLine::Action::kRun, "", 0},
      {{"--help"}, CommandLine::Action::kHelp, "", 0},
      {{"--version"}, CommandLine::Action::kVersion, "", 0},
  };
  for (const Case& c : cases) {
    CommandLine command_line;
    std::string error;
    ASSERT_TRUE(parse(c.words, command_line, error)) << error;
    EXPECT_EQ(command_line.action, c.action);
    EXPECT_EQ(command_line.design_path, c.path);
    EXPECT_EQ(command_line.threads, c.threads);
  }
  CommandLine both;
  std::string error;
  ASSERT_TRUE(parse({"--html=page.html", "--json", "r.json"}, both, error));
  EXPECT_EQ(both.html_path, "page.html");
  EXPECT_EQ(both.json_path, "r.json");
}

TEST(CommandLine, RefusedForms) {
  struct Case { std::vector<const char*> words; const char* error; };
  const Case cases[] = {
      {{"--fast"}, "unknown option \"--fast\" (see gsdsim --help)"},
      {{"--threads"}, "--threads needs a number of threads"},
      {{"--threads", "0"}, "--threads takes a whole number from 1 to 1024, not \"0\""},
      {{"--threads=two"}, "--threads takes a whole number from 1 to 1024, not \"two\""},
      {{"a.dsn", "b.dsn"}, "only one design file can be named, not also \"b.dsn\""},
      {{"--json"}, "--json needs the name of the file to write"},
      {{"--json="}, "--json needs the name of the file to write"},
      {{"--html"}, "--html needs the name of the file to write"},
      {{"--html="}, "--html needs the name of the file to write"},
      {{"--html=a.html", "--html"}, "--html needs the name of the file to write"},
  };
  for (const Case& c : cases) {
    CommandLine command_line;
    std::string error;
    EXPECT_FALSE(parse(c.words, command_line, error));
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace gsd

namespace gsd {
namespace {

// The form of the design file: by --format, else by the file's name; and
// the forms --convert and --template write.
TEST(CommandLine, DesignFormats) {
  using F = DesignFormat;
  struct Case {
    std::vector<const char*> words;
    CommandLine::Action action;
    F input;
    F convert_to;
    F template_format;
  };
  const Case cases[] = {
      {{}, CommandLine::Action::kRun, F::kClassic, F::kToml, F::kClassic},
      {{"d.toml"}, CommandLine::Action::kRun, F::kToml, F::kToml, F::kClassic},
      {{"d.toml.dsn"}, CommandLine::Action::kRun, F::kClassic, F::kToml, F::kClassic},
      {{"--format", "toml"}, CommandLine::Action::kRun, F::kToml, F::kToml, F::kClassic},
      {{"--format=classic", "d.toml"}, CommandLine::Action::kRun, F::kClassic, F::kToml, F::kClassic},
      {{"--convert", "toml", "d.dsn"}, CommandLine::Action::kConvert, F::kClassic, F::kToml, F::kClassic},
      {{"--convert=classic", "d.toml"}, CommandLine::Action::kConvert, F::kToml, F::kClassic, F::kClassic},
      {{"--template", "toml"}, CommandLine::Action::kTemplate, F::kClassic, F::kToml, F::kToml},
      {{"--template=classic"}, CommandLine::Action::kTemplate, F::kClassic, F::kToml, F::kClassic},
      {{"--check", "--format", "toml"}, CommandLine::Action::kCheck, F::kToml, F::kToml, F::kClassic},
  };
  for (const Case& c : cases) {
    CommandLine command_line;
    std::string error;
    ASSERT_TRUE(parse(c.words, command_line, error)) << error;
    EXPECT_EQ(command_line.action, c.action) << c.words.size();
    EXPECT_EQ(input_format(command_line), c.input) << error;
    EXPECT_EQ(command_line.convert_to, c.convert_to);
    EXPECT_EQ(command_line.template_format, c.template_format);
  }
  struct Refused { std::vector<const char*> words; const char* error; };
  const Refused refused[] = {
      {{"--format"}, "--format needs toml or classic"},
      {{"--format", "yaml"}, "--format takes toml or classic, not \"yaml\""},
      {{"--convert"}, "--convert needs toml or classic"},
      {{"--convert=json", "d"}, "--convert takes toml or classic, not \"json\""},
      {{"--template=yaml"}, "--template takes toml or classic, not \"yaml\""},
      {{"--formats=toml"}, "unknown option \"--formats=toml\" (see gsdsim --help)"},
  };
  for (const Refused& c : refused) {
    CommandLine command_line;
    std::string error;
    EXPECT_FALSE(parse(c.words, command_line, error));
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace gsd
