#pragma once
// gzip streams made in tests, with zlib as gzip(1) makes them.

#include <string>

namespace test_support {

/// `text` as one gzip member.
std::string gzip(const std::string& text);

}  // namespace test_support
