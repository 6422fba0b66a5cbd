#include "detail/options.h"

namespace Detail {
namespace {

struct valued_option {
  const char* key;
  bool options::*flag;
  std::string options::*value;
};

// The value offset is the key length plus one: the "=" (or whatever stands
// there) is skipped without being checked.
constexpr valued_option valued_options[] = {
    {"--platform", &options::has_platform, &options::platform},
    {"--input", &options::has_input, &options::input},
    {"--output", &options::has_output, &options::output},
    {"--project_name", &options::has_project_name, &options::project_name},
    {"--tool_name", &options::has_tool_name, &options::tool_name},
    {"--test_type", &options::has_test_type, &options::test_type},
    {"--hash_value", &options::has_hash_value, &options::hash_value},
    {"--parser_type", &options::has_parser_type, &options::parser_type},
    {"--database", &options::has_database, &options::database},
};

void parse_valued_option(options& opts, const std::vector<std::string>& args,
                         const valued_option& option) {
  const std::string key = option.key;
  for (const std::string& arg : args) {
    if (arg.find(key) == std::string::npos) continue;
    opts.*option.flag = true;
    const std::size_t offset = key.size() + 1;
    if (arg.size() > offset) opts.*option.value = arg.substr(offset);
    return;
  }
}

}  // namespace

void parse_program_options(options& opts, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help") opts.help = true;
  }
  for (const valued_option& option : valued_options) {
    parse_valued_option(opts, args, option);
  }
}

std::vector<std::string_view> option_keys() {
  std::vector<std::string_view> keys;
  for (const valued_option& option : valued_options) keys.emplace_back(option.key);
  keys.emplace_back("--help");
  return keys;
}

}  // namespace Detail
