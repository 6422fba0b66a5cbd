#include "detail/options.h"

#include <gtest/gtest.h>

namespace {

Detail::options parse(const std::vector<std::string>& args) {
  Detail::options opts{};
  Detail::parse_program_options(opts, args);
  return opts;
}

TEST(ParseProgramOptions, EveryValuedOption) {
  const Detail::options opts =
      parse({"VIViriZovuro", "--input=in.log", "--output=out.sql", "--platform=Pwe3", "--test_type=Unit",
             "--project_name=K7Tr52_App_default", "--tool_name=CTC", "--hash_value=1a2b3c4", "--parser_type=PassFail"});
  EXPECT_EQ(opts.input, "in.log");
  EXPECT_EQ(opts.output, "out.sql");
  EXPECT_EQ(opts.platform, "Pwe3");
  EXPECT_EQ(opts.test_type, "Unit");
  EXPECT_EQ(opts.project_name, "K7Tr52_App_default");
  EXPECT_EQ(opts.tool_name, "CTC");
  EXPECT_EQ(opts.hash_value, "1a2b3c4");
  EXPECT_EQ(opts.parser_type, "PassFail");
  EXPECT_TRUE(opts.has_input && opts.has_output && opts.has_platform && opts.has_test_type &&
              opts.has_project_name && opts.has_tool_name && opts.has_hash_value && opts.has_parser_type);
  EXPECT_FALSE(opts.help);
}

TEST(ParseProgramOptions, ValueOffsetAndSearch) {
  const struct {
    std::vector<std::string> args;
    bool has_input;
    std::string input;
  } cases[] = {
      {{"prog", "--input"}, true, ""},                  // no value at all
      {{"prog", "--input="}, true, ""},                 // empty value
      {{"prog", "--input:a.log"}, true, "a.log"},       // the separator is not checked
      {{"prog", "x--input=a.log"}, true, "=a.log"},     // fixed offset from the argument's start
      {{"prog", "--inputs=a.log"}, true, "=a.log"},
      {{"prog", "--input=a", "--input=b"}, true, "a"},  // first match wins
      {{"--input=x/prog", "--input=b"}, true, "x/prog"},  // the program name is searched too
      {{"prog", "--INPUT=a"}, false, ""},               // case-sensitive
      {{"prog", "--output=o"}, false, ""},
  };
  for (const auto& c : cases) {
    const Detail::options opts = parse(c.args);
    EXPECT_EQ(opts.has_input, c.has_input) << c.args[1];
    EXPECT_EQ(opts.input, c.input) << c.args[1];
  }
}

TEST(ParseProgramOptions, HelpMustMatchExactly) {
  EXPECT_TRUE(parse({"prog", "--help"}).help);
  EXPECT_FALSE(parse({"prog", "--help=yes"}).help);
  EXPECT_FALSE(parse({"prog", " --help"}).help);
  const Detail::options opts = parse({"prog", "--help", "--parser_type=QAC"});
  EXPECT_EQ(opts.parser_type, "QAC");  // and nothing else changes
}

TEST(ParseProgramOptions, ValuesAreTakenVerbatim) {
  const Detail::options opts = parse({"prog", "--platform= Pwe3 ", "--hash_value=\"quoted\"", "--tool_name=a=b"});
  EXPECT_EQ(opts.platform, " Pwe3 ");
  EXPECT_EQ(opts.hash_value, "\"quoted\"");
  EXPECT_EQ(opts.tool_name, "a=b");
}

}  // namespace
