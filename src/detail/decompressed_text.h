#pragma once
// Reports that tools write gzip-compressed (gcov's .gcov.json.gz, archived
// coverage exports) read like plain ones.
//
//   std::string problem;
//   const std::string text = Detail::read_whole_decompressed(in, simdjson::SIMDJSON_PADDING, problem);
//   if (!problem.empty()) refuse(problem);

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace Detail {

/// A gzip stream may expand to this many times its own size, and never past
/// max_decompressed_size: a few kilobytes must not become gigabytes in memory.
inline constexpr std::uint64_t max_expansion = 100;
inline constexpr std::uint64_t max_decompressed_size = std::uint64_t{4} << 30;
/// Small streams may always expand this far (headers and short files
/// compress poorly, tiny ones of repeated text very well).
inline constexpr std::uint64_t min_decompressed_limit = std::uint64_t{1} << 20;

/// Whether `data` begins with the two bytes of a gzip stream.
bool is_gzip(std::string_view data);

/// The whole text of the stream as read_whole reads it; when it begins as a
/// gzip stream, its decompressed text instead (of every member when several
/// gzip files were joined). The text's capacity holds `spare` bytes more than
/// its size. For a gzip stream that is cut short, damaged, followed by other
/// data or expands past the limits above, `problem` says why and the text is
/// empty. Throws input_read_error when the stream fails.
std::string read_whole_decompressed(std::istream& in, std::size_t spare, std::string& problem);

/// The decompressed text of the gzip stream `compressed` (see above), or
/// empty with `problem` set; `limit` bounds its size.
std::string gunzip(std::string_view compressed, std::size_t spare, std::uint64_t limit, std::string& problem);

}  // namespace Detail
