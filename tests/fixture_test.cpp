// Fixture pairs under fixtures/<parser_type>/: every <case>.input is converted
// with the standard options and the output file must equal <case>.expected
// byte for byte (the run's date and time normalised). Standard output must
// equal <case>.stdout where that file exists, else "version 0" followed by the
// expected output. Every SQL output must load into SQLite.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/files.h"
#include "support/program.h"
#include "support/sqlite_db.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

struct Fixture {
  std::string parser_type;
  fs::path stem;  // the case's path without its extension
};

void PrintTo(const Fixture& fixture, std::ostream* os) { *os << fixture.stem.string(); }

std::vector<Fixture> discover_fixtures() {
  std::vector<Fixture> found;
  for (const auto& dir : fs::directory_iterator(VIVIRI_FIXTURES)) {
    if (!dir.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(dir.path())) {
      if (file.path().extension() == ".input")
        found.push_back({dir.path().filename().string(), fs::path(file.path()).replace_extension()});
    }
  }
  std::sort(found.begin(), found.end(), [](const Fixture& a, const Fixture& b) { return a.stem < b.stem; });
  return found;
}

bool writes_sql(const std::string& parser_type) {
  return parser_type != "ClangTidy" && parser_type != "QAC_full_report" && parser_type != "ClangTidy_all";
}

std::string with_extension(const fs::path& stem, const char* extension) {
  return fs::path(stem).replace_extension(extension).string();
}

class FixtureTest : public testing::TestWithParam<Fixture> {};

TEST_P(FixtureTest, ConvertsToExpectedOutput) {
  const Fixture& fixture = GetParam();
  TempDir dir;
  const std::string output = dir.file("output");
  const RunResult run = run_program(standard_args(fixture.parser_type, with_extension(fixture.stem, ".input"), output));
  ASSERT_EQ(run.exit_status, 0) << run.out;

  const std::string expected = read_file(with_extension(fixture.stem, ".expected"));
  const std::string written = normalise_date_time(read_file(output));
  EXPECT_EQ(written, expected);

  const std::string stdout_file = with_extension(fixture.stem, ".stdout");
  const std::string expected_stdout = fs::exists(stdout_file) ? read_file(stdout_file) : "version 0" + expected;
  EXPECT_EQ(normalise_date_time(run.out), expected_stdout);

  if (writes_sql(fixture.parser_type)) {
    SqliteDb db;
    EXPECT_EQ(db.exec(read_file(output)), "");
  }
}

std::string fixture_name(const testing::TestParamInfo<Fixture>& info) {
  std::string name = info.param.parser_type + "_" + info.param.stem.filename().string();
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureTest, testing::ValuesIn(discover_fixtures()), fixture_name);

}  // namespace
