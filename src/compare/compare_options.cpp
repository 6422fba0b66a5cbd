#include "compare/compare_options.h"

#include <charconv>
#include <string_view>

namespace Compare {

namespace {

bool read_number(std::string_view text, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool read_points(std::string_view text, double& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// One rule of --fail-on; an empty text on success, else why not.
std::string read_rule(std::string_view text, gate_rule& rule) {
  const std::size_t equals = text.find('=');
  const std::string_view name = text.substr(0, equals);
  const std::optional<std::string_view> value =
      equals == std::string_view::npos ? std::nullopt : std::optional(text.substr(equals + 1));
  if (name == "new-failures" || name == "new-qac") {
    rule.what = name == "new-qac" ? gate_rule::kind::new_qac : gate_rule::kind::new_failures;
    return value ? "--fail-on: " + std::string(name) + " takes no value" : "";
  }
  if (name == "new-warnings") {
    rule.what = gate_rule::kind::new_warnings;
    if (value && value->empty()) return "--fail-on: new-warnings= needs a warning type";
    rule.warning_type = value.value_or("");
    return {};
  }
  if (name == "coverage-drop") {
    rule.what = gate_rule::kind::coverage_drop;
    if (value && !read_points(*value, rule.points))
      return "--fail-on: coverage-drop needs a number of points of at least 0, not '" + std::string(*value) + "'";
    return {};
  }
  if (name == "size-growth") {
    rule.what = gate_rule::kind::size_growth;
    if (value && !read_number(*value, rule.bytes))
      return "--fail-on: size-growth needs a whole number of bytes, not '" + std::string(*value) + "'";
    return {};
  }
  return "--fail-on: unknown rule '" + std::string(name) +
         "' (new-failures, new-warnings[=TYPE], new-qac, coverage-drop[=POINTS], size-growth[=BYTES])";
}

std::string read_rules(std::string_view list, std::vector<gate_rule>& rules) {
  while (true) {
    const std::size_t comma = list.find(',');
    const std::string_view text = list.substr(0, comma);
    if (!text.empty()) {
      gate_rule rule{};
      if (std::string problem = read_rule(text, rule); !problem.empty()) return problem;
      rules.push_back(rule);
    }
    if (comma == std::string_view::npos) return {};
    list.remove_prefix(comma + 1);
  }
}

// Stores one option's value; an empty text on success, else why not.
std::string store(compare_options& options, std::string_view name, const std::string& value) {
  if (name == "database") options.database = value;
  else if (name == "project_name") options.project = value;
  else if (name == "hash_value") options.hash = value;
  else if (name == "platform") options.platform = value;
  else if (name == "baseline") options.baseline = value;
  else if (name == "ancestors") options.ancestors = value;
  else if (name == "markdown") options.markdown = value;
  else if (name == "json") options.json = value;
  else if (name == "html") options.html = value;
  else if (name == "fail-on") return read_rules(value, options.rules);
  else if (name == "markdown-limit") {
    if (!read_number(value, options.markdown_limit) || options.markdown_limit < smallest_markdown_limit)
      return "--markdown-limit needs a whole number of bytes of at least 4096, not '" + value + "'";
  } else if (name == "history") {
    std::uint64_t runs = 0;
    if (!read_number(value, runs) || runs < 1 || runs > 1000)
      return "--history needs a number of runs from 1 to 1000, not '" + value + "'";
    options.history = static_cast<std::size_t>(runs);
  }
  return {};
}

constexpr std::string_view valued_options[] = {"database", "project_name", "hash_value",     "platform",
                                               "baseline", "ancestors",    "markdown",       "markdown-limit",
                                               "json",     "html",         "history",        "fail-on"};

bool takes_value(std::string_view name) {
  for (std::string_view known : valued_options) {
    if (known == name) return true;
  }
  return false;
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
    if (!takes_value(name)) {
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
    if (problem = store(options, name, value); !problem.empty()) return std::nullopt;
  }
  if (problem = check_complete(options); !problem.empty()) return std::nullopt;
  return options;
}

std::vector<std::string> compare_option_names() {
  std::vector<std::string> names;
  for (std::string_view name : valued_options) names.push_back(std::string("--").append(name));
  names.emplace_back("--help");
  return names;
}

std::string compare_usage() {
  return "Usage: VIViriZovuro-compare --database=FILE|postgresql://... --project_name=P --hash_value=NEW\n"
         "                            [--platform=X] [--baseline=OLD | --ancestors=FILE]\n"
         "                            [--markdown=FILE] [--markdown-limit=BYTES] [--json=FILE]\n"
         "                            [--html=FILE] [--history=N] [--fail-on=RULE,...]\n"
         "Compares the run of hash NEW of project P in the results database with its baseline.\n"
         "  --ancestors=FILE  hashes one per line, newest first (git rev-list --first-parent HEAD~1); - reads\n"
         "                    standard input. Without it or --baseline: the newest older run of each kind.\n"
         "  --html=FILE       a page with the trends of the last --history=N runs (default 30, at most 1000)\n"
         "                    and the comparison\n"
         "  --fail-on=RULE    new-failures, new-warnings[=TYPE], new-qac, coverage-drop[=POINTS],\n"
         "                    size-growth[=BYTES]; exit status 1 when one breaks.\n"
         "Exit status: 0 no rule broken, 1 a rule broken, 2 a bad command line, 3 no rows or no database.\n";
}

}  // namespace Compare
