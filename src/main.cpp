// VIViriZovuro: converts one development-tool report into one output file.
//
//   VIViriZovuro --input=INFILE --output=OUTFILE --platform=P --test_type=T
//                --project_name=N --tool_name=T --hash_value=HASH
//                --parser_type=PassFail|GCOV_Coverage|CTC_Coverage|QAC|
//                              QAC_full_report|Warning|Map|Map_KEIL|ClangTidy|
//                              Map_GNU|ClangTidy_all|LCOV_Coverage|PassFail_XML|
//                              Warning_GCC|Warning_TI|Cobertura_Coverage|
//                              PassFail_Unity|PassFail_GTest|PassFail_CTest|
//                              Warning_MSVC|Warning_SARIF|
//                              Warning_Cppcheck|Warning_IAR|Map_IAR|
//                              GCOV_JSON_Coverage|LLVM_Coverage
//                [--database=FILE|postgresql://...]
//
// Everything goes to standard output: "version 0" (no line end), then any
// message, then the echo of the written script or report. With --database the
// rows of an SQL script are also loaded into that database, all or nothing,
// after the output is written.
//
// Exit status:
//   0    done (also for a parser type that names no parser: empty output)
//   255  six arguments or fewer after the program name: usage printed
//   254  the input cannot be opened or is a directory
//   253  the output cannot be opened for writing, or is the input itself
//   252  the output file could not be written completely
//   251  the input could not be read to its end (nothing is written)
//   250  memory ran out (nothing is written)
//   249  standard output could not be written (the output file is complete)
//   248  the rows could not be loaded into the --database (the output file is
//        complete, the database holds nothing of the run), or --database was
//        given with a parser type that writes no SQL (nothing is converted)

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "detail/line_reader.h"
#include "detail/messages.h"
#include "detail/options.h"
#include "detail/run_files.h"
#include "parser_types.h"

namespace {

using Detail::exit_status;

void print_usage() {
  Detail::print_error("Not enough command line arguments.");
  std::cout << "Usage: VIViriZovuro.exe" << std::endl
            << " --input=INFILE" << std::endl
            << " --output=OUTFILE" << std::endl
            << " --platform=Pwe3|Ruxi" << std::endl
            << " --test_type=Unit|Integration" << std::endl
            << " --project_name=K7Tr52_App_default" << std::endl
            << " --tool_name=CTC|GCOV|QAC" << std::endl
            << " --hash_value=HASH" << std::endl
            << " --parser_type=PassFail|GCOV_Coverage|CTC_Coverage|QAC|QAC_full_report|Warning|Map|Map_KEIL"
            << std::endl;
}

bool is_directory(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored);
}

// Opening the output truncates it, which would destroy the report before it is
// read when both paths name one file (the same path, a hard or a symbolic link).
bool names_the_same_file(const std::string& input, const std::string& output) {
  std::error_code ignored;
  return std::filesystem::equivalent(input, output, ignored);
}

// Why --database cannot be served before anything is converted, or nothing.
std::string database_refusal(const Detail::options& options) {
  if (!options.has_database) return {};
  const parser_type* type = find_parser_type(options.parser_type);
  if (!type || type->output != output_kind::sql_table) return "--database needs a parser type that writes SQL";
  if (options.database.empty()) return "Could not load database: --database names no database";
  return {};
}

void dispatch(const Detail::options& options) {
  if (const parser_type* type = find_parser_type(options.parser_type)) type->get_final_result(options);
}

// Converts and writes; the output keeps its truncated state when the input
// cannot be read whole or memory runs out, since every converter writes only
// after it has read everything.
int convert(const Detail::options& options) {
  try {
    dispatch(options);
  } catch (const Detail::input_read_error&) {
    Detail::fail(exit_status::input_not_read, "Could not read input file");
  } catch (const std::bad_alloc&) {
    Detail::fail(exit_status::out_of_memory, "Not enough memory");
  }
  return static_cast<int>(Detail::recorded_failure());
}

// A standard stream that a pipeline closed (`>&-`) would hand its number to
// the next file opened, and the echo would then go into the output file. A
// read-only /dev/null takes its place instead: writes to it fail and are
// reported like any other failed standard output.
void keep_standard_streams_open() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    const int stand_in = open("/dev/null", O_RDONLY);
    if (stand_in >= 0 && stand_in != descriptor) {
      dup2(stand_in, descriptor);
      close(stand_in);
    }
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  keep_standard_streams_open();
  std::ios::sync_with_stdio(false);
  std::cout << "version 0";
  if (argc <= 6) {
    print_usage();
    return static_cast<int>(exit_status::usage);
  }
  const std::vector<std::string> args(argv, argv + argc);
  Detail::options options{};
  Detail::parse_program_options(options, args);

  if (const std::string refusal = database_refusal(options); !refusal.empty()) {
    Detail::print_error(refusal);
    return static_cast<int>(exit_status::database_not_loaded);
  }
  if (!Detail::open_run_input(options.input) || is_directory(options.input)) {
    Detail::print_error("Could not open input file");
    return static_cast<int>(exit_status::input_not_opened);
  }
  if (names_the_same_file(options.input, options.output) || !Detail::open_run_output(options.output)) {
    Detail::print_error("Could not open output file");
    return static_cast<int>(exit_status::output_not_opened);
  }

  const int status = convert(options);
  std::cout.flush();
  if (!std::cout) {
    Detail::print_error(std::cerr, "Could not write standard output");
    if (status == 0) return static_cast<int>(exit_status::stdout_not_written);
  }
  return status;
}
