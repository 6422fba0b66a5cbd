// Prints every parser type of the program, one per line: its name and the
// kind of output it writes ("sql", "text" or "page"). The benchmark and the
// fuzzing script take their lists from here.

#include <iostream>

#include "parser_types.h"

int main() {
  for (const parser_type& type : parser_types()) std::cout << type.name << ' ' << output_kind_name(type.output) << '\n';
  return 0;
}
