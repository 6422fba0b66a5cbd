#include "support/fixtures.h"

#include <algorithm>
#include <cctype>

#include "parser_types.h"

namespace fs = std::filesystem;

namespace test_support {

void PrintTo(const Fixture& fixture, std::ostream* os) { *os << fixture.stem.string(); }

std::vector<Fixture> discover_fixtures() {
  std::vector<Fixture> found;
  for (const auto& dir : fs::directory_iterator(VIVIRI_FIXTURES)) {
    if (!dir.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(dir.path())) {
      if (file.path().extension() == ".input")
        found.push_back({dir.path().filename().string(), fs::path(file.path()).replace_extension()});
    }
  }
  std::sort(found.begin(), found.end(), [](const Fixture& a, const Fixture& b) { return a.stem < b.stem; });
  return found;
}

std::vector<Fixture> sql_fixtures() {
  std::vector<Fixture> found = discover_fixtures();
  std::erase_if(found, [](const Fixture& fixture) {
    const parser_type* type = find_parser_type(fixture.parser_type);
    return !type || type->output != output_kind::sql_table;
  });
  return found;
}

std::string fixture_test_name(const Fixture& fixture) {
  std::string name = fixture.parser_type + "_" + fixture.stem.filename().string();
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
}

}  // namespace test_support
