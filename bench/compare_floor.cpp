// The floor the comparison's benchmark measures VIViriZovuro-compare against:
// the rows of the two runs compared, read with plain select statements
// through the same library into memory, nothing else. Prints the seconds
// that took and the bytes of the rows' texts.
//
//   compare_floor DATABASE PROJECT PLATFORM HASH_NEW HASH_OLD

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "detail/row_source.h"
#include "detail/tables.h"

int main(int argc, char* argv[]) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: compare_floor DATABASE PROJECT PLATFORM HASH_NEW HASH_OLD\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const auto source = Detail::open_row_source(argv[1]);
  std::vector<std::vector<Detail::stored_row>> kept;
  std::size_t bytes = 0;
  for (const Detail::sql_table* table : Detail::results_tables()) {
    for (const char* hash : {argv[4], argv[5]}) {
      kept.push_back(source->rows(*table, argv[2], hash, argv[3]));
      for (const Detail::stored_row& row : kept.back()) {
        for (const std::string& value : row) bytes += value.size();
      }
    }
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.6f %zu\n", took.count(), bytes);
  return 0;
}
