#include "compiler/compiler_results_output.h"

namespace CompilerResults {

const Detail::sql_table& compiler_results_table() {
  static const Detail::sql_table table{"compiler_results",
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

}  // namespace CompilerResults
