#pragma once
// What the comparison of a run with its baseline found, per platform and
// per kind of rows. Every output (the summary, Markdown, JSON, the page) is
// written from these records.

#include <optional>
#include <string>
#include <vector>

#include "compare/coverage_kind.h"
#include "compare/memory_kind.h"
#include "compare/qac_kind.h"
#include "compare/tests_kind.h"
#include "compare/warnings_kind.h"

namespace Compare {

struct platform_comparison {
  std::string platform;
  std::optional<tests_comparison> tests;
  std::vector<coverage_comparison> coverage;  // by tool
  std::optional<warnings_comparison> warnings;
  std::optional<qac_comparison> qac;
  std::optional<memory_comparison> memory;
};

struct broken_rule {
  std::string platform;
  std::string rule;
  std::string detail;
};

/// How the runs of a line of work were ordered: by an ancestry (from git or
/// from --ancestors, `depth` commits of it) or by date.
struct run_window {
  std::string order = "date";   // "ancestry" or "date"
  std::string source = "date";  // "git", "ancestors" or "date"
  std::optional<std::size_t> depth;
};

struct comparison {
  std::string project;
  std::string current_hash;
  std::vector<platform_comparison> runs;  // by platform
  std::vector<std::string> rules;  // the gate's rules as given, each once; none: nothing checked
  std::vector<broken_rule> broken;
  run_window window;
  std::vector<std::string> notes;  // what a reader must know to trust the figures
  bool passed() const { return broken.empty(); }
};

}  // namespace Compare
