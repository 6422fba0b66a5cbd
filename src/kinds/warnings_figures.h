#pragma once
// The figures of a run's compiler_results rows: its distinct warnings (a
// diagnostic printed twice, a header included by two files, is one) and
// their counts per type.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "kinds/stored_rows.h"

namespace Kinds {

struct warning {
  std::string filename;
  std::optional<std::int64_t> line;  // none where the diagnostic has no line
  std::string type;
  std::string error_id;
};

using counts_by_type = std::map<std::string, std::int64_t>;

/// How a stored file name is shown and matched: normal_path() at least.
using path_mapping = std::function<std::string(const std::string&)>;

/// By file (its mapped name), line, type and identifier.
std::vector<warning> distinct_warnings(const rows& stored, const path_mapping& map_path = {});
counts_by_type counts_of(const std::vector<warning>& warnings);
counts_by_type count_warnings(const rows& stored, const path_mapping& map_path = {});

}  // namespace Kinds
