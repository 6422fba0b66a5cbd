// The database floor the benchmark compares --database with: what any loader
// of the same rows into SQLite must at least do. The rows are read from a
// script the program wrote, before the clock starts; then they go into a new
// database file with one prepared statement, static bound text and one
// transaction, nothing else. Prints the seconds that took.
//
//   database_floor SCRIPT DATABASE

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The single-quoted literals of one insert line, from `at` on.
std::vector<std::string> literals(std::string_view line, std::size_t at) {
  std::vector<std::string> values;
  while ((at = line.find('\'', at)) != std::string_view::npos) {
    std::string value;
    for (++at; at < line.size(); ++at) {
      if (line[at] != '\'') {
        value += line[at];
      } else if (at + 1 < line.size() && line[at + 1] == '\'') {
        value += '\'';
        ++at;
      } else {
        break;
      }
    }
    ++at;
    values.push_back(std::move(value));
  }
  return values;
}

bool run(sqlite3* db, const std::string& statement) {
  if (sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: database_floor SCRIPT DATABASE\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string create, insert;
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("create table")) create = line;
    if (!line.starts_with("insert into")) continue;
    const std::size_t values_at = line.find(" values (");
    if (insert.empty()) {
      insert = line.substr(0, values_at) + " values (";
      for (std::size_t i = 0; i < literals(line, values_at).size(); ++i) insert += i == 0 ? "?" : ", ?";
      insert += ")";
    }
    rows.push_back(literals(line, values_at));
  }

  const auto start = std::chrono::steady_clock::now();
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[2], &db) != SQLITE_OK || !run(db, "BEGIN IMMEDIATE") || !run(db, create)) return 1;
  sqlite3_stmt* statement = nullptr;
  if (!rows.empty() && sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK) return 1;
  for (const std::vector<std::string>& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i)
      sqlite3_bind_text(statement, static_cast<int>(i + 1), row[i].data(), static_cast<int>(row[i].size()),
                        SQLITE_STATIC);
    if (sqlite3_step(statement) != SQLITE_DONE) return 1;
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  if (!run(db, "COMMIT")) return 1;
  sqlite3_close(db);
  std::printf("%.6f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return 0;
}
