#include "coverage/coverage_output.h"

namespace Coverage {

const Detail::sql_table& ut_coverage_table() {
  static const Detail::sql_table table{"ut_coverage",
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

}  // namespace Coverage
