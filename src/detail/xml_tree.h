#pragma once
// Checking and walking a document that pugixml parsed, for the XML readers.

#include <pugixml.hpp>

#include <string>

namespace Detail {

/// Visits the elements below `root` in document order; `visit(element)`
/// returns whether to go on into the element's children, and `leave(element)`
/// is called once the walk is done with an element it went into. A loop over
/// the parent links instead of recursion, so that the depth costs no stack.
template <typename Visit, typename Leave>
void walk_elements(pugi::xml_node root, Visit visit, Leave leave) {
  pugi::xml_node node = root;
  for (;;) {
    const bool descend = node.type() == pugi::node_element && visit(node);
    if (descend && node.first_child()) {
      node = node.first_child();
      continue;
    }
    if (descend) leave(node);
    while (node != root && !node.next_sibling()) {
      node = node.parent();
      leave(node);
    }
    if (node == root) return;
    node = node.next_sibling();
  }
}

template <typename Visit>
void walk_elements(pugi::xml_node root, Visit visit) {
  walk_elements(root, visit, [](pugi::xml_node) {});
}

/// Why `document`, as `parsed` loaded it, is not one XML tree: the parser's
/// reason and the offset where it stopped, or the second root element that
/// follows the first (the parser accepts further top-level elements, whose
/// content would be lost). Empty when it is one.
std::string xml_problem(const pugi::xml_document& document, const pugi::xml_parse_result& parsed);

}  // namespace Detail
