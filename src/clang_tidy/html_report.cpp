#include "clang_tidy/html_report.h"

#include "clang_tidy/clang_tidy_element.h"
#include "detail/text_helpers.h"

namespace ClangTidyHtml {

namespace {

bool is_plain(char c) { return c != '&' && c != '<' && c != '>' && c != '"'; }

}  // namespace

std::size_t escaped_size(std::string_view text) {
  std::size_t size = text.size();
  for (const char c : text) {
    if (c == '&') size += 4;
    if (c == '<' || c == '>') size += 3;
    if (c == '"') size += 5;
  }
  return size;
}

std::string escape(std::string_view text) {
  std::string escaped;
  escaped.reserve(escaped_size(text));
  append_escaped(escaped, text);
  return escaped;
}

void append_escaped(std::string& escaped, std::string_view text) {
  // Copied in runs between the characters that are replaced.
  while (!text.empty()) {
    std::size_t found = 0;
    while (found < text.size() && is_plain(text[found])) ++found;
    escaped.append(text.data(), found);
    if (found == text.size()) break;
    switch (text[found]) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += "&quot;"; break;
    }
    text.remove_prefix(found + 1);
  }
}

std::string base_name(const std::string& file_name) {
  const std::size_t separator = file_name.find_last_of("/\\");
  return separator == std::string::npos ? file_name : file_name.substr(separator + 1);
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

void ZEZudizOzazIdovuvidurElement::build_html_report(std::vector<file_group>& groups,
                                                     std::deque<std::string>& entries) {
  const std::string count = Detail::my_lexical_cast<unsigned long>(groups.size());
  entries.emplace_back(head);
  entries.emplace_back(body);
  for (std::size_t i = 0; i < groups.size(); ++i) {
    entries.push_back(sidebar_entry_start + Detail::my_lexical_cast<unsigned long>(i) + ")\">");
    entries.push_back(std::string(17, ' ') + ClangTidyHtml::escape(ClangTidyHtml::base_name(groups[i].first)));
    entries.emplace_back("            </a>");
  }
  entries.emplace_back(" ");
  entries.emplace_back("        </ul>");
  for (std::size_t i = 0; i < groups.size(); ++i) {
    entries.push_back(block_start + Detail::my_lexical_cast<unsigned long>(i) + block_heading_start);
    entries.push_back(std::string(21, ' ') + ClangTidyHtml::escape(ClangTidyHtml::base_name(groups[i].first)));
    entries.emplace_back("                </h4>");
    entries.emplace_back(" ");
    entries.emplace_back("            </div>");
    entries.emplace_back("            <pre>");
    for (const ZEZudizOzazIdovuvidurElement& record : groups[i].second) {
      // Built at its final size: the page holds one such entry per message.
      std::string entry;
      entry.reserve(ClangTidyHtml::escaped_size(record.full_text) + 1);
      ClangTidyHtml::append_escaped(entry, record.full_text);
      entry += '\n';
      entries.push_back(std::move(entry));
      entries.emplace_back(" ");
    }
    entries.emplace_back(" ");
    entries.emplace_back("            </pre>");
    entries.emplace_back("        </div>");
  }
  entries.emplace_back(" ");
  entries.emplace_back("    </div>");
  entries.emplace_back("</body>");
  entries.push_back(script_start + count + script_middle + count + script_end);
  entries.emplace_back(style);
}
