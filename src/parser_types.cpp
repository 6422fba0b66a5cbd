#include "parser_types.h"

#include "clang_tidy/clang_tidy_element.h"
#include "compiler/compiler_map_element.h"
#include "compiler/compiler_map_gnu_element.h"
#include "compiler/compiler_map_iar_element.h"
#include "compiler/compiler_map_keil_element.h"
#include "compiler/compiler_warnings_cppcheck_element.h"
#include "compiler/compiler_warnings_element.h"
#include "compiler/compiler_warnings_gcc_element.h"
#include "compiler/compiler_warnings_iar_element.h"
#include "compiler/compiler_warnings_msvc_element.h"
#include "compiler/compiler_warnings_sarif_element.h"
#include "compiler/compiler_warnings_ti_element.h"
#include "coverage/cobertura_coverage_result_element.h"
#include "coverage/ctc_coverage_result_element.h"
#include "coverage/gcov_coverage_result_element.h"
#include "coverage/gcov_json_coverage_result_element.h"
#include "coverage/lcov_coverage_result_element.h"
#include "coverage/llvm_coverage_result_element.h"
#include "qac/qac_result_element.h"
#include "results/ctest_result_element.h"
#include "results/cunit_result_element.h"
#include "results/gtest_result_element.h"
#include "results/unity_result_element.h"
#include "results/xml_result_element.h"

namespace {

constexpr parser_type all_parser_types[] = {
    {"ClangTidy", &ZEZudizOzazIdovuvidurElement::get_final_result, output_kind::page},
    {"PassFail", &QZCUnitResultElement::get_final_result, output_kind::sql_table},
    {"CTC_Coverage", &QZCtcCoverageResultElement::get_final_result, output_kind::sql_table},
    {"GCOV_Coverage", &QZGCovCoverageResultElement::get_final_result, output_kind::sql_table},
    {"QAC", &QZQacResultElement::get_final_result, output_kind::sql_table},
    {"QAC_full_report", &QZQacResultElement::get_final_result, output_kind::text_report},
    {"Warning", &QZCompilerWarningsElement::get_final_result, output_kind::sql_table},
    {"Map", &QZCompilerMapElement::get_final_result, output_kind::sql_table},
    {"Map_KEIL", &QZCompilerMapKeilElement::get_final_result, output_kind::sql_table},
    {"Map_GNU", &QZCompilerMapGnuElement::get_final_result, output_kind::sql_table},
    {"ClangTidy_all", &ZEZudizOzazIdovuvidurElement::get_final_result, output_kind::page},
    {"LCOV_Coverage", &QZLcovCoverageResultElement::get_final_result, output_kind::sql_table},
    {"PassFail_XML", &QZXmlResultElement::get_final_result, output_kind::sql_table},
    {"Warning_GCC", &QZCompilerWarningsGccElement::get_final_result, output_kind::sql_table},
    {"Warning_TI", &QZCompilerWarningsTiElement::get_final_result, output_kind::sql_table},
    {"Cobertura_Coverage", &QZCoberturaCoverageResultElement::get_final_result, output_kind::sql_table},
    {"PassFail_Unity", &QZUnityResultElement::get_final_result, output_kind::sql_table},
    {"PassFail_GTest", &QZGTestResultElement::get_final_result, output_kind::sql_table},
    {"PassFail_CTest", &QZCTestResultElement::get_final_result, output_kind::sql_table},
    {"Warning_MSVC", &QZCompilerWarningsMsvcElement::get_final_result, output_kind::sql_table},
    {"Warning_SARIF", &QZCompilerWarningsSarifElement::get_final_result, output_kind::sql_table},
    {"Warning_Cppcheck", &QZCompilerWarningsCppcheckElement::get_final_result, output_kind::sql_table},
    {"Warning_IAR", &QZCompilerWarningsIarElement::get_final_result, output_kind::sql_table},
    {"Map_IAR", &QZCompilerMapIarElement::get_final_result, output_kind::sql_table},
    {"GCOV_JSON_Coverage", &QZGcovJsonCoverageResultElement::get_final_result, output_kind::sql_table},
    {"LLVM_Coverage", &QZLlvmCoverageResultElement::get_final_result, output_kind::sql_table},
};

}  // namespace

std::span<const parser_type> parser_types() { return all_parser_types; }

const parser_type* find_parser_type(std::string_view name) {
  for (const parser_type& type : all_parser_types) {
    if (type.name == name) return &type;
  }
  return nullptr;
}

std::string_view output_kind_name(output_kind kind) {
  switch (kind) {
    case output_kind::sql_table: return "sql";
    case output_kind::text_report: return "text";
    case output_kind::page: return "page";
  }
  return "";
}
