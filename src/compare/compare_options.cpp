#include "compare/compare_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace Compare {

namespace {

bool read_number(std::string_view text, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool read_points(std::string_view text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
         value >= 0;
}

const rule_definition* find_rule(std::string_view name) {
  for (const rule_definition& rule : gate_rules()) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

// "new-failures, new-warnings[=TYPE], ...", broken before an item that would
// pass `width` columns, later lines indented by `indent`.
std::string rule_list(std::size_t first_column, std::size_t indent, std::size_t width) {
  std::string text;
  std::size_t column = first_column;
  const std::vector<rule_definition>& rules = gate_rules();
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const std::string item = rule_syntax(rules[i]) + (i + 1 < rules.size() ? "," : "");
    if (i > 0 && column + 1 + item.size() > width) {
      text.append("\n").append(indent, ' ');
      column = indent;
    } else if (i > 0) {
      text += ' ';
      ++column;
    }
    text += item;
    column += item.size();
  }
  return text;
}

// One rule of --fail-on; an empty text on success, else why not.
std::string read_rule(std::string_view text, gate_rule& rule) {
  const std::size_t equals = text.find('=');
  const std::string_view name = text.substr(0, equals);
  const std::optional<std::string_view> value =
      equals == std::string_view::npos ? std::nullopt : std::optional(text.substr(equals + 1));
  rule.definition = find_rule(name);
  if (!rule.definition)
    return "--fail-on: unknown rule '" + std::string(name) + "' (" + rule_list(0, 0, std::string::npos) + ")";
  switch (rule.definition->value) {
    case rule_definition::takes::nothing:
      return value ? "--fail-on: " + std::string(name) + " takes no value" : "";
    case rule_definition::takes::warning_type:
      if (value && value->empty()) return "--fail-on: " + std::string(name) + "= needs a warning type";
      rule.warning_type = value.value_or("");
      return {};
    case rule_definition::takes::points:
      if (value && !read_points(*value, rule.points))
        return "--fail-on: " + std::string(name) + " needs a number of points of at least 0, not '" +
               std::string(*value) + "'";
      return {};
    case rule_definition::takes::bytes:
      if (value && !read_number(*value, rule.bytes))
        return "--fail-on: " + std::string(name) + " needs a whole number of bytes, not '" + std::string(*value) +
               "'";
      return {};
  }
  return {};
}

// An empty list or item is refused: an unset CI variable must not turn the
// gate off unnoticed; "none" is the way to check nothing. A rule given twice
// counts once.
std::string read_rules(std::string_view list, std::vector<gate_rule>& rules, bool& none) {
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view text = list.substr(0, comma);
    if (text.empty()) return "--fail-on: no rule given";
    if (text == "none") {
      none = true;
    } else {
      gate_rule rule{};
      if (std::string problem = read_rule(text, rule); !problem.empty()) return problem;
      rule.text = text;
      if (std::none_of(rules.begin(), rules.end(), [&](const gate_rule& given) { return given.text == text; }))
        rules.push_back(rule);
    }
    if (none && !rules.empty()) return "--fail-on: none excludes other rules";
    if (comma == std::string_view::npos) return {};
    list.remove_prefix(comma + 1);
  }
}

std::string read_markdown_limit(compare_options& options, const std::string& value) {
  if (!read_number(value, options.markdown_limit) || options.markdown_limit < smallest_markdown_limit)
    return "--markdown-limit needs a whole number of bytes of at least 4096, not '" + value + "'";
  return {};
}

std::string read_history(compare_options& options, const std::string& value) {
  std::uint64_t runs = 0;
  if (!read_number(value, runs) || runs < 1 || runs > 1000)
    return "--history needs a number of runs from 1 to 1000, not '" + value + "'";
  options.history = static_cast<std::size_t>(runs);
  return {};
}

std::string read_path_prefix(compare_options& options, const std::string& value) {
  const std::size_t equals = value.find('=');
  if (equals == std::string::npos || equals == 0)
    return "--path-prefix needs OLD=NEW, not '" + value + "'";
  options.path_prefixes.emplace_back(value.substr(0, equals), value.substr(equals + 1));
  return {};
}

// Every option that takes a value, with what stores it: an empty text on
// success, else why not.
struct option_definition {
  std::string_view name;
  std::string (*store)(compare_options& options, const std::string& value);
};

const option_definition option_table[] = {
    {"database", [](compare_options& o, const std::string& v) { return o.database = v, std::string(); }},
    {"project_name", [](compare_options& o, const std::string& v) { return o.project = v, std::string(); }},
    {"hash_value", [](compare_options& o, const std::string& v) { return o.hash = v, std::string(); }},
    {"platform", [](compare_options& o, const std::string& v) { return o.platform = v, std::string(); }},
    {"baseline", [](compare_options& o, const std::string& v) { return o.baseline = v, std::string(); }},
    {"ancestors", [](compare_options& o, const std::string& v) { return o.ancestors = v, std::string(); }},
    {"repository", [](compare_options& o, const std::string& v) { return o.repository = v, std::string(); }},
    {"path-prefix", read_path_prefix},
    {"markdown", [](compare_options& o, const std::string& v) { return o.markdown = v, std::string(); }},
    {"markdown-limit", read_markdown_limit},
    {"json", [](compare_options& o, const std::string& v) { return o.json = v, std::string(); }},
    {"html", [](compare_options& o, const std::string& v) { return o.html = v, std::string(); }},
    {"history", read_history},
    {"fail-on", [](compare_options& o, const std::string& v) { return read_rules(v, o.rules, o.no_rules); }},
};

const option_definition* find_option(std::string_view name) {
  for (const option_definition& option : option_table) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::string check_complete(const compare_options& options) {
  if (options.database.empty()) return "missing --database";
  if (options.project.empty()) return "missing --project_name";
  if (options.hash.empty()) return "missing --hash_value";
  if (options.baseline && options.ancestors) return "--baseline and --ancestors exclude each other";
  return {};
}

}  // namespace

std::optional<compare_options> parse_compare_options(const std::vector<std::string>& arguments,
                                                     std::string& problem) {
  compare_options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help") {
      options.help = true;
      return options;
    }
    if (!argument.starts_with("--")) {
      problem = "unexpected argument '" + arguments[i] + "'";
      return std::nullopt;
    }
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(2, equals == std::string_view::npos ? argument.npos : equals - 2);
    const option_definition* option = find_option(name);
    if (!option) {
      problem = "unknown option --" + std::string(name);
      return std::nullopt;
    }
    std::string value;
    if (equals != std::string_view::npos) {
      value = std::string(argument.substr(equals + 1));
    } else if (i + 1 < arguments.size()) {
      value = arguments[++i];
    } else {
      problem = "--" + std::string(name) + " needs a value";
      return std::nullopt;
    }
    if (problem = option->store(options, value); !problem.empty()) return std::nullopt;
  }
  if (problem = check_complete(options); !problem.empty()) return std::nullopt;
  return options;
}

std::vector<std::string> compare_option_names() {
  std::vector<std::string> names;
  for (const option_definition& option : option_table) names.push_back(std::string("--").append(option.name));
  names.emplace_back("--help");
  return names;
}

std::string compare_usage() {
  return "Usage: VIViriZovuro-compare --database=FILE|postgresql://... --project_name=P --hash_value=NEW\n"
         "                            [--platform=X] [--baseline=OLD | --ancestors=FILE] [--repository=DIR|none]\n"
         "                            [--path-prefix=OLD=NEW ...]\n"
         "                            [--markdown=FILE] [--markdown-limit=BYTES] [--json=FILE]\n"
         "                            [--html=FILE] [--history=N] [--fail-on=RULE,...]\n"
         "Compares the run of hash NEW of project P in the results database with its baseline.\n"
         "  --ancestors=FILE  hashes one per line, newest first (git rev-list --first-parent HEAD~1); - reads\n"
         "                    standard input. Without it or --baseline: the ancestry git gives (--repository,\n"
         "                    or the working directory's), else the newest older run of each kind.\n"
         "  --html=FILE       a page with the trends of the last --history=N runs (default 30, at most 1000)\n"
         "                    and the comparison\n"
         "  --fail-on=RULE    " + rule_list(20, 20, 100) + "; exit status 1 when one breaks;\n"
         "                    none checks nothing.\n"
         "Exit status: 0 no rule broken, 1 a rule broken, 2 a bad command line, 3 no rows or no database.\n";
}

}  // namespace Compare
