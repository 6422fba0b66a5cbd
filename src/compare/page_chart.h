#pragma once
// A trend chart of the history page, as a kind describes it: one series of
// figures per run; the page draws it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compare/baseline.h"
#include "compare/trends.h"

namespace Compare {

struct series {
  std::string label;
  std::vector<std::optional<double>> values;  // one per run; none where the run has no such figure
};

struct chart {
  std::string title;
  std::string unit;  // the y axis
  bool stacked = false;
  bool percent = false;
  std::vector<series> lines;
  std::optional<baseline> base;
};

template <typename Value>
series series_of(std::string label, const std::vector<run_figures>& runs, Value value) {
  series line{std::move(label), {}};
  for (const run_figures& run : runs) line.values.push_back(value(run));
  return line;
}

inline std::optional<double> as_double(std::optional<std::int64_t> value) {
  return value ? std::optional(static_cast<double>(*value)) : std::nullopt;
}

}  // namespace Compare
