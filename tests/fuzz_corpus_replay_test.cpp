// Replays the committed fuzz corpus (fuzz/corpus/<parser type>/) through the
// conversion of every parser type, in this process, so that the sanitizer
// build checks each conversion for memory errors and undefined behaviour.
// Every file goes through every parser type: an input found for one parser is
// just as hostile to another. Each conversion must end with a well-formed
// output: a SQL script whose lines are the create statement and insert
// statements that load into SQLite, a QAC text report, or a clang-tidy page
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

#include "clang_tidy/clang_tidy_element.h"
#include "compiler/compiler_map_element.h"
#include "compiler/compiler_map_keil_element.h"
#include "compiler/compiler_map_gnu_element.h"
#include "compiler/compiler_warnings_element.h"
#include "compiler/compiler_warnings_gcc_element.h"
#include "compiler/compiler_warnings_msvc_element.h"
#include "compiler/compiler_warnings_sarif_element.h"
#include "compiler/compiler_warnings_ti_element.h"
#include "coverage/ctc_coverage_result_element.h"
#include "coverage/gcov_coverage_result_element.h"
#include "coverage/lcov_coverage_result_element.h"
#include "detail/options.h"
#include "qac/qac_result_element.h"
#include "results/cunit_result_element.h"
#include "results/xml_result_element.h"
#include "support/files.h"
#include "support/sqlite_db.h"

using namespace test_support;

namespace {

enum class Output { sql, qac_report, clang_tidy_page };

struct Converter {
  const char* parser_type;
  void (*get_final_result)(const Detail::options&);
  Output output;
};

const Converter converters[] = {
    {"PassFail", &QZCUnitResultElement::get_final_result, Output::sql},
    {"CTC_Coverage", &QZCtcCoverageResultElement::get_final_result, Output::sql},
    {"GCOV_Coverage", &QZGCovCoverageResultElement::get_final_result, Output::sql},
    {"QAC", &QZQacResultElement::get_final_result, Output::sql},
    {"QAC_full_report", &QZQacResultElement::get_final_result, Output::qac_report},
    {"Warning", &QZCompilerWarningsElement::get_final_result, Output::sql},
    {"Map", &QZCompilerMapElement::get_final_result, Output::sql},
    {"Map_KEIL", &QZCompilerMapKeilElement::get_final_result, Output::sql},
    {"Map_GNU", &QZCompilerMapGnuElement::get_final_result, Output::sql},
    {"ClangTidy_all", &ZEZudizOzazIdovuvidurElement::get_final_result, Output::clang_tidy_page},
    {"LCOV_Coverage", &QZLcovCoverageResultElement::get_final_result, Output::sql},
    {"PassFail_XML", &QZXmlResultElement::get_final_result, Output::sql},
    {"ClangTidy", &ZEZudizOzazIdovuvidurElement::get_final_result, Output::clang_tidy_page},
    {"Warning_GCC", &QZCompilerWarningsGccElement::get_final_result, Output::sql},
    {"Warning_TI", &QZCompilerWarningsTiElement::get_final_result, Output::sql},
    {"Warning_MSVC", &QZCompilerWarningsMsvcElement::get_final_result, Output::sql},
    {"Warning_SARIF", &QZCompilerWarningsSarifElement::get_final_result, Output::sql},
};

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
  for (const Converter& converter : converters) {
    const std::vector<std::filesystem::path> own = files_in(corpus_root / converter.parser_type);
    files.insert(files.end(), own.begin(), own.end());
  }
  return files;
}

// Runs one conversion with standard output sent to `stdout_path`.
void convert(const Converter& converter, const Detail::options& options, const std::string& stdout_path) {
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
  EXPECT_EQ(lines.front().rfind("create table if not exists ", 0), 0u) << lines.front();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].rfind("insert into ", 0), 0u) << "line " << i + 1 << ": " << lines[i];
  }
  SqliteDb db;
  EXPECT_EQ(db.exec(script), "");
}

class FuzzCorpusReplay : public testing::TestWithParam<Converter> {};

TEST(FuzzCorpus, HoldsFilesForEveryParserType) {
  for (const Converter& converter : converters) {
    EXPECT_FALSE(files_in(corpus_root / converter.parser_type).empty()) << converter.parser_type;
  }
}

TEST_P(FuzzCorpusReplay, EveryFileGivesAWellFormedOutput) {
  const Converter& converter = GetParam();
  TempDir dir;
  Detail::options options;
  options.output = dir.file("out");
  options.parser_type = converter.parser_type;
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
      case Output::sql:
        expect_sql_script(output);
        break;
      case Output::qac_report:
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output.rfind("[totals]\n", 0), 0u);
        EXPECT_EQ(output.back(), '\n');
        break;
      case Output::clang_tidy_page:
        EXPECT_EQ(!output.empty(), out.find("Report has been built successfully") != std::string::npos);
        if (!output.empty()) {
          EXPECT_EQ(output.back(), '\n');
        }
        break;
    }
    if (HasFailure()) return;  // one broken file is enough to report
  }
}

INSTANTIATE_TEST_SUITE_P(AllParserTypes, FuzzCorpusReplay, testing::ValuesIn(converters),
                         [](const testing::TestParamInfo<Converter>& tested) {
                           return std::string(tested.param.parser_type);
                         });

}  // namespace
