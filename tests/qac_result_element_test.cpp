#include "qac/qac_result_element.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <tuple>

#include "support/pattern_differential.h"

using Records = std::deque<QZQacResultElement>;

// Every field takes part, the MISRA ones included.
static bool operator==(const QZQacResultElement& a, const QZQacResultElement& b) {
  auto fields = [](const QZQacResultElement& r) {
    return std::tie(r.file_name, r.line, r.priority, r.message_number, r.message_text, r.reference_text,
                    r.misra_standard, r.misra_rule_major, r.misra_rule_minor);
  };
  return fields(a) == fields(b);
}

static void PrintTo(const QZQacResultElement& r, std::ostream* os) {
  *os << "{'" << r.file_name << "', " << r.line << ", prio " << r.priority << ", msg "
      << r.message_number << ", '" << r.message_text << "', ref '" << r.reference_text << "', '" << r.misra_standard
      << "', " << r.misra_rule_major << "." << r.misra_rule_minor << "}";
}

namespace {

// The texts are views: pass literals or texts that outlive the record.
QZQacResultElement record(std::string_view file, std::uint32_t line, std::uint32_t priority, std::uint32_t number,
                          std::string_view text, std::string_view reference, std::string_view standard = "",
                          std::uint32_t major = 0, std::uint32_t minor = 0) {
  QZQacResultElement r;
  r.file_name = file;
  r.line = line;
  r.priority = priority;
  r.message_number = number;
  r.message_text = text;
  r.reference_text = reference;
  r.misra_standard = standard;
  r.misra_rule_major = major;
  r.misra_rule_minor = minor;
  return r;
}

std::optional<QZQacResultElement> parse(const std::string& line) {
  QZQacResultElement r;
  if (!r.parse_input_string(line)) {
    EXPECT_EQ(r, QZQacResultElement()) << "a rejected line must leave the numbers and texts alone: " << line;
    return std::nullopt;
  }
  return r;
}

Records read(const std::string& report) {
  std::istringstream in(report);
  Records records{record("Src_QZ\\stale.c", 1, 1, 1, "stale", " ")};
  QZQacResultElement::GetQZQacResultElements(in, records);
  return records;
}

const std::string example =
    "D:\\build\\Src_QZ\\app\\main.c (12) : warning : QAC(Prio5) Msg: 3408(Identifier has external linkage.) "
    "Ref:MISRA C:2012 Rule-8.4";

TEST(QacMessageLine, ExampleTable) {
  const std::string tail = " : warning : QAC(Prio3) Msg: 2982(Value not used.) Ref:";
  const struct {
    std::string line;
    std::optional<QZQacResultElement> expected;
  } cases[] = {
      {example, record("Src_QZ\\app\\main.c", 12, 5, 3408, "Identifier has external linkage", "MISRA C:2012 Rule-8.4",
                       "MISRA C:2012", 8, 4)},
      {"C:\\Src_QZ\\old\\Src_QZ\\m.c (1)" + tail + " ",  // cut at the first marker
       record("Src_QZ\\old\\Src_QZ\\m.c", 1, 3, 2982, "Value not used", " ")},
      {"Src_QZ\\m.c (1)" + tail + " ", record("Src_QZ\\m.c", 1, 3, 2982, "Value not used", " ")},
      {"C:\\build\\app\\m.c (1)" + tail + " ", std::nullopt},    // no marker
      {"C:\\build\\Src_QZ/app\\m.c (1)" + tail + " ", std::nullopt},  // the marker ends in a backslash
      {"C:\\build\\src_qz\\m.c (1)" + tail + " ", std::nullopt},  // and is case-sensitive
      {"C:\\Src_QZ\\m.h (1)" + tail + " ", std::nullopt},          // headers are not counted
      {"C:\\Src_QZ\\m.cpp (7)" + tail + "MISRA C++:2008 Rule-5.0.3",
       record("Src_QZ\\m.cpp", 7, 3, 2982, "Value not used", "MISRA C++:2008 Rule-5.0.3", "MISRA C++:2008", 5, 0)},
      {"C:\\Src_QZ\\m.cc (1)" + tail + " ", std::nullopt},
      {"C:\\Src_QZ\\m.c (1) : error : QAC(Prio9) Msg: 5310(Name reused.) Ref:MISRA C:2012 Dir-4.6",
       record("Src_QZ\\m.c", 1, 9, 5310, "Name reused", "MISRA C:2012 Dir-4.6", "MISRA C:2012", 4, 6)},
      {"C:\\Src_QZ\\m.c (1) : error : QAC(Prio9) Msg: 5310(Name reused.) Ref: MISRA C:2012 Dir-4.6",  // blank first
       record("Src_QZ\\m.c", 1, 9, 5310, "Name reused", " MISRA C:2012 Dir-4.6")},
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio2) Msg: 1(Call f(x.) returns.) [C90] Ref:MISRA C:2012 Rule-17.7",
       record("Src_QZ\\m.c", 1, 2, 1, "Call f(x.) returns", "MISRA C:2012 Rule-17.7", "MISRA C:2012", 17, 7)},
      {"C:\\Src_QZ\\m.c (1)" + tail, record("Src_QZ\\m.c", 1, 3, 2982, "Value not used", "")},  // nothing after ':'
      {"C:\\Src_QZ\\m.c (1)" + tail + "QAC internal",  // a reference, but no MISRA rule
       record("Src_QZ\\m.c", 1, 3, 2982, "Value not used", "QAC internal")},
      {"C:\\Src_QZ\\m.c (00042)" + tail + " ", record("Src_QZ\\m.c", 42, 3, 2982, "Value not used", " ")},
      {"C:\\Src_QZ\\m.c (99999999999)" + tail + " ",  // past 32 bits: the largest value
       record("Src_QZ\\m.c", 4294967295u, 3, 2982, "Value not used", " ")},
      {"C:\\Src_QZ\\m.c\t(1)\t:\twarning\t-\tQAC(Prio3)\tMsg#\t2982(Value not used.)\tRef=x",
       record("Src_QZ\\m.c", 1, 3, 2982, "Value not used", "x")},
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio3) Msg: 2982(Value not used.)", std::nullopt},  // no "Ref"
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio3) Msg: 2982(Value not used.) Ref", std::nullopt},
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio3) Msg: 2982(Value not used.)Ref: ", std::nullopt},  // no blank
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio3) Msg: 2982(Value not used) Ref: ", std::nullopt},  // no ".)"
      {"C:\\Src_QZ\\m.c (1) : info : QAC(Prio3) Msg: 2982(Value not used.) Ref: ", std::nullopt},
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio10) Msg: 2982(Value not used.) Ref: ", std::nullopt},
      {"C:\\Src_QZ\\m.c (1) :: warning : QAC(Prio3) Msg: 2982(Value not used.) Ref: ", std::nullopt},
      {"C:\\Src_QZ\\m.c (1) : warning : QAC(Prio3) Msg: 2982(Value not used.) Ref: \r", std::nullopt},
      {"x.c (1) : warning : QAC(Prio1) Msg: 2(a.) D:\\Src_QZ\\y.c (3) : error : QAC(Prio2) Msg: 4(b.) Ref: ",
       record("Src_QZ\\y.c", 3, 2, 4, "b", " ")},  // the path runs to the last ".c" that lets the line match
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse(c.line), c.expected) << c.line;
    // The reader fills the same fields, its texts kept beyond the line.
    if (c.line.empty() || c.line.back() == '\r') continue;  // the reader drops a carriage return at the end
    EXPECT_EQ(read(c.line + "\n"), c.expected ? Records{*c.expected} : Records{}) << c.line;
  }
}

TEST(QacReader, SortsByFileLineNumberAndText) {
  const std::string report =
      "x\\Src_QZ\\b.c (2) : warning : QAC(Prio1) Msg: 9(t.) Ref: \n"
      "QAC banner line\n"
      "x\\Src_QZ\\a.c (10) : warning : QAC(Prio1) Msg: 5(t.) Ref: \n"
      "x\\Src_QZ\\a.c (9) : warning : QAC(Prio1) Msg: 7(u.) Ref: \n"
      "x\\Src_QZ\\a.c (9) : warning : QAC(Prio1) Msg: 7(t.) Ref: \n"
      "x\\Src_QZ\\a.c (9) : warning : QAC(Prio1) Msg: 6(z.) Ref: \n"
      "x\\Src_QZ\\a.c (10) : warning : QAC(Prio1) Msg: 5(t.) Ref: \n";  // duplicate
  const Records expected = {
      record("Src_QZ\\a.c", 9, 1, 6, "z", " "),  record("Src_QZ\\a.c", 9, 1, 7, "t", " "),
      record("Src_QZ\\a.c", 9, 1, 7, "u", " "),  record("Src_QZ\\a.c", 10, 1, 5, "t", " "),
      record("Src_QZ\\b.c", 2, 1, 9, "t", " "),
  };
  EXPECT_EQ(read(report), expected);
}

TEST(QacReader, FirstOfEqualMessagesSurvives) {
  // Enough records that the sort cannot get by with insertion sort alone.
  std::string report;
  for (int i = 0; i < 60; ++i) {
    const std::string file = "D:\\Src_QZ\\f" + std::to_string(i % 7) + ".c (" + std::to_string(i % 5) + ")";
    report += file + " : warning : QAC(Prio" + std::to_string(i % 10) + ") Msg: 100(Same text.) Ref:r" +
              std::to_string(i) + "\n";
  }
  const Records records = read(report);
  ASSERT_EQ(records.size(), 35u);  // 7 files x 5 lines
  for (const QZQacResultElement& r : records) {
    // The first message read for file f<k>, line <l> is the smallest i with
    // i % 7 == k and i % 5 == l.
    int first = 0;
    while (("Src_QZ\\f" + std::to_string(first % 7) + ".c") != r.file_name || first % 5 != static_cast<int>(r.line))
      ++first;
    std::string reference = "r";  // appended, not "r" + ...: g++ 12 -O3 reports a false -Wrestrict there
    reference += std::to_string(first);
    EXPECT_EQ(r.reference_text, reference) << r.file_name << " line " << r.line;
    EXPECT_EQ(r.priority, static_cast<std::uint32_t>(first % 10));
  }
}

TEST(QacReader, LineEndsDoNotMatter) {
  const std::string a = "D:\\Src_QZ\\a.c (1) : warning : QAC(Prio1) Msg: 1(t.) Ref: ";
  const std::string b = "D:\\Src_QZ\\b.c (2) : error : QAC(Prio2) Msg: 2(u.) Ref:MISRA C:2012 Rule-1.2";
  const Records both = read(a + "\n" + b + "\n");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(read(a + "\r\n" + b + "\r\n"), both);  // written on Windows
  EXPECT_EQ(read(a + "\n" + b), both);              // no line feed at the end
  EXPECT_EQ(read(a + "\r\n" + b), both);
  EXPECT_EQ(read(""), Records{});
  EXPECT_EQ(read("no message here\n\n"), Records{});
}

TEST(QacGrouping, MostMessagesFirstThenDescendingName) {
  Records records;
  auto add = [&](std::string_view file, std::uint32_t count) {
    for (std::uint32_t line = 1; line <= count; ++line) records.push_back(record(file, line, 1, 1, "t", " "));
  };
  add("Src_QZ\\a.c", 2);
  add("Src_QZ\\b.c", 2);
  add("Src_QZ\\c.c", 1);
  add("Src_QZ\\d.c", 3);
  add("Src_QZ\\e.c", 1);
  std::vector<std::pair<std::string, std::size_t>> order;
  for (const auto& group : QZQacResultElement::group_by_file(records)) {
    order.emplace_back(group.first, group.second.size());
    std::uint32_t line = 1;
    for (const auto& r : group.second) {
      EXPECT_EQ(r.line, line++);  // kept in order
      EXPECT_EQ(r.file_name, group.first);
    }
  }
  const std::vector<std::pair<std::string, std::size_t>> expected = {
      {"Src_QZ\\d.c", 3}, {"Src_QZ\\b.c", 2}, {"Src_QZ\\a.c", 2}, {"Src_QZ\\e.c", 1}, {"Src_QZ\\c.c", 1}};
  EXPECT_EQ(order, expected);
  EXPECT_TRUE(QZQacResultElement::group_by_file({}).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Qac, PatternDifferential,
    testing::Values(
        PatternCase{"qac_message_line",
                    &QZQacResultElement::my_regex,
                    {example,
                     "C:\\Src_QZ\\m.cpp (7) : error : QAC(Prio9) Msg: 5310(Call f(x.) returns.) [C90] Ref: ",
                     "a.c.cpp (1)\t;\twarning\t-\tQAC(Prio0)\tMsg#\t1(.) Ref:",
                     "x.c (1) : warning : QAC(Prio1) Msg: 2(a.) y.c (3) : error : QAC(Prio2) Msg: 4(b.) Ref: Ref:"}},
        PatternCase{"qac_misra_reference",
                    &QZQacResultElement::misra_regex,
                    {"MISRA C:2012 Rule-8.4", "MISRA C++:2008 Rule-5.0.3", "MISRA C:2012 Dir-4.6 (required)",
                     "MISRA-C:2004 Rule-17.4"}}),
    pattern_case_name);

bool scan_line(std::string_view subject, std::vector<std::string_view>& groups) {
  QZQacResultElement::message_line_groups g;
  if (!QZQacResultElement::scan_message_line(subject, g)) return false;
  groups = {subject, g.path, g.line, g.severity, g.priority, g.number, g.text, g.between, g.ref, g.reference};
  return true;
}

bool scan_misra(std::string_view subject, std::vector<std::string_view>& groups) {
  QZQacResultElement::misra_groups g;
  if (!QZQacResultElement::scan_misra_reference(subject, g)) return false;
  groups = {subject, g.standard, g.kind, g.major, g.minor, g.rest};
  return true;
}

INSTANTIATE_TEST_SUITE_P(
    Qac, ScannerDifferential,
    testing::Values(
        ScannerCase{"qac_message_line",
                    &QZQacResultElement::my_regex,
                    &scan_line,
                    {example,
                     "C:\\Src_QZ\\m.cpp (7) : error : QAC(Prio9) Msg: 5310(Call f(x.) returns.) [C90] Ref: ",
                     "a.c.cpp (1)\t;\twarning\t-\tQAC(Prio0)\tMsg#\t1(.) Ref:",
                     "x.c (1) : warning : QAC(Prio1) Msg: 2(a.) y.c (3) : error : QAC(Prio2) Msg: 4(b.) Ref: Ref:",
                     "a.c\r(1)\r:\rerror\v-\fQAC(Prio3)\rMsg:\r4(b.) x.)\r\r Ref:x"},
                    {"QAC", "QAC_full_report"},
                    ""},
        ScannerCase{"qac_misra_reference",
                    &QZQacResultElement::misra_regex,
                    &scan_misra,
                    {"MISRA C:2012 Rule-8.4", "MISRA C++:2008 Rule-5.0.3", "MISRA C:2012 Dir-4.6 (required)",
                     "MISRA-C:2004 Rule-17.4", "MISRA:1 Rule-1.2 :2 Dir-3.4 x"},
                    {"QAC", "QAC_full_report"},
                    "MISRA"}),
    scanner_case_name);

}  // namespace
