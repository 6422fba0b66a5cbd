// VIViriZovuro: converts one development-tool report into one output file.
//
//   VIViriZovuro --input=INFILE --output=OUTFILE --platform=P --test_type=T
//                --project_name=N --tool_name=T --hash_value=HASH
//                --parser_type=PassFail|GCOV_Coverage|CTC_Coverage|QAC|
//                              QAC_full_report|Warning|Map|Map_KEIL|ClangTidy|
//                              Warning_GCC|Warning_TI
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

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "clang_tidy/clang_tidy_element.h"
#include "compiler/compiler_map_element.h"
#include "compiler/compiler_map_keil_element.h"
#include "compiler/compiler_warnings_element.h"
#include "compiler/compiler_warnings_gcc_element.h"
#include "compiler/compiler_warnings_ti_element.h"
#include "coverage/ctc_coverage_result_element.h"
#include "coverage/gcov_coverage_result_element.h"
#include "detail/options.h"
#include "detail/output_writer.h"
#include "qac/qac_result_element.h"
#include "results/cunit_result_element.h"

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
    {"Warning_GCC", &QZCompilerWarningsGccElement::get_final_result},
    {"Warning_TI", &QZCompilerWarningsTiElement::get_final_result},
};

void dispatch(const Detail::options& options) {
  for (const parser& candidate : parsers) {
    if (options.parser_type == candidate.name) candidate.get_final_result(options);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  std::ios::sync_with_stdio(false);
  std::cout << "version 0";
  if (argc <= 6) {
    print_usage();
    return -1;
  }
  const std::vector<std::string> args(argv, argv + argc);
  Detail::options options{};
  Detail::parse_program_options(options, args);

  std::ifstream input(options.input);
  if (!input.is_open() || is_directory(options.input)) {
    std::cout << "VIViriZovuro error: Could not open input file" << std::endl;
    return -2;
  }
  std::ofstream output;
  if (!names_the_same_file(options.input, options.output)) output.open(options.output);
  if (!output.is_open()) {
    std::cout << "VIViriZovuro error: Could not open output file" << std::endl;
    return -3;
  }
  output.close();

  dispatch(options);
  std::cout.flush();
  return Detail::output_write_failed() ? -4 : 0;
}
