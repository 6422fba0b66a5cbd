// Replays the committed fuzz corpus (fuzz/corpus/<parser type>/) through the
// conversion of every parser type, in this process, so that the sanitizer
// build checks each conversion for memory errors and undefined behaviour.
// Every file goes through every parser type: an input found for one parser is
// just as hostile to another. Each conversion must end with a well-formed
// output: a SQL script of one transaction holding the create statement and
// insert statements that load into SQLite, a QAC text report, or a clang-tidy page
// exactly when the program says it built one.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "detail/options.h"
#include "parser_types.h"
#include "support/files.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

const std::filesystem::path corpus_root =
    std::filesystem::path(VIVIRI_FIXTURES).parent_path().parent_path() / "fuzz" / "corpus";

std::vector<std::filesystem::path> files_in(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::filesystem::path> whole_corpus() {
  std::vector<std::filesystem::path> files;
  for (const parser_type& type : parser_types()) {
    const std::vector<std::filesystem::path> own = files_in(corpus_root / type.name);
    files.insert(files.end(), own.begin(), own.end());
  }
  return files;
}

// Runs one conversion with standard output sent to `stdout_path`.
void convert(const parser_type& converter, const Detail::options& options, const std::string& stdout_path) {
  std::cout.flush();
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int redirected = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(saved, 0);
  ASSERT_GE(redirected, 0);
  dup2(redirected, STDOUT_FILENO);
  close(redirected);
  converter.get_final_result(options);
  std::cout.flush();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return lines;
}

void expect_sql_script(const std::string& script) {
  ASSERT_FALSE(script.empty());
  EXPECT_EQ(script.back(), '\n');
  EXPECT_EQ(script.find('\0'), std::string::npos);
  const std::vector<std::string> lines = lines_of(script);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "BEGIN TRANSACTION;");
  EXPECT_EQ(lines.back(), "COMMIT;");
  EXPECT_EQ(lines[1].rfind("create table if not exists ", 0), 0u) << lines[1];
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("insert into ", 0), 0u) << "line " << i + 1 << ": " << lines[i];
  }
  SqliteDb db;
  EXPECT_EQ(db.exec(script), "");
}

class FuzzCorpusReplay : public testing::TestWithParam<parser_type> {};

TEST(FuzzCorpus, HoldsFilesForEveryParserType) {
  for (const parser_type& type : parser_types()) {
    EXPECT_FALSE(files_in(corpus_root / type.name).empty()) << type.name;
  }
}

TEST_P(FuzzCorpusReplay, EveryFileGivesAWellFormedOutput) {
  const parser_type& converter = GetParam();
  TempDir dir;
  Detail::options options;
  options.output = dir.file("out");
  options.parser_type = converter.name;
  options.platform = "Pwe3";
  options.test_type = "Unit";
  options.project_name = "K7Tr52_App_default";
  options.tool_name = "CTC";
  options.hash_value = "HASH";
  const std::string stdout_path = dir.file("stdout");

  for (const std::filesystem::path& file : whole_corpus()) {
    SCOPED_TRACE(file.string());
    options.input = file.string();
    write_file(options.output, "");  // the program creates the output before converting
    convert(converter, options, stdout_path);
    const std::string output = read_file(options.output);
    const std::string out = read_file(stdout_path);
    EXPECT_EQ(out.find("Could not write output file"), std::string::npos);
    switch (converter.output) {
      case output_kind::sql_table:
        expect_sql_script(output);
        break;
      case output_kind::text_report:
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output.rfind("[totals]\n", 0), 0u);
        EXPECT_EQ(output.back(), '\n');
        break;
      case output_kind::page:
        EXPECT_EQ(!output.empty(), out.find("Report has been built successfully") != std::string::npos);
        if (!output.empty()) {
          EXPECT_EQ(output.back(), '\n');
        }
        break;
    }
    if (HasFailure()) return;  // one broken file is enough to report
  }
}

INSTANTIATE_TEST_SUITE_P(AllParserTypes, FuzzCorpusReplay, testing::ValuesIn(parser_types()),
                         [](const testing::TestParamInfo<parser_type>& tested) {
                           return std::string(tested.param.name);
                         });

}  // namespace
