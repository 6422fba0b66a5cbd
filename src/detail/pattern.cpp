#include "detail/pattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace Detail {

struct Pattern::Engine {
  pcre2_code* code = nullptr;
  pcre2_match_data* data = nullptr;
  pcre2_match_context* context = nullptr;
  pcre2_jit_stack* jit_stack = nullptr;
  std::size_t groups = 0;

  ~Engine() {
    pcre2_jit_stack_free(jit_stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
};

namespace {

std::string compile_error_text(const std::string& source, int code, PCRE2_SIZE offset) {
  PCRE2_UCHAR text[256];
  pcre2_get_error_message(code, text, sizeof text);
  return "pattern does not compile at offset " + std::to_string(offset) + ": " +
         reinterpret_cast<const char*>(text) + ": " + source;
}

}  // namespace

Pattern::Pattern(std::string source, unsigned long base_match_limit)
    : source_(std::move(source)), base_match_limit_(base_match_limit), engine_(std::make_unique<Engine>()) {
  // Anchored at the start and required to reach the very end: std::regex_match.
  // Auto-possessification is off because a possessive run is scanned without
  // counting against the match limit: a hostile line (a long run of blanks
  // before a non-matching tail) would then take quadratic time instead of
  // giving up.
  const std::string whole = "(?:" + source_ + ")\\z";
  pcre2_compile_context* compile_context = pcre2_compile_context_create(nullptr);
  pcre2_set_newline(compile_context, PCRE2_NEWLINE_ANYCRLF);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  engine_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(whole.data()), whole.size(),
                                PCRE2_ANCHORED | PCRE2_NO_AUTO_POSSESS, &error, &error_offset, compile_context);
  pcre2_compile_context_free(compile_context);
  if (engine_->code == nullptr) throw std::logic_error(compile_error_text(whole, error, error_offset));

  uint32_t captures = 0;
  pcre2_pattern_info(engine_->code, PCRE2_INFO_CAPTURECOUNT, &captures);
  engine_->groups = captures;
  engine_->data = pcre2_match_data_create_from_pattern(engine_->code, nullptr);
  engine_->context = pcre2_match_context_create(nullptr);
  // Without JIT support the interpreter runs the same pattern, only slower.
  if (pcre2_jit_compile(engine_->code, PCRE2_JIT_COMPLETE) == 0) {
    engine_->jit_stack = pcre2_jit_stack_create(32 * 1024, 16 * 1024 * 1024, nullptr);
    pcre2_jit_stack_assign(engine_->context, nullptr, engine_->jit_stack);
  }
}

Pattern::~Pattern() = default;

std::size_t Pattern::group_count() const { return engine_->groups; }

MatchResult Pattern::full_match(std::string_view subject, Match& groups) const {
  // Long subjects legitimately need more backtracking steps than short ones;
  // the limit only has to stop runaway matches, not honest ones.
  const auto limit = base_match_limit_ + 64 * static_cast<unsigned long>(subject.size());
  pcre2_set_match_limit(engine_->context, static_cast<uint32_t>(std::min<unsigned long>(limit, UINT32_MAX)));
  const int rc = pcre2_match(engine_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, 0,
                             engine_->data, engine_->context);
  if (rc == PCRE2_ERROR_NOMATCH) return MatchResult::not_matched;
  if (rc < 0) return MatchResult::gave_up;

  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(engine_->data);
  const std::size_t count = engine_->groups + 1;
  // The same Match is used for line after line: resized only once.
  if (groups.groups_.size() != count) {
    groups.groups_.resize(count);
    groups.set_.resize(count);
  }
  const std::size_t reported = static_cast<std::size_t>(rc);
  for (std::size_t i = 0; i < count; ++i) {
    const PCRE2_SIZE start = i < reported ? ovector[2 * i] : PCRE2_UNSET;
    const bool set = start != PCRE2_UNSET;
    groups.groups_[i] = set ? subject.substr(start, ovector[2 * i + 1] - start) : std::string_view();
    groups.set_[i] = set;
  }
  return MatchResult::matched;
}

}  // namespace Detail
