#include "compiler/compiler_map_keil_element.h"

void QZCompilerMapKeilElement::get_final_result(const Detail::options&) {}
