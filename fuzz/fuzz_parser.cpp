// libFuzzer target for one parser type (VIVIRI_FUZZ_PARSER_TYPE, set by the
// build): the input bytes become the report file, the parser converts it into
// the output file as the program would, and the output is checked.
//
// Checks on every SQL script: a non-empty script ends with a line feed and has
// no NUL byte; its first line is the create statement; every other line is one
// insert statement that SQLite runs on its own. Checks on the text and HTML
// outputs: a non-empty output ends with a line feed.

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

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

#ifndef VIVIRI_FUZZ_PARSER_TYPE
#error "VIVIRI_FUZZ_PARSER_TYPE names the parser type to fuzz"
#endif

namespace {

struct parser {
  const char* name;
  void (*get_final_result)(const Detail::options&);
  bool writes_sql;
};

constexpr parser parsers[] = {
    {"ClangTidy", &ZEZudizOzazIdovuvidurElement::get_final_result, false},
    {"PassFail", &QZCUnitResultElement::get_final_result, true},
    {"CTC_Coverage", &QZCtcCoverageResultElement::get_final_result, true},
    {"GCOV_Coverage", &QZGCovCoverageResultElement::get_final_result, true},
    {"QAC", &QZQacResultElement::get_final_result, true},
    {"QAC_full_report", &QZQacResultElement::get_final_result, false},
    {"Warning", &QZCompilerWarningsElement::get_final_result, true},
    {"Map", &QZCompilerMapElement::get_final_result, true},
    {"Map_KEIL", &QZCompilerMapKeilElement::get_final_result, true},
    {"Map_GNU", &QZCompilerMapGnuElement::get_final_result, true},
    {"ClangTidy_all", &ZEZudizOzazIdovuvidurElement::get_final_result, false},
    {"LCOV_Coverage", &QZLcovCoverageResultElement::get_final_result, true},
    {"PassFail_XML", &QZXmlResultElement::get_final_result, true},
    {"Warning_GCC", &QZCompilerWarningsGccElement::get_final_result, true},
    {"Warning_TI", &QZCompilerWarningsTiElement::get_final_result, true},
    {"Warning_MSVC", &QZCompilerWarningsMsvcElement::get_final_result, true},
    {"Warning_SARIF", &QZCompilerWarningsSarifElement::get_final_result, true},
};

const parser* fuzzed = nullptr;
Detail::options options;

[[noreturn]] void fail(const char* what, std::string_view line = {}) {
  std::fprintf(stderr, "%s: %s\n", VIVIRI_FUZZ_PARSER_TYPE, what);
  if (!line.empty()) std::fprintf(stderr, "line: %.*s\n", static_cast<int>(std::min<std::size_t>(line.size(), 500)), line.data());
  std::abort();
}

std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void check_sql(const std::string& script) {
  if (script.empty()) return;
  if (script.back() != '\n') fail("the script does not end with a line feed");
  if (script.find('\0') != std::string::npos) fail("the script holds a NUL byte");
  sqlite3* db = nullptr;
  if (sqlite3_open(":memory:", &db) != SQLITE_OK) fail("cannot open SQLite");
  // Strict like SQLITE_DQS=0 builds: a double-quoted value is never a string.
  for (const int option : {SQLITE_DBCONFIG_DQS_DML, SQLITE_DBCONFIG_DQS_DDL}) {
    if (sqlite3_db_config(db, option, 0, nullptr) != SQLITE_OK) fail("cannot switch off double-quoted strings");
  }
  std::size_t begin = 0;
  for (std::size_t number = 1; begin < script.size(); ++number) {
    const std::size_t end = script.find('\n', begin);
    const std::string line = script.substr(begin, end - begin);
    begin = end + 1;
    const char* prefix = number == 1 ? "create table if not exists " : "insert into ";
    if (line.rfind(prefix, 0) != 0) fail(number == 1 ? "first line is not the create statement" : "line is not an insert", line);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, line.c_str(), -1, &statement, &tail) != SQLITE_OK || statement == nullptr) {
      std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
      fail("line does not compile in SQLite", line);
    }
    if (*tail != '\0') fail("line holds more than one statement", line);
    if (sqlite3_step(statement) != SQLITE_DONE) {
      std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
      fail("line does not run in SQLite", line);
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const parser& candidate : parsers) {
    if (std::strcmp(candidate.name, VIVIRI_FUZZ_PARSER_TYPE) == 0) fuzzed = &candidate;
  }
  if (fuzzed == nullptr) fail("no such parser type");
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/viviri-fuzz-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) fail("cannot create a temporary folder");
  options.input = folder + "/input";
  options.output = folder + "/output";
  options.parser_type = VIVIRI_FUZZ_PARSER_TYPE;
  options.platform = "Pwe3";
  options.test_type = "Unit";
  options.project_name = "K7Tr52_App_default";
  options.tool_name = "CTC";
  options.hash_value = "HASH";
  // Every conversion echoes its output: keep standard output quiet.
  const int null = open("/dev/null", O_WRONLY);
  if (null < 0 || dup2(null, STDOUT_FILENO) < 0) fail("cannot silence standard output");
  close(null);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream in(options.input, std::ios::binary | std::ios::trunc);
    in.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!in) fail("cannot write the input file");
  }
  // The program creates the output before the parser runs.
  { std::ofstream out(options.output, std::ios::binary | std::ios::trunc); }
  fuzzed->get_final_result(options);
  const std::string output = read_whole(options.output);
  if (fuzzed->writes_sql) {
    check_sql(output);
  } else if (!output.empty() && output.back() != '\n') {
    fail("the output does not end with a line feed");
  }
  return 0;
}
