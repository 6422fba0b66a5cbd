#include "compiler/compiler_map_element.h"

void QZCompilerMapElement::get_final_result(const Detail::options&) {}
