#pragma once
// Running the built program as a pipeline would.

#include <sys/types.h>

#include <string>
#include <vector>

namespace test_support {

struct RunResult {
  int exit_status = -1;     // 0-255, or -1 if the program did not exit normally
  std::string out;          // everything written to standard output
  std::string err;          // everything written to standard error
};

/// Runs the program with `args` (the program name is added in front), through
/// the command `prefix` if one is given (for example to drop root's rights).
RunResult run_program(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {});

/// Runs VIViriZovuro-compare with `args`, capturing standard output and
/// error, through the command `prefix` if one is given.
RunResult run_compare(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {});

/// Starts the program with `args`, its standard output discarded; returns at once.
pid_t start_program(const std::vector<std::string>& args);

/// Waits for a started program; its wait status.
int wait_for(pid_t pid);

/// The eight options of a complete command line, with the values the tests
/// use everywhere: platform Pwe3, test type Unit, project K7Tr52_App_default,
/// tool CTC, hash HASH.
std::vector<std::string> standard_args(const std::string& parser_type, const std::string& input,
                                       const std::string& output);

/// Replaces every `'YYYY-MM-DD', 'HH:MM:SS'` pair of the run's date and time
/// with `'<date>', '<time>'`, the only part of an output that differs
/// between runs.
std::string normalise_date_time(std::string text);

}  // namespace test_support
