#pragma once
// The columns of a compiler_results row that several diagnostic readers fill
// alike from what a log writes: the shortened file name and the error number.

#include <string>
#include <string_view>

namespace CompilerResults {

/// The file name after the first "/Src/"; a name without that folder is kept
/// whole. For the logs of compilers that write forward slashes.
std::string filename_after_src(std::string_view name);

/// The file name after the first "/Src/" or "\Src\", whichever comes first;
/// a name without either is kept whole. For the logs of compilers and tools
/// that may write Windows paths.
std::string filename_after_src_either_separator(std::string_view name);

/// The first run of digits in an identifier ("#179-D" gives "179", "#20"
/// gives "20", "(dcc:1521)" gives "1521", "C4996" gives "4996"); empty
/// without one.
std::string first_digits(std::string_view error_id);

}  // namespace CompilerResults
