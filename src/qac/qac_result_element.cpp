#include "qac/qac_result_element.h"

void QZQacResultElement::get_final_result(const Detail::options&) {}
