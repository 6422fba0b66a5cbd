// VIViriZovuro-compare: compares a run in the results database with its
// baseline, and gates the build on what got worse.
//
//   VIViriZovuro-compare --database=FILE|postgresql://... --project_name=P --hash_value=NEW
//                        [--platform=X] [--baseline=OLD | --ancestors=FILE] [--repository=DIR|none]
//                        [--markdown=FILE] [--markdown-limit=BYTES] [--json=FILE]
//                        [--html=FILE] [--history=N] [--fail-on=RULE,...]
//
// The summary goes to standard output, messages to standard error.
//
// Exit status:
//   0  compared; no rule of --fail-on broken (also without a baseline)
//   1  compared; a rule of --fail-on broken
//   2  a bad command line (an unknown option, a missing or bad value)
//   3  no rows for the hash, a database that cannot be read, a file that
//      cannot be written

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "compare/ancestry.h"
#include "compare/compare.h"
#include "compare/history_page.h"
#include "compare/reports.h"
#include "detail/messages.h"
#include "detail/output_writer.h"

namespace {

enum status : int { passed = 0, rule_broken = 1, bad_command_line = 2, failed = 3 };

int refuse_command_line(const std::string& problem) {
  Detail::print_error(std::cerr, problem);
  std::cerr << Compare::compare_usage();
  return bad_command_line;
}

bool write_report(const std::optional<std::string>& path, const std::string& text) {
  errno = 0;
  if (!path || Detail::write_file(*path, text)) return true;
  const int reason = errno;
  Detail::print_error(std::cerr, "Could not write " + *path + (reason ? std::string(": ") + std::strerror(reason) : ""));
  return false;
}

int run(const Compare::compare_options& options) {
  std::string problem;
  const std::optional<Compare::ancestry> line = Compare::find_ancestry(options, problem);
  if (!line) return refuse_command_line(problem);
  const Compare::baseline_rule& rule = line->rule;
  Compare::comparison found;
  std::vector<std::vector<Compare::run_figures>> trends;
  try {
    const auto source = Detail::open_row_source(options.database);
    const Compare::History history(*source, options.project);
    const Compare::PathMap paths = Compare::path_map(options, *line);
    found = Compare::compare_runs(*source, history, options, *line, paths);
    if (options.html) {
      for (const Compare::platform_comparison& platform : found.runs)
        trends.push_back(Compare::read_trends(*source, history, rule, paths, options.project, platform.platform, options.hash,
                                              options.history));
    }
  } catch (const Detail::database_error& error) {
    Detail::print_error(std::cerr, std::string("Could not read database: ") + error.what());
    return failed;
  } catch (const Compare::no_rows_error& error) {
    Detail::print_error(std::cerr, error.what());
    return failed;
  }
  Compare::apply_gate(found, options.rules);
  // The files first: a reader of standard output that stops early (head)
  // must not cost them.
  bool written = write_report(options.markdown, Compare::markdown_report(found, options.markdown_limit));
  written = write_report(options.json, Compare::json_report(found)) && written;
  if (options.html) written = write_report(options.html, Compare::history_page(found, trends)) && written;
  errno = 0;
  std::cout << Compare::text_report(found) << std::flush;
  if (!std::cout) {
    const int reason = errno;
    Detail::print_error(std::cerr, "Could not write standard output" +
                                       (reason ? std::string(": ") + std::strerror(reason) : std::string()));
    return failed;
  }
  if (!written) return failed;
  return found.passed() ? passed : rule_broken;
}

}  // namespace

int main(int argc, char* argv[]) {
  Detail::set_program_name("VIViriZovuro-compare");
  // A closed standard output is an error to report, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  std::string problem;
  const auto options = Compare::parse_compare_options({argv + 1, argv + argc}, problem);
  if (!options) return refuse_command_line(problem);
  if (options->help) {
    std::cout << Compare::compare_usage();
    return passed;
  }
  return run(*options);
}
