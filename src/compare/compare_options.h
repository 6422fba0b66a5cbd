#pragma once
// The command line of VIViriZovuro-compare: conventional long options
// (--name=value or --name value).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/gate.h"

namespace Compare {

struct compare_options {
  std::string database;
  std::string project;
  std::string hash;
  std::optional<std::string> platform;
  std::optional<std::string> baseline;
  std::optional<std::string> ancestors;  // a file, "-" for standard input
  std::optional<std::string> repository;  // a git repository, "none" for none
  std::vector<std::pair<std::string, std::string>> path_prefixes;  // --path-prefix=OLD=NEW, in order
  std::optional<std::string> markdown;
  std::uint64_t markdown_limit = 1'000'000;
  std::optional<std::string> json;
  std::optional<std::string> html;
  std::size_t history = 30;
  std::vector<gate_rule> rules;
  bool no_rules = false;  // --fail-on=none
  bool help = false;
};

/// The smallest --markdown-limit: the verdict and its rules must fit.
inline constexpr std::uint64_t smallest_markdown_limit = 4096;

/// Reads `arguments` (without the program name). Returns the options, or
/// sets `problem` to one line saying what is wrong.
std::optional<compare_options> parse_compare_options(const std::vector<std::string>& arguments,
                                                     std::string& problem);

/// Every option the program takes ("--database" ...), "--help" last.
std::vector<std::string> compare_option_names();

/// The usage text, ending in a line feed.
std::string compare_usage();

}  // namespace Compare
