#pragma once
// Every parser type the program knows: its name on the command line, its
// converter and the kind of output it writes. The program, the tests, the
// fuzz targets and the benchmark all take the list from here.

#include <span>
#include <string_view>

#include "detail/options.h"

enum class output_kind {
  sql_table,    // an SQL script of one table's rows (and, with --database, the rows in a database)
  text_report,  // a plain-text report
  page          // an HTML page
};

struct parser_type {
  std::string_view name;
  void (*get_final_result)(const Detail::options&);
  output_kind output;
};

/// Every parser type, in the order the program has always tried them.
std::span<const parser_type> parser_types();

/// The parser type called `name` exactly (case-sensitive), or nullptr.
const parser_type* find_parser_type(std::string_view name);

/// The name of an output kind as the benchmark and the tests print it:
/// "sql", "text" or "page".
std::string_view output_kind_name(output_kind kind);
