#include "clang_tidy/html_report.h"

#include <algorithm>

#include "clang_tidy/clang_tidy_element.h"
#include "detail/text_helpers.h"

namespace ClangTidyHtml {

std::string_view base_name(std::string_view file_name) {
  const std::size_t separator = file_name.find_last_of("/\\");
  return separator == std::string_view::npos ? file_name : file_name.substr(separator + 1);
}

std::string& PageEntries::next_entry(std::size_t size) {
  static constexpr std::size_t block_size = 1 << 20;
  if (!packed_ || !block_started_ || entries_.back().size() + 1 + size > entries_.back().capacity()) {
    entries_.emplace_back();
    entries_.back().reserve(packed_ ? std::max(block_size, size) : size);
    block_started_ = true;
    return entries_.back();
  }
  // The writer ends every string with a line feed; inside a block the
  // entries are separated the same way.
  entries_.back() += '\n';
  return entries_.back();
}

}  // namespace ClangTidyHtml

namespace {

const char* const head =
    "\n"
    "<!DOCTYPE html>\n"
    "<head>\n"
    "\t<title> QZ Clang-Tidy Visualizer</title>\n"
    "\t<meta charset=\"UTF-8\">\n"
    "\t<meta name=\"author\" content=\"Tolvar Quen\">\n"
    "\t<meta name=\"description\" content=\"Documentation tool for visualizing Clang-Tidy checks.\">\n"
    "\t<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
    "\t<link rel=\"stylesheet\" href=\"https://maxcdn.bootstrapcdn.com/bootstrap/3.3.7/css/bootstrap.min.css\">\n"
    "\t<script src=\"https://ajax.googleapis.com/ajax/libs/jquery/3.3.1/jquery.min.js\"></script>\n"
    "\t<script src=\"https://maxcdn.bootstrapcdn.com/bootstrap/3.3.7/js/bootstrap.min.js\"></script>\n"
    "</head>";

const char* const body =
    "\n"
    "<body style=\"background: rgb(220, 227, 230); width: 100%; height: 100%;\">\n"
    "    <div id=\"container\" style=\"margin-left: 2%; margin-right: 2%;\">\n"
    "\t    <div id=\"header\" style=\"height: 55px; display: flex; justify-content: left; position: relative;\">\n"
    "\t\t    <h3 style=\"text-align: center; color: #111; font-family: 'Helvetica Neue', sans-serif; "
    "font-weight: bold;     letter-spacing: 0.5px; line-height: 1;\"> QZ Clang-Tidy Checks</h3>\n"
    "\t    </div>\n"
    "        <br>\n"
    "\t    <ul id=\"list\" class=\"list-group\" align=\"left\" style=\"display: block; width: 25%; height: 0; "
    "margin-bottom: 0;\">";

const char* const sidebar_entry_start =
    "\n"
    "            <a id=\"check\" style=\"color: black\" href=\"#\" class=\"list-group-item "
    "list-group-item-action\"onclick=\"toggleInfo(";

const char* const block_start = "\n        <div id=\"";

const char* const block_heading_start =
    "\" style=\"display: none; width: 75%; float: right\">\n"
    "            <div style=\"display: flex; justify-content: left; position: relative;\">\n"
    "                <button id=\"collapse-btn1\" type=\"button\" class=\"btn nohover\" "
    "onclick=\"collapseSidebar()\"\n"
    "                            style=\"outline: none; background-color: lightgray\" title=\"Collapse sidebar\">\n"
    "                <span id=\"collapse-img1\" class=\"glyphicon glyphicon-menu-left\"></button></span>\n"
    "                <h4 style=\"margin-top: 0; color: #111; position: absolute; left: 50%; "
    "transform: translateX(-50%); margin-bottom: 10px;\">";

const char* const script_start =
    "\n"
    "<script>\n"
    "\tfunction toggleInfo(check_position) {\n"
    "\t\tselected_idx = check_position;\n"
    "\t\tclearContent();\n"
    "\t\t// Displays the chosen clang-tidy category.\n"
    "\t\tlet category = document.getElementById(check_position);\n"
    "        category.style.display = (category.style.display === \"none\") ? \"block\" : \"none\";\n"
    "\t}\n"
    "\n"
    "\t// Clears document when choosing another selection.\n"
    "\tfunction clearContent() {\n"
    "\t\tfor (let all_checks = 0; all_checks < ";

const char* const script_middle =
    "; all_checks++) {\n"
    "\t\t\tlet clear = document.getElementById(all_checks);\n"
    "\t\t\tif (clear.style.display === \"block\") {\n"
    "\t\t\t\tclear.style.display = \"none\";\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\t}\n"
    "\n"
    "\t// Hides the sidebar and widens the blocks to the full width; the next call restores both.\n"
    "\tfunction collapseSidebar() {\n"
    "\t\tlet list = document.getElementById(\"list\");\n"
    "\t\tlet collapse = list.style.display !== \"none\";\n"
    "\t\tlist.style.display = collapse ? \"none\" : \"block\";\n"
    "\t\tfor (let all_checks = 0; all_checks < ";

const char* const script_end =
    "; all_checks++) {\n"
    "\t\t\tdocument.getElementById(all_checks).style.width = collapse ? \"100%\" : \"75%\";\n"
    "\t\t}\n"
    "\t\tfor (let image of document.querySelectorAll(\"span.glyphicon\")) {\n"
    "\t\t\timage.className = collapse ? \"glyphicon glyphicon-menu-right\" : \"glyphicon glyphicon-menu-left\";\n"
    "\t\t}\n"
    "\t}\n"
    "</script>";

const char* const style =
    "<style>\n"
    "\tpre {\n"
    "\t\twhite-space: pre-wrap;\n"
    "\t\tword-break: keep-all;\n"
    "\t}\n"
    "\n"
    "\t#header {\n"
    "\t\tborder-bottom: 2px solid darkgray\n"
    "\t}\n"
    "</style>\n"
    "\n"
    "</html>";

}  // namespace

namespace ClangTidyHtml {

namespace {

void append_number(std::string& out, std::size_t number) {
  out += Detail::my_lexical_cast<unsigned long>(static_cast<unsigned long>(number));
}

void append_indented_name(PageEntries& entries, std::size_t indent, std::string_view file_name) {
  const std::string_view name = base_name(file_name);
  std::string& out = entries.next_entry(indent + escaped_size(name));
  out.append(indent, ' ');
  append_escaped(out, name);
}

}  // namespace

PageBuilder::PageBuilder(PageEntries& entries, std::size_t group_count)
    : entries_(entries), group_count_(group_count) {
  entries_.next_entry() += head;
  entries_.next_entry() += body;
}

void PageBuilder::sidebar_entry(std::size_t group, std::string_view file_name) {
  std::string& start = entries_.next_entry();
  start += sidebar_entry_start;
  append_number(start, group);
  start += ")\">";
  append_indented_name(entries_, 17, file_name);
  entries_.next_entry() += "            </a>";
}

void PageBuilder::end_sidebar() {
  entries_.next_entry() += " ";
  entries_.next_entry() += "        </ul>";
}

void PageBuilder::begin_block(std::size_t group, std::string_view file_name) {
  std::string& start = entries_.next_entry();
  start += block_start;
  append_number(start, group);
  start += block_heading_start;
  append_indented_name(entries_, 21, file_name);
  entries_.next_entry() += "                </h4>";
  entries_.next_entry() += " ";
  entries_.next_entry() += "            </div>";
  entries_.next_entry() += "            <pre>";
}

void PageBuilder::message(std::string_view full_text) {
  // Sized beforehand: the page holds one such entry per message.
  std::string& entry = entries_.next_entry(escaped_size(full_text) + 1);
  append_escaped(entry, full_text);
  entry += '\n';
  entries_.next_entry() += " ";
}

void PageBuilder::end_block() {
  entries_.next_entry() += " ";
  entries_.next_entry() += "            </pre>";
  entries_.next_entry() += "        </div>";
}

void PageBuilder::end_page() {
  entries_.next_entry() += " ";
  entries_.next_entry() += "    </div>";
  entries_.next_entry() += "</body>";
  std::string& script = entries_.next_entry();
  script += script_start;
  append_number(script, group_count_);
  script += script_middle;
  append_number(script, group_count_);
  script += script_end;
  entries_.next_entry() += style;
}

}  // namespace ClangTidyHtml

void ZEZudizOzazIdovuvidurElement::build_html_report(std::vector<file_group>& groups,
                                                     std::deque<std::string>& entries) {
  ClangTidyHtml::PageEntries page_entries(entries, false);
  ClangTidyHtml::PageBuilder page(page_entries, groups.size());
  for (std::size_t i = 0; i < groups.size(); ++i) page.sidebar_entry(i, groups[i].first);
  page.end_sidebar();
  for (std::size_t i = 0; i < groups.size(); ++i) {
    page.begin_block(i, groups[i].first);
    for (const ZEZudizOzazIdovuvidurElement& record : groups[i].second) page.message(record.full_text);
    page.end_block();
  }
  page.end_page();
}
