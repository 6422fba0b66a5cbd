#include "coverage/gcov_coverage_result_element.h"

void QZGCovCoverageResultElement::get_final_result(const Detail::options&) {}
