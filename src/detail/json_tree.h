#pragma once
// Checking and walking a JSON document with simdjson's on-demand parser, for
// the JSON readers that take their values as events, in file order.
//
//   const std::string text = Detail::read_whole(in, simdjson::SIMDJSON_PADDING);
//   MyVisitor visitor;
//   const std::string problem = Detail::walk_json(text, visitor);  // empty: JSON, every value read

#include <simdjson.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Detail {

namespace json_walk {

namespace od = simdjson::ondemand;

/// The text of a JSON string that holds no escape, from just after its
/// opening quote; nothing for a string with escapes. The parser's first stage
/// checked that every string is closed and holds valid UTF-8 and no control
/// character, so such a text needs no copy: copying every string (and key) of
/// a large document costs as much memory again as its strings take.
std::optional<std::string_view> text_without_escapes(const char* after_quote);

/// Whether every escape of the JSON string `token` (with its quotes) is one
/// JSON allows: then a string the parser refuses holds a \u escape that is
/// not valid UTF-16 (a lone surrogate).
bool escapes_are_well_formed(std::string_view token);

/// Whether `token` is a number as JSON writes it: then a number the parser
/// refuses lies beyond a double's range.
bool is_json_number(std::string_view token);

/// A scalar token ends before the white space, comma or bracket after it.
std::string_view scalar_token(std::string_view raw);

/// The text of a scalar as it stands in the JSON text.
inline std::string_view token_of(od::value& value) { return value.raw_json_token(); }
std::string_view token_of(od::document& document);

/// The parser's error and where in `text` it stopped, or nothing for a
/// document the walk read whole.
std::string parser_problem(simdjson::error_code error, std::string_view text, std::optional<std::size_t> offset);

/// Where the walk over the document stopped, as an offset into `text`.
std::optional<std::size_t> stop_offset(od::document& document, std::string_view text);

/// Where the parser's first stage found `error`, which it does not tell.
std::optional<std::size_t> first_stage_offset(simdjson::error_code error, std::string_view text);

/// Reads a scalar (of the document, or the value of a member or element),
/// which checks it: a value the walk passes over would not be checked. Hands
/// what the visitor may need to it.
template <typename Visitor, typename Value, typename Place>
simdjson::error_code read_scalar(Value& value, od::json_type type, Place object, std::string_view key,
                                 Visitor& visitor) {
  switch (type) {
    case od::json_type::string: {
      std::string_view text;
      const std::string_view token = token_of(value);  // from the opening quote
      if (const auto plain = token.empty() ? std::nullopt : text_without_escapes(token.data() + 1)) {
        od::raw_json_string raw;
        if (const auto error = value.get_raw_json_string().get(raw)) return error;
        text = *plain;
      } else if (const auto error = value.get_string().get(text)) {
        if (error != simdjson::STRING_ERROR || token.empty() || !escapes_are_well_formed(token)) return error;
        visitor.value_fault(object, key, token.data(), "holds a string escape that is not valid UTF-16");
        return simdjson::SUCCESS;
      }
      visitor.string_value(object, key, text);
      return simdjson::SUCCESS;
    }
    case od::json_type::number: {
      std::int64_t integer = 0;
      if (value.get_int64().get(integer) == simdjson::SUCCESS) {
        visitor.integer_value(object, key, integer);
        return simdjson::SUCCESS;
      }
      double ignored = 0;
      const auto error = value.get_double().get(ignored);
      const std::string_view token = scalar_token(token_of(value));
      if (error != simdjson::NUMBER_ERROR || token.empty() || !is_json_number(token)) return error;
      visitor.value_fault(object, key, token.data(), "is a number beyond a double's range");
      return simdjson::SUCCESS;
    }
    case od::json_type::boolean: {
      bool ignored = false;
      if (value.get_bool().get(ignored) == simdjson::SUCCESS) return simdjson::SUCCESS;
      // The parser calls a misspelt true or false a value of another type.
      return token_of(value).starts_with('f') ? simdjson::F_ATOM_ERROR : simdjson::T_ATOM_ERROR;
    }
    case od::json_type::null: {
      bool is_null = false;
      return value.is_null().get(is_null) || !is_null ? simdjson::N_ATOM_ERROR : simdjson::SUCCESS;
    }
    default: return simdjson::INCORRECT_TYPE;  // objects and arrays are entered, not read
  }
}

/// Reads every value of a document in order, so that all of it is checked,
/// not only the parts the visitor needs. The open objects and arrays are kept
/// on a stack of their own, so no depth costs call stack, and no deeper than
/// the parser's limit, so that a text of brackets cannot make it take the
/// memory.
template <typename Visitor>
class Walk {
 public:
  using Place = typename Visitor::Place;

  explicit Walk(Visitor& visitor) : visitor_(visitor) {}

  simdjson::error_code run(od::document& document) {
    od::json_type type{};
    if (const auto error = document.type().get(type)) return error;
    // A scalar is read to be checked.
    if (type != od::json_type::object && type != od::json_type::array) {
      const auto error = read_scalar(document, type, Place{}, {}, visitor_);
      if (error) failed_value_ = token_of(document).data();
      return error;
    }
    od::value top;
    if (const auto error = document.get_value().get(top)) return error;
    if (const auto error = enter(top, Place{}, {}, visitor_.top_place(type), 0)) return error;
    while (!stack_.empty()) {
      if (const auto error = step()) return error;
    }
    // Anything after the top-level value but white space is not JSON.
    const auto after = document.current_location();
    return after.error() == simdjson::OUT_OF_BOUNDS ? simdjson::SUCCESS : simdjson::TRAILING_CONTENT;
  }

  /// The start of the value whose reading failed; null when the failure lies
  /// between values (a missing comma, an early end) and the parser knows where.
  const char* failed_value() const { return failed_value_; }

 private:
  // One open object or array.
  struct Frame {
    Place place{};
    bool is_object = false;
    bool in_child = false;  // the current member or element was entered
    std::size_t index = 0;  // of the current element
    od::object_iterator member, members_end;
    od::array_iterator element, elements_end;
  };

  // Opens `value`, the child at `place` (of member `key` of an object at
  // `parent`): an object or array becomes a frame, a scalar is read.
  simdjson::error_code enter(od::value value, Place parent, std::string_view key, Place place, std::size_t index) {
    failed_value_ = token_of(value).data();
    const simdjson::error_code error = open(value, parent, key, place, index);
    if (!error) failed_value_ = nullptr;
    return error;
  }

  simdjson::error_code open(od::value value, Place parent, std::string_view key, Place place, std::size_t index) {
    od::json_type type{};
    if (const auto error = value.type().get(type)) return error;
    visitor_.value_type(parent, key, type);
    if (type != od::json_type::object && type != od::json_type::array)
      return read_scalar(value, type, parent, key, visitor_);
    if (stack_.size() >= simdjson::DEFAULT_MAX_DEPTH) return simdjson::DEPTH_ERROR;
    Frame frame;
    frame.place = place;
    frame.is_object = type == od::json_type::object;
    if (frame.is_object) {
      od::object object;
      if (const auto error = value.get_object().get(object)) return error;
      if (const auto error = object.begin().get(frame.member)) return error;
      if (const auto error = object.end().get(frame.members_end)) return error;
      visitor_.begin_object(place, index);
    } else {
      od::array array;
      if (const auto error = value.get_array().get(array)) return error;
      if (const auto error = array.begin().get(frame.element)) return error;
      if (const auto error = array.end().get(frame.elements_end)) return error;
    }
    stack_.push_back(std::move(frame));
    return simdjson::SUCCESS;
  }

  // Moves the walk one value on from the innermost open frame.
  simdjson::error_code step() {
    Frame& frame = stack_.back();
    // An iterator moves on only after the child it points at was read whole.
    if (frame.in_child) {
      if (frame.is_object) {
        ++frame.member;
      } else {
        ++frame.element;
        ++frame.index;
      }
      frame.in_child = false;
    }
    if (frame.is_object ? !(frame.member != frame.members_end) : !(frame.element != frame.elements_end)) {
      const Place place = frame.place;
      const bool was_object = frame.is_object;
      stack_.pop_back();
      if (was_object) visitor_.end_object(place);
      return simdjson::SUCCESS;
    }
    frame.in_child = true;
    const Place parent = frame.place;
    const std::size_t index = frame.index;
    if (!frame.is_object) {
      od::value value;
      if (const auto error = (*frame.element).get(value)) return error;
      return enter(value, parent, {}, visitor_.element_place(parent, index), index);
    }
    od::field field;
    if (const auto error = (*frame.member).get(field)) return error;
    std::string_view key;
    if (const std::optional<std::string_view> plain = text_without_escapes(field.key().raw())) {
      key = *plain;
    } else if (const auto error = field.unescaped_key().get(key)) {
      return error;
    }
    return enter(field.value(), parent, key, visitor_.member_place(parent, key), 0);
  }

  Visitor& visitor_;
  std::vector<Frame> stack_;
  const char* failed_value_ = nullptr;
};

}  // namespace json_walk

/// "line L, column C, offset O" of `offset` in `text`: line and column do not
/// depend on the input's encoding.
std::string text_position(std::string_view text, std::size_t offset);

/// Parses `text`, which has simdjson::SIMDJSON_PADDING bytes of capacity
/// beyond its size, and hands every value to `visitor` in file order. Returns
/// an empty text, or, for a text that is not JSON, the parser's error and
/// where it stopped. Neither parsing nor the walk recurses, so no nesting
/// depth can exhaust the stack.
///
/// `Visitor::Place` says where a value stands as far as the visitor reads it
/// (its value-initialised value: a place it does not read). The visitor gives
/// `top_place(json_type)`, `member_place(Place object, key)` and
/// `element_place(Place array, index)`, and is told of `value_type(Place
/// parent, key, json_type)` for every value, `begin_object(Place, index)` and
/// `end_object(Place)`, `string_value(Place object, key, text)`,
/// `integer_value(Place object, key, std::int64_t)`, and of a value the
/// parser cannot take although the text is JSON, `value_fault(Place object,
/// key, const char* value, fault)` (a lone surrogate, or a number beyond a
/// double's range). The key is empty for an element of an array.
template <typename Visitor>
std::string walk_json(const std::string& text, Visitor& visitor) {
  namespace od = simdjson::ondemand;
  od::parser parser;
  od::document document;
  const simdjson::padded_string_view json(text.data(), text.size(), text.capacity());
  simdjson::error_code error = parser.iterate(json).get(document);
  if (error == simdjson::MEMALLOC) throw std::bad_alloc();
  std::optional<std::size_t> offset = json_walk::first_stage_offset(error, text);
  if (!error) {
    json_walk::Walk<Visitor> walk(visitor);
    error = walk.run(document);
    if (walk.failed_value()) {
      offset = static_cast<std::size_t>(walk.failed_value() - text.data());
    } else if (error) {
      offset = json_walk::stop_offset(document, text);
    }
  }
  return error ? json_walk::parser_problem(error, text, offset) : std::string();
}

}  // namespace Detail
