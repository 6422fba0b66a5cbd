#pragma once
// The fixture cases under fixtures/<parser_type>/: every <case>.input with
// its expected output <case>.expected (and <case>.stdout where it exists).

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace test_support {

struct Fixture {
  std::string parser_type;
  std::filesystem::path stem;  // the case's path without its extension

  std::string file(const char* extension) const {
    return std::filesystem::path(stem).replace_extension(extension).string();
  }
};

void PrintTo(const Fixture& fixture, std::ostream* os);

/// Every case, ordered by path.
std::vector<Fixture> discover_fixtures();

/// The cases of the parser types that write SQL.
std::vector<Fixture> sql_fixtures();

/// A test name for a case: its parser type and file name, other characters as "_".
std::string fixture_test_name(const Fixture& fixture);

}  // namespace test_support
