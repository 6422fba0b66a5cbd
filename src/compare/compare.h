#pragma once
// The comparison of one run of a project with its baselines, read from a
// results database, and the gate that judges it.
//
//   auto source = Detail::open_row_source("results.db");
//   Compare::comparison found = Compare::compare_runs(*source, options, rule);
//   Compare::apply_gate(found, options.rules);
//   found.passed();  // no rule broken

#include <stdexcept>
#include <string>

#include "compare/ancestry.h"
#include "compare/compare_options.h"
#include "compare/paths.h"
#include "compare/comparison.h"
#include "compare/history.h"
#include "detail/row_source.h"

namespace Compare {

/// A hash the database holds no rows of: "No rows for hash H of project P".
class no_rows_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Compares the run options.hash of options.project (on options.platform, or
/// on each of its platforms) with the baselines `rule` chooses. Throws
/// no_rows_error and Detail::database_error.
comparison compare_runs(Detail::RowSource& source, const compare_options& options, const ancestry& line);

/// The same, on a history already read, with the warnings' paths mapped.
comparison compare_runs(Detail::RowSource& source, const History& history, const compare_options& options,
                        const ancestry& line, const PathMap& paths);

/// The path of each warning's file, as `line`'s repository knows them.
PathMap path_map(const compare_options& options, const ancestry& line);

/// Judges `found` by `rules`: every rule a platform breaks is added to
/// found.broken, with its figures.
void apply_gate(comparison& found, const std::vector<gate_rule>& rules);

}  // namespace Compare
