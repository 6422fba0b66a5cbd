#include "clang_tidy/clang_tidy_element.h"

void ZEZudizOzazIdovuvidurElement::get_final_result(const Detail::options&) {}
