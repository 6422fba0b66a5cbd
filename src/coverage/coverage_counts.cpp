#include "coverage/coverage_counts.h"

#include <charconv>
#include <utility>

#include "detail/messages.h"

namespace Coverage {

namespace {

// 100 x a 64-bit count needs more than 64 bits.
__extension__ typedef unsigned __int128 wide_count;

std::string to_decimal(wide_count value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

Number parse_number(std::string_view text, count& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || stop != end) return Number::malformed;
  if (error == std::errc::result_out_of_range) return Number::too_large;
  return error == std::errc() ? Number::ok : Number::malformed;
}

bool Tally::add(const Tally& other) {
  return !__builtin_add_overflow(hit, other.hit, &hit) && !__builtin_add_overflow(found, other.found, &found);
}

std::string percent(count hit, count found) {
  if (found == 0) return "";
  return to_decimal(static_cast<wide_count>(hit) * 100 / found);
}

coverage_row counted_row(std::string name, const Tally& lines, const std::optional<Tally>& branches) {
  coverage_row row;
  row.function_name = std::move(name);
  row.C0_percent = percent(lines.hit, lines.found);
  row.C0_tested_lines = std::to_string(lines.hit);
  row.C0_testable_lines = std::to_string(lines.found);
  if (branches) {
    row.C1_percent = percent(branches->hit, branches->found);
    row.C1_tested_lines = std::to_string(branches->hit);
    row.C1_testable_lines = std::to_string(branches->found);
  }
  return row;
}

void report_number_too_large(std::size_t line_number) {
  Detail::print_error("Number too large on input line " + std::to_string(line_number) + ", the record was skipped");
}

void ModuleTotals::add(const Tally& lines, const std::optional<Tally>& branches) {
  any_row_ = true;
  if (!lines_.add(lines)) overflow_ = true;
  if (!branches) return;
  if (!branches_) branches_.emplace();
  if (!branches_->add(*branches)) overflow_ = true;
}

std::optional<coverage_row> ModuleTotals::module_row() const {
  if (!any_row_) return std::nullopt;
  if (overflow_) {
    Detail::print_error("Coverage totals too large for 64 bits, the *module_statistics row was skipped");
    return std::nullopt;
  }
  return counted_row("*module_statistics", lines_, branches_);
}

}  // namespace Coverage
