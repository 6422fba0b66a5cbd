#pragma once
// Writing a converter's lines: to the output file, then to standard output.

#include <deque>
#include <string>

#include "detail/output_text.h"

namespace Detail {

/// Prints "VIViriZovuro error: Could not write output file" and records the
/// failure as the exit status (messages.h).
void report_write_failure();

enum class Echo { yes, no };

/// Writes the lines to `path` and then, with Echo::yes, to standard output.
/// A regular file (or a path that does not exist yet) is replaced at once by a
/// completely written new file in the same folder, with the permission bits
/// of the file it replaces (a symbolic link stays a link, its target is
/// replaced); any other kind of file (a named pipe, a device) is written
/// through the descriptor the output check kept (run_files.h). A file that
/// could not be written completely is reported (report_write_failure) after
/// the echo, and the output keeps what it held before. Returns whether the
/// file was written completely.
bool write_output(const std::string& path, const std::deque<std::string>& lines, Echo echo = Echo::yes);

/// The same for a text built in blocks; the echo goes out in 8 KiB writes.
bool write_output(const std::string& path, const OutputText& text, Echo echo = Echo::yes);

/// Writes `text` to `path` whole or not at all, as write_output replaces a
/// regular file (any other kind of file is written as it is), without the
/// run's output check: for the files of the comparison. Returns whether the
/// file was written completely.
bool write_file(const std::string& path, const std::string& text);

}  // namespace Detail
