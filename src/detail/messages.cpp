#include "detail/messages.h"

#include <iostream>
#include <string>

namespace Detail {
namespace {

exit_status first_failure = exit_status::done;
std::string program_name = "VIViriZovuro";

}  // namespace

void set_program_name(std::string_view name) { program_name = name; }

void print_error(std::ostream& out, std::string_view message) {
  out << program_name << " error: " << message << std::endl;
}

void print_warning(std::ostream& out, std::string_view message) {
  out << program_name << " warning: " << message << std::endl;
}

void print_error(std::string_view message) { print_error(std::cout, message); }

void fail(exit_status status, std::string_view message) {
  print_error(message);
  if (first_failure == exit_status::done) first_failure = status;
}

exit_status recorded_failure() { return first_failure; }

}  // namespace Detail
