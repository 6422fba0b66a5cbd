#pragma once
// Writing a converter's lines: to the output file, then to standard output.

#include <deque>
#include <ostream>
#include <string>

namespace Detail {

/// Writes every line followed by one line feed; false if the stream failed.
bool write_lines(std::ostream& out, const std::deque<std::string>& lines);

/// Writes every line followed by one line feed to standard output.
void echo_lines(const std::deque<std::string>& lines);

/// Prints "VIViriZovuro error: Could not write output file" and remembers the
/// failure for the exit status.
void report_write_failure();

/// Whether report_write_failure was called in this process.
bool output_write_failed();

enum class Echo { yes, no };

/// Creates or truncates `path`, writes the lines to it and closes it; then,
/// with Echo::yes, writes them to standard output as well. A file that could
/// not be written completely is reported (report_write_failure) after the
/// echo. Returns whether the file was written completely.
bool write_output(const std::string& path, const std::deque<std::string>& lines, Echo echo = Echo::yes);

}  // namespace Detail
