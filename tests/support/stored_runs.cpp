#include "support/stored_runs.h"

#include <stdexcept>

#include "support/sqlite_db.h"

namespace test_support {

namespace {

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

StoredRuns::StoredRuns() : database_(dir_.file("results.db")) {}

void StoredRuns::load(const std::string& hash, const std::string& date_time, const stored_report& report) {
  const std::string input = dir_.file("report" + std::to_string(++loaded_));
  const std::string script = input + ".sql";
  write_file(input, report.input);
  const RunResult converted =
      run_program({"--input=" + input, "--output=" + script, "--platform=" + report.platform, "--test_type=Unit",
                   "--project_name=App", "--tool_name=" + report.tool, "--hash_value=" + hash,
                   "--parser_type=" + report.parser_type});
  if (converted.exit_status != 0) throw std::runtime_error("the converter failed: " + converted.out);
  std::string text = normalise_date_time(read_file(script));
  const std::size_t blank = date_time.find(' ');
  replace_all(text, "'<date>', '<time>'", "'" + date_time.substr(0, blank) + "', '" + date_time.substr(blank + 1) + "'");
  SqliteDb db(database_);
  if (const std::string error = db.exec(text); !error.empty()) throw std::runtime_error(error);
}

RunResult StoredRuns::compare(const std::string& hash, const std::vector<std::string>& options) const {
  std::vector<std::string> args = {"--database=" + database_, "--project_name=App", "--hash_value=" + hash};
  args.insert(args.end(), options.begin(), options.end());
  return run_compare(args);
}

std::string StoredRuns::json(const std::string& hash, const std::vector<std::string>& options) const {
  const std::string path = dir_.file("comparison.json");
  std::vector<std::string> args = options;
  args.push_back("--json=" + path);
  const RunResult result = compare(hash, args);
  if (result.exit_status > 1) throw std::runtime_error("the comparison failed: " + result.err);
  return read_file(path);
}

std::string gtest_log(const std::map<std::string, std::string>& verdicts) {
  std::string log = "[==========] Running tests.\n";
  for (const auto& [name, verdict] : verdicts) {
    log += "[ RUN      ] " + name + "\n";
    if (verdict == "passed") log += "[       OK ] " + name + " (0 ms)\n";
    else if (verdict == "FAILED") log += "[  FAILED  ] " + name + " (0 ms)\n";
    else log += "[  SKIPPED ] " + name + " (0 ms)\n";
  }
  return log + "[==========] Done.\n";
}

std::string map_listing(const std::vector<std::string>& placements) {
  std::string listing = "Placement (origin+size section file)\n";
  for (const std::string& placement : placements) listing += placement + "\n";
  return listing + "\n";
}

}  // namespace test_support
