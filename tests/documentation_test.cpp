// The lists a reader finds outside the code: the manual pages, the README's
// synopsis and main.cpp's header comment must name every parser type of the
// program's table and every option the programs read, and the README's
// Layout every shared header, so that adding one to the code without its
// documentation fails here.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "compare/compare_options.h"
#include "detail/options.h"
#include "parser_types.h"
#include "support/files.h"

using namespace test_support;

namespace {

const std::string source_dir = VIVIRI_SOURCE_DIR;

bool is_name_character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Whether `name` stands in `text` as a whole word: "Map" is not found in
// "Map_GNU", nor "--history" in "--history-file".
bool names(std::string_view text, std::string_view name) {
  for (std::size_t at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
    const std::size_t end = at + name.size();
    const bool starts = at == 0 || !is_name_character(text[at - 1]);
    if (starts && (end == text.size() || !is_name_character(text[end]))) return true;
  }
  return false;
}

std::vector<std::string> parser_type_names() {
  std::vector<std::string> result;
  for (const parser_type& type : parser_types()) result.emplace_back(type.name);
  return result;
}

std::vector<std::string> converter_options() {
  std::vector<std::string> result;
  for (std::string_view key : Detail::option_keys()) result.emplace_back(key);
  return result;
}

// The page as `man` shows it, in plain text; groff's warnings in `warnings`.
std::string rendered_page(const std::string& page, std::string& warnings) {
  const TempDir dir;
  const std::string source = "'" + source_dir + "/docs/man/" + page + "'";
  // As man shows it on a terminal, for the warnings; in plain ASCII, for the text.
  const std::string command = "groff -man -ww -Tutf8 -z " + source + " 2> '" + dir.file("warnings") +
                              "' && groff -man -Tascii -P-cbou " + source + " > '" + dir.file("text") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  warnings = read_file(dir.file("warnings"));
  return read_file(dir.file("text"));
}

// The text from the line holding `from` up to the next line holding `to`.
std::string section(const std::string& text, std::string_view from, std::string_view to) {
  const std::size_t begin = text.find(from);
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find(to, begin + from.size()) - begin);
}

std::string leading_comment(const std::string& source) {
  std::string comment;
  for (std::size_t begin = 0; source.compare(begin, 2, "//") == 0;) {
    const std::size_t end = source.find('\n', begin);
    comment += source.substr(begin, end - begin + 1);
    begin = end + 1;
  }
  return comment;
}

// The shared machinery a new maintainer looks up first.
std::vector<std::string> detail_headers() {
  std::vector<std::string> result;
  for (const auto& entry : std::filesystem::directory_iterator(source_dir + "/src/detail")) {
    if (entry.path().extension() == ".h") result.push_back("`" + entry.path().filename().string() + "`");
  }
  return result;
}

struct document {
  std::string what;
  std::string text;
  std::vector<std::string> required;
};

std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Every rule of --fail-on, and "none".
std::vector<std::string> gate_rule_names() {
  std::vector<std::string> names = {"none"};
  for (const Compare::rule_definition& rule : Compare::gate_rules()) names.emplace_back(rule.name);
  return names;
}

}  // namespace

TEST(Documentation, ManualPagesRenderWithoutWarnings) {
  for (const char* page : {"VIViriZovuro.1", "VIViriZovuro-compare.1"}) {
    std::string warnings;
    const std::string text = rendered_page(page, warnings);
    EXPECT_EQ(warnings, "") << page;
    for (const char* heading : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "EXAMPLES"})
      EXPECT_NE(text.find(std::string("\n") + heading + "\n"), std::string::npos) << page << " has no " << heading;
  }
}

TEST(Documentation, EveryParserTypeAndOptionIsNamed) {
  std::string warnings;
  const std::string readme = read_file(source_dir + "/README.md");
  const std::vector<document> documents = {
      {"VIViriZovuro(1)", rendered_page("VIViriZovuro.1", warnings), joined(parser_type_names(), converter_options())},
      {"VIViriZovuro-compare(1)", rendered_page("VIViriZovuro-compare.1", warnings),
       joined(Compare::compare_option_names(), gate_rule_names())},
      {"the README's gate", section(readme, "\n### The gate\n", "\n### "), gate_rule_names()},
      {"the README's synopsis", section(readme, "    VIViriZovuro --input=", "\n\n"), parser_type_names()},
      {"main.cpp's header comment", leading_comment(read_file(source_dir + "/src/main.cpp")), parser_type_names()},
      {"the README's Layout", section(readme, "\n## Layout\n", "\n## "), detail_headers()},
  };
  for (const document& doc : documents) {
    ASSERT_FALSE(doc.text.empty()) << doc.what << " not found";
    for (const std::string& name : doc.required) EXPECT_TRUE(names(doc.text, name)) << doc.what << " misses " << name;
  }
}
