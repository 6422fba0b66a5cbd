// VIViriZovuro: converts one development-tool report into one output file.
//
//   VIViriZovuro --input=INFILE --output=OUTFILE --platform=P --test_type=T
//                --project_name=N --tool_name=T --hash_value=HASH
//                --parser_type=PassFail|GCOV_Coverage|CTC_Coverage|QAC|
//                              QAC_full_report|Warning|Map|Map_KEIL|ClangTidy|
//                              Map_GNU|ClangTidy_all|LCOV_Coverage|PassFail_XML|
//                              Warning_GCC|Warning_TI|Warning_MSVC|Warning_SARIF
//
// Everything goes to standard output: "version 0" (no line end), then any
// message, then the echo of the written script or report.
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

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "clang_tidy/clang_tidy_element.h"
#include "compiler/compiler_map_element.h"
#include "compiler/compiler_map_keil_element.h"
#include "compiler/compiler_map_gnu_element.h"
#include "compiler/compiler_warnings_element.h"
#include "compiler/compiler_warnings_gcc_element.h"
#include "compiler/compiler_warnings_msvc_element.h"
#include "compiler/compiler_warnings_sarif_element.h"
#include "compiler/compiler_warnings_ti_element.h"
#include "coverage/ctc_coverage_result_element.h"
#include "coverage/gcov_coverage_result_element.h"
#include "coverage/lcov_coverage_result_element.h"
#include "detail/options.h"
#include "detail/line_reader.h"
#include "detail/output_writer.h"
#include "detail/run_files.h"
#include "qac/qac_result_element.h"
#include "results/cunit_result_element.h"
#include "results/xml_result_element.h"

namespace {

void print_usage() {
  std::cout << "VIViriZovuro error: Not enough command line arguments." << std::endl
            << "Usage: VIViriZovuro.exe" << std::endl
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

struct parser {
  const char* name;
  void (*get_final_result)(const Detail::options&);
};

constexpr parser parsers[] = {
    {"ClangTidy", &ZEZudizOzazIdovuvidurElement::get_final_result},
    {"PassFail", &QZCUnitResultElement::get_final_result},
    {"CTC_Coverage", &QZCtcCoverageResultElement::get_final_result},
    {"GCOV_Coverage", &QZGCovCoverageResultElement::get_final_result},
    {"QAC", &QZQacResultElement::get_final_result},
    {"QAC_full_report", &QZQacResultElement::get_final_result},
    {"Warning", &QZCompilerWarningsElement::get_final_result},
    {"Map", &QZCompilerMapElement::get_final_result},
    {"Map_KEIL", &QZCompilerMapKeilElement::get_final_result},
    {"Map_GNU", &QZCompilerMapGnuElement::get_final_result},
    {"ClangTidy_all", &ZEZudizOzazIdovuvidurElement::get_final_result},
    {"LCOV_Coverage", &QZLcovCoverageResultElement::get_final_result},
    {"PassFail_XML", &QZXmlResultElement::get_final_result},
    {"Warning_GCC", &QZCompilerWarningsGccElement::get_final_result},
    {"Warning_TI", &QZCompilerWarningsTiElement::get_final_result},
    {"Warning_MSVC", &QZCompilerWarningsMsvcElement::get_final_result},
    {"Warning_SARIF", &QZCompilerWarningsSarifElement::get_final_result},
};

void dispatch(const Detail::options& options) {
  for (const parser& candidate : parsers) {
    if (options.parser_type == candidate.name) candidate.get_final_result(options);
  }
}

// Converts and writes; the output keeps its truncated state when the input
// cannot be read whole or memory runs out, since every converter writes only
// after it has read everything.
int convert(const Detail::options& options) {
  try {
    dispatch(options);
  } catch (const Detail::input_read_error&) {
    std::cout << "VIViriZovuro error: Could not read input file" << std::endl;
    return -5;
  } catch (const std::bad_alloc&) {
    std::cout << "VIViriZovuro error: Not enough memory" << std::endl;
    return -6;
  }
  return Detail::output_write_failed() ? -4 : 0;
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
    return -1;
  }
  const std::vector<std::string> args(argv, argv + argc);
  Detail::options options{};
  Detail::parse_program_options(options, args);

  if (!Detail::open_run_input(options.input) || is_directory(options.input)) {
    std::cout << "VIViriZovuro error: Could not open input file" << std::endl;
    return -2;
  }
  if (names_the_same_file(options.input, options.output) || !Detail::open_run_output(options.output)) {
    std::cout << "VIViriZovuro error: Could not open output file" << std::endl;
    return -3;
  }

  const int status = convert(options);
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "VIViriZovuro error: Could not write standard output" << std::endl;
    if (status == 0) return -7;
  }
  return status;
}
