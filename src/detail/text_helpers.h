#pragma once
// Small text operations shared by every writer and reader.

#include <cstddef>
#include <string>
#include <string_view>

namespace Detail {

/// The value between two double quotes, every double quote inside it doubled:
/// `a"b` gives `"a""b"`, the empty text gives `""`. A NUL byte is left out.
/// For the plain-text reports; SQL values go through sql_literal.
std::string add_quotes(const std::string& value);

/// Appends what add_quotes(value) returns to `out`, without a temporary.
void append_quoted(std::string& out, std::string_view value);

/// The value as a standard SQL string literal: between two single quotes,
/// every single quote inside it doubled (`it's` gives `'it''s'`, the empty
/// text `''`). Double-quoted values load only into SQLite builds that keep
/// the legacy double-quoted-string quirk; this loads into every SQL engine.
/// A NUL byte, which no SQL script can carry, is left out; every other byte
/// is copied as it is.
std::string sql_literal(std::string_view value);

/// Appends what sql_literal(value) returns to `out`, without a temporary.
void append_sql_literal(std::string& out, std::string_view value);

/// A string holding one blank.
std::string add_space();

/// Number to plain decimal text: no sign, padding or grouping; 0 gives "0".
template <typename T>
std::string my_lexical_cast(const T& value);

/// Text to number as a stream extraction reads it: leading white space is
/// skipped, reading stops at the first character that is not part of the
/// number, no digit gives 0 and a value past the type's range gives its
/// maximum ("00042" gives 42, "12abc" 12, "4294967296" 4294967295).
template <typename T>
T my_lexical_cast(const std::string& text);

template <>
std::string my_lexical_cast<unsigned long>(const unsigned long& value);
template <>
unsigned int my_lexical_cast<unsigned int>(const std::string& text);

/// The value of one hexadecimal digit in either letter case ('7' gives 7,
/// 'b' and 'B' 11); -1 for any other character.
int hex_digit_value(char c);

/// `text` with every "%XX" of two hexadecimal digits replaced by the byte
/// they give ("a%20b.c" gives "a b.c"); a "%" without two digits after it is
/// kept as it is.
std::string percent_decoded(std::string_view text);

/// Whether `text` begins with `start`, which is written in lower case, in any
/// letter case ("Build", "build" and "BUILD" begin with "build").
bool starts_with_ignoring_case(std::string_view text, std::string_view start);

/// The offset of the first byte of `text` that begins no valid UTF-8
/// sequence (overlong forms, surrogates and code points past U+10FFFF are not
/// valid); the size of `text` when all of it is valid.
std::size_t first_invalid_utf8(std::string_view text);

/// The date ("2022-05-17") and time ("09:05:00") of the first call in this
/// process, in local time; every later call returns the same two texts.
void get_date_and_time_string(std::string& date, std::string& time);

}  // namespace Detail
