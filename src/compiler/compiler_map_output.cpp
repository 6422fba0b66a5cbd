#include "compiler/compiler_map_output.h"

namespace CompilerMap {

const Detail::sql_table& compiler_map_table() {
  static const Detail::sql_table table{"compiler_map",
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

}  // namespace CompilerMap
