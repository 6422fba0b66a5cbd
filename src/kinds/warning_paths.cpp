#include "kinds/warning_paths.h"

#include <algorithm>
#include <vector>

namespace Kinds {

std::string normal_path(std::string_view name) {
  if (name.empty()) return {};
  std::string path(name);
  if (path.find('/') == std::string::npos) std::replace(path.begin(), path.end(), '\\', '/');
  const bool absolute = path.front() == '/';
  std::vector<std::string_view> parts;
  std::string_view rest = path;
  while (!rest.empty()) {
    const std::size_t slash = std::min(rest.find('/'), rest.size());
    const std::string_view part = rest.substr(0, slash);
    rest.remove_prefix(std::min(slash + 1, rest.size()));
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part != ".." || !absolute) {
      parts.push_back(part);  // ".." above the root of an absolute path stays at the root
    }
  }
  std::string normal = absolute ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) normal.append(i ? "/" : "").append(parts[i]);
  return normal.empty() ? "." : normal;
}

}  // namespace Kinds
