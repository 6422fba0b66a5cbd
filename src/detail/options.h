#pragma once
// The parsed command line of one run.

#include <string>
#include <string_view>
#include <vector>

namespace Detail {

/// The command line as the converters see it. A flag records only that its
/// key appeared somewhere; every converter uses the strings as they stand, an
/// absent option being an empty value.
struct options {
  bool has_hash_value = false;
  bool help = false;
  bool has_input = false;
  bool has_output = false;
  bool has_parser_type = false;
  bool has_platform = false;
  bool has_project_name = false;
  bool has_tool_name = false;
  bool has_test_type = false;
  bool has_database = false;

  std::string hash_value;
  std::string input;
  std::string output;
  std::string parser_type;
  std::string platform;
  std::string project_name;
  std::string tool_name;
  std::string test_type;
  /// Where the rows are loaded besides the script: a SQLite database file or
  /// a PostgreSQL connection URI.
  std::string database;
};

/// Fills `opts` from all arguments, the program name (entry 0) included.
/// For each valued option the first argument that contains its key anywhere
/// wins; its value is the text from a fixed offset (key length + 1) to the end,
/// whatever character stands before that offset. "--help" must match exactly.
void parse_program_options(options& opts, const std::vector<std::string>& args);

/// The key of every option the program reads ("--input" ...), "--help" last.
std::vector<std::string_view> option_keys();

}  // namespace Detail
