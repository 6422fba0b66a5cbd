#include "detail/tables.h"

namespace Detail {

const sql_table& ut_results_table() {
  static const sql_table table{
      "ut_results",
      {{"platform"}, {"project"}, {"tool"}, {"githash"}, {"date"}, {"time"}, {"type"}, {"name"}, {"result"}},
      7,
      {"project", "githash", "name"}};
  return table;
}

const sql_table& ut_coverage_table() {
  static const sql_table table{"ut_coverage",
                               {{"platform"},
                                {"project"},
                                {"tool"},
                                {"githash"},
                                {"date"},
                                {"time"},
                                {"C0_percent", "INTEGER"},
                                {"C0_tested_lines", "INTEGER"},
                                {"C0_testable_lines", "INTEGER"},
                                {"C1_percent", "INTEGER"},
                                {"C1_tested_lines", "INTEGER"},
                                {"C1_testable_lines", "INTEGER"},
                                {"function_name"}},
                               6,
                               {"project", "githash", "function_name"}};
  return table;
}

const sql_table& q_results_table() {
  static const sql_table table{
      "q_results",
      {{"platform"}, {"project"}, {"tool"},    {"githash"}, {"date"},    {"time"},    {"filename"},
       {"misra_0"},  {"misra_1"}, {"misra_2"}, {"misra_3"}, {"misra_4"}, {"misra_5"}, {"misra_6"},
       {"misra_7"},  {"misra_8"}, {"misra_9"}, {"his"}},
      6,
      {"githash", "filename"}};
  return table;
}

const sql_table& compiler_results_table() {
  static const sql_table table{"compiler_results",
                               {{"platform"},
                                {"project"},
                                {"githash"},
                                {"date"},
                                {"time"},
                                {"filename"},
                                {"line", "INTEGER"},
                                {"type"},
                                {"error_id"},
                                {"error_num", "INTEGER"}},
                               5,
                               {}};
  return table;
}

const sql_table& compiler_map_table() {
  static const sql_table table{"compiler_map",
                               {{"platform"},
                                {"project"},
                                {"githash"},
                                {"date"},
                                {"time"},
                                {"originhex"},
                                {"origindec", "INT", true},
                                {"sizehex"},
                                {"sizedec", "INT", true},
                                {"section"},
                                {"filename"}},
                               5,
                               {}};
  return table;
}

std::span<const sql_table* const> results_tables() {
  static const sql_table* const tables[] = {&ut_results_table(), &ut_coverage_table(), &q_results_table(),
                                            &compiler_results_table(), &compiler_map_table()};
  return tables;
}

}  // namespace Detail
