// libFuzzer target for one parser type, named by the environment variable
// VIVIRI_FUZZ_PARSER_TYPE (fuzz/run sets it from the program's table): the
// input bytes become the report file, the parser converts it into the output
// file as the program would, and the output is checked.
//
// Checks on every SQL script: a non-empty script ends with a line feed and has
// no NUL byte; it is one transaction around the create statement and one
// insert statement per line, each of which SQLite runs on its own. Checks on the text and HTML
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

#include "detail/options.h"
#include "parser_types.h"

namespace {

const parser_type* fuzzed = nullptr;
Detail::options options;

[[noreturn]] void fail(const char* what, std::string_view line = {}) {
  std::fprintf(stderr, "%s: %s\n", options.parser_type.c_str(), what);
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
  if (script.rfind("BEGIN TRANSACTION;\n", 0) != 0) fail("the script does not begin its transaction");
  if (!script.ends_with("\nCOMMIT;\n")) fail("the script does not commit its transaction");
  std::size_t begin = 0;
  for (std::size_t number = 1; begin < script.size(); ++number) {
    const std::size_t end = script.find('\n', begin);
    const std::string line = script.substr(begin, end - begin);
    const bool last = end + 1 == script.size();
    begin = end + 1;
    const char* prefix = number == 1 ? "BEGIN TRANSACTION;"
                         : number == 2 ? "create table if not exists "
                         : last        ? "COMMIT;"
                                       : "insert into ";
    if (line.rfind(prefix, 0) != 0) fail(number == 2 ? "second line is not the create statement" : "line is not an insert", line);
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
  const char* name = std::getenv("VIVIRI_FUZZ_PARSER_TYPE");
  options.parser_type = name != nullptr ? name : "";
  fuzzed = find_parser_type(options.parser_type);
  if (fuzzed == nullptr) fail("VIVIRI_FUZZ_PARSER_TYPE names no parser type");
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/viviri-fuzz-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) fail("cannot create a temporary folder");
  options.input = folder + "/input";
  options.output = folder + "/output";
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
  if (fuzzed->output == output_kind::sql_table) {
    check_sql(output);
  } else if (!output.empty() && output.back() != '\n') {
    fail("the output does not end with a line feed");
  }
  return 0;
}
