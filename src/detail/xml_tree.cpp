#include "detail/xml_tree.h"

namespace Detail {

namespace {

pugi::xml_node next_element_sibling(pugi::xml_node node) {
  do node = node.next_sibling();
  while (node && node.type() != pugi::node_element);
  return node;
}

}  // namespace

std::string xml_problem(const pugi::xml_document& document, const pugi::xml_parse_result& parsed) {
  if (!parsed) return std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset);
  const pugi::xml_node root = document.document_element();
  if (const pugi::xml_node second_root = next_element_sibling(root))
    return "a second root element <" + std::string(second_root.name()) + "> follows <" + root.name() + ">";
  return {};
}

}  // namespace Detail
