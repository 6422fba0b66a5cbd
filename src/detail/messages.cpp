#include "detail/messages.h"

#include <iostream>

namespace Detail {
namespace {

exit_status first_failure = exit_status::done;

}  // namespace

void print_error(std::ostream& out, std::string_view message) {
  out << "VIViriZovuro error: " << message << std::endl;
}

void print_error(std::string_view message) { print_error(std::cout, message); }

void fail(exit_status status, std::string_view message) {
  print_error(message);
  if (first_failure == exit_status::done) first_failure = status;
}

exit_status recorded_failure() { return first_failure; }

}  // namespace Detail
