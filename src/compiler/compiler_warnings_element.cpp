#include "compiler/compiler_warnings_element.h"

void QZCompilerWarningsElement::get_final_result(const Detail::options&) {}
