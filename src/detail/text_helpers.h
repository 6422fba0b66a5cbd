#pragma once
// Small text operations shared by every writer.

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

/// The date ("2022-05-17") and time ("09:05:00") of the first call in this
/// process, in local time; every later call returns the same two texts.
void get_date_and_time_string(std::string& date, std::string& time);

}  // namespace Detail
