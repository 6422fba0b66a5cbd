// Fixture pairs under fixtures/<parser_type>/: every <case>.input is converted
// with the standard options and the output file must equal <case>.expected
// byte for byte (the run's date and time normalised). Standard output must
// equal <case>.stdout where that file exists, else "version 0" followed by the
// expected output. Every SQL output must load into SQLite.

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "parser_types.h"
#include "support/files.h"
#include "support/fixtures.h"
#include "support/program.h"
#include "support/sqlite_db.h"

namespace fs = std::filesystem;
using namespace test_support;

namespace {

bool writes_sql(const std::string& name) {
  const parser_type* type = find_parser_type(name);
  return type && type->output == output_kind::sql_table;
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

// `text` (UTF-8) in `encoding`, or nothing when it is not valid UTF-8.
std::optional<std::string> reencoded(const std::string& text, const char* encoding) {
  iconv_t converter = iconv_open(encoding, "UTF-8");
  std::string out(text.size() * 4, '\0');
  char* in_at = const_cast<char*>(text.data());
  char* out_at = out.data();
  std::size_t in_left = text.size(), out_left = out.size();
  const std::size_t result = iconv(converter, &in_at, &in_left, &out_at, &out_left);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1)) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

// Windows tools write reports in UTF-16 with a byte-order mark, or in UTF-8
// with one: each converts exactly like the plain UTF-8 report.
TEST_P(FixtureTest, ByteOrderMarkedCopiesConvertAlike) {
  const Fixture& fixture = GetParam();
  const std::string input = read_file(with_extension(fixture.stem, ".input"));
  const std::optional<std::string> little = reencoded(input, "UTF-16LE");
  if (!little) GTEST_SKIP() << "not UTF-8 text";
  const std::string copies[] = {"\xFF\xFE" + *little, "\xFE\xFF" + *reencoded(input, "UTF-16BE"),
                                "\xEF\xBB\xBF" + input};
  const std::string expected = read_file(with_extension(fixture.stem, ".expected"));
  const std::string stdout_file = with_extension(fixture.stem, ".stdout");
  const std::string expected_stdout = fs::exists(stdout_file) ? read_file(stdout_file) : "version 0" + expected;
  TempDir dir;
  for (const std::string& copy : copies) {
    write_file(dir.file("copy.input"), copy);
    const RunResult run = run_program(standard_args(fixture.parser_type, dir.file("copy.input"), dir.file("out")));
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(normalise_date_time(read_file(dir.file("out"))), expected) << testing::PrintToString(copy.substr(0, 3));
    EXPECT_EQ(normalise_date_time(run.out), expected_stdout) << testing::PrintToString(copy.substr(0, 3));
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureTest, testing::ValuesIn(discover_fixtures()),
                         [](const testing::TestParamInfo<Fixture>& tested) { return fixture_test_name(tested.param); });

}  // namespace
