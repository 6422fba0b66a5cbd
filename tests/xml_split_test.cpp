#include "detail/xml_split.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "detail/xml_tree.h"
#include "support/files.h"

namespace {

// The texts of the ranges, or "none".
std::string pieces(const std::string& text) {
  const auto ranges = Detail::outer_elements(text, "class");
  if (!ranges) return "none";
  std::string joined;
  for (const Detail::TextRange& range : *ranges) {
    joined += '[';
    joined.append(text, range.begin, range.end - range.begin);
    joined += ']';
  }
  return joined;
}

// Where pugixml's own outermost <class> elements below the root begin, for a
// text it accepts.
std::vector<std::size_t> parsed_class_starts(const std::string& text) {
  pugi::xml_document document;
  std::vector<std::size_t> starts;
  if (!document.load_buffer(text.data(), text.size())) return starts;
  const pugi::xml_node root = document.document_element();
  Detail::walk_elements(root, [&](pugi::xml_node element) {
    if (element == root || std::string_view(element.name()) != "class") return true;
    starts.push_back(static_cast<std::size_t>(element.offset_debug()) - 1);  // the offset of its name
    return false;
  });
  return starts;
}

const struct {
  std::string text;
  std::string expected;
} cases[] = {
    {R"(<coverage><class a="1"><lines/></class><x><class/></x></coverage>)",
     R"([<class a="1"><lines/></class>][<class/>])"},
    // Markup inside quotes, comments, CDATA and processing instructions is no element.
    {R"(<coverage><class n="</class>>"/><y a='<class>'/></coverage>)", R"([<class n="</class>>"/>])"},
    {"<coverage><!-- <class/> --><![CDATA[<class/>]]><?pi <class/> ?><!--><class/>--></coverage>", ""},
    // Nested: the outer element alone; only elements of the name.
    {"<coverage><class><class/><lines/></class><classes/><class\t/></coverage>",
     "[<class><class/><lines/></class>][<class\t/>]"},
    // The root is never one, nor anything after it.
    {"<class/>", ""},
    {"<coverage/><class/>", ""},
    {"<coverage></coverage><class/>", ""},
    // Before the root: declaration, comment, plain document type.
    {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE c SYSTEM 'a>b'><!--x--><c><class/></c>", "[<class/>]"},
    // An element not closed, or rejected markup, ends the scan.
    {"<coverage><class><lines></class>", ""},
    {"<coverage><class/><!ELEMENT x><class/></coverage>", "[<class/>]"},
    // pugixml reads these in another way than the scan follows.
    {"<!DOCTYPE c [<!ENTITY e \"<class/>\">]><c><class/></c>", "none"},
    {"<?xml version='1.0' encoding='ISO-8859-1'?><c><class/></c>", "none"},
    {"<?xml version='1.0' encoding='Latin1'?><c><class/></c>", "none"},
    {std::string("<\0c\0", 4), "none"},
};

TEST(XmlSplit, OuterElements) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(pieces(c.text), c.expected);
  }
}

// For every text pugixml accepts, the scan finds exactly its elements: the
// cases above, every fixture and every fuzz corpus file.
TEST(XmlSplit, SameElementsAsThePugixmlTree) {
  std::vector<std::string> texts;
  for (const auto& c : cases) texts.push_back(c.text);
  for (const char* folder : {VIVIRI_FIXTURES, VIVIRI_FIXTURES "/../../fuzz/corpus"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file()) texts.push_back(test_support::read_file(entry.path().string()));
    }
  }
  std::size_t compared = 0;
  for (const std::string& text : texts) {
    const auto ranges = Detail::outer_elements(text, "class");
    pugi::xml_document document;
    if (!ranges || !document.load_buffer(text.data(), text.size())) continue;
    SCOPED_TRACE(text.substr(0, 200));
    std::vector<std::size_t> starts;
    for (const Detail::TextRange& range : *ranges) {
      starts.push_back(range.begin);
      pugi::xml_document piece;  // each range is one whole element
      EXPECT_TRUE(piece.load_buffer(text.data() + range.begin, range.end - range.begin));
      EXPECT_EQ(std::string(piece.document_element().name()), "class");
    }
    EXPECT_EQ(starts, parsed_class_starts(text));
    compared += starts.size();
  }
  EXPECT_GT(compared, 20U);  // the fixtures' classes took part
}

}  // namespace
