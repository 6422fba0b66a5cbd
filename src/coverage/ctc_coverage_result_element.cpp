#include "coverage/ctc_coverage_result_element.h"

void QZCtcCoverageResultElement::get_final_result(const Detail::options&) {}
