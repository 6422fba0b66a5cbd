#include "compare/history_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>

#include "compare/format.h"
#include "compare/kind_unit.h"
#include "compare/page_chart.h"
#include "compare/reports.h"
#include "compare/row_text.h"
#include "detail/html_escape.h"

namespace Compare {

namespace {

using Detail::escape;

// Okabe and Ito's colours, told apart with every kind of colour blindness;
// each series also has its own marker shape and its label in the legend.
constexpr const char* colours[] = {"#0072B2", "#D55E00", "#009E73", "#CC79A7", "#E69F00", "#56B4E9", "#000000"};
constexpr std::size_t palette_size = std::size(colours);
constexpr const char* marker_shapes[] = {
    "<circle cx=\"5\" cy=\"5\" r=\"4\"/>",          "<rect x=\"1\" y=\"1\" width=\"8\" height=\"8\"/>",
    "<path d=\"M5 1L9 9H1z\"/>",                    "<path d=\"M5 0L10 5L5 10L0 5z\"/>",
    "<path d=\"M1 1L9 9M9 1L1 9\" stroke-width=\"2\"/>", "<path d=\"M1 1H9L5 9z\"/>",
    "<path d=\"M5 0V10M0 5H10\" stroke-width=\"2\"/>"};
constexpr const char* shape_names[] = {"circle", "square", "triangle", "diamond", "cross", "triangle down", "plus"};

constexpr double chart_width = 760, chart_height = 280;
constexpr double plot_left = 78, plot_right = 710, plot_top = 16, plot_bottom = 214;

std::string coordinate(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string value_text(double value, bool percent) {
  return percent ? one_decimal(value) + "%" : grouped(static_cast<std::int64_t>(std::llround(value)));
}

std::string short_hash(const std::string& hash) { return first_characters(shown_hash(hash), 10); }
std::string date_of(const run_figures& run) { return run.earliest.substr(0, run.earliest.find(' ')); }

// A round step for about five ticks up to `largest`.
double tick_step(double largest) {
  if (largest <= 0) return 1;
  const double rough = largest / 5;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    if (factor * power >= rough) return std::max(1.0, factor * power);
  }
  return 10 * power;
}

class ChartDrawer {
 public:
  ChartDrawer(const chart& drawn, const std::vector<run_figures>& runs, const std::string& current)
      : chart_(drawn), runs_(runs), current_(current) {
    top_ = chart_.percent ? 100 : 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) top_ = std::max(top_, column_total(i));
    step_ = chart_.percent ? 20 : tick_step(top_);
    top_ = chart_.percent ? 100 : std::max(step_, std::ceil(top_ / step_) * step_);
  }

  std::string draw() {
    out_ = "<figure><figcaption>" + escape(chart_.title) + "</figcaption>\n<svg viewBox=\"0 0 " +
           coordinate(chart_width) + " " + coordinate(chart_height) + "\" role=\"img\" aria-label=\"" +
           escape(chart_.title) + "\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#1a1a1a\">\n";
    draw_axes();
    if (chart_.stacked) draw_bars();
    else draw_lines();
    draw_marks();
    draw_hover_columns();
    out_ += "</svg>\n";
    draw_legend();
    out_ += "</figure>\n";
    return std::move(out_);
  }

 private:
  double column_total(std::size_t run) const {
    double total = 0, largest = 0;
    for (const series& line : chart_.lines) {
      total += line.values[run].value_or(0);
      largest = std::max(largest, line.values[run].value_or(0));
    }
    return chart_.stacked ? total : largest;
  }

  double x(std::size_t run) const {
    if (runs_.size() == 1) return (plot_left + plot_right) / 2;
    return plot_left + (plot_right - plot_left) * static_cast<double>(run) / static_cast<double>(runs_.size() - 1);
  }
  double y(double value) const { return plot_bottom - (plot_bottom - plot_top) * value / top_; }
  double column_width() const {
    return runs_.size() == 1 ? (plot_right - plot_left) / 4 : (plot_right - plot_left) / static_cast<double>(runs_.size() - 1);
  }

  void draw_axes() {
    out_ += "<g stroke=\"#767676\">";
    for (double tick = 0; tick <= top_ + step_ / 2; tick += step_) {
      out_ += "<line x1=\"" + coordinate(plot_left) + "\" x2=\"" + coordinate(plot_right) + "\" y1=\"" +
              coordinate(y(tick)) + "\" y2=\"" + coordinate(y(tick)) + "\" stroke-opacity=\"0.35\"/>";
    }
    out_ += "</g>\n<g text-anchor=\"end\">";
    for (double tick = 0; tick <= top_ + step_ / 2; tick += step_) {
      out_ += "<text x=\"" + coordinate(plot_left - 6) + "\" y=\"" + coordinate(y(tick) + 4) + "\">" +
              value_text(tick, chart_.percent) + "</text>";
    }
    out_ += "</g>\n<text transform=\"translate(14 " + coordinate((plot_top + plot_bottom) / 2) +
            ") rotate(-90)\" text-anchor=\"middle\">" + escape(chart_.unit) + "</text>\n";
    // At most six labelled runs on the axis, the last one always.
    const std::size_t every = std::max<std::size_t>(1, (runs_.size() + 5) / 6);
    out_ += "<g text-anchor=\"middle\" font-size=\"11\">";
    for (std::size_t run = runs_.size(); run-- > 0;) {
      if ((runs_.size() - 1 - run) % every != 0) continue;
      out_ += "<text x=\"" + coordinate(x(run)) + "\" y=\"" + coordinate(plot_bottom + 16) + "\">" +
              escape(short_hash(runs_[run].githash)) + "</text><text x=\"" + coordinate(x(run)) + "\" y=\"" +
              coordinate(plot_bottom + 30) + "\">" + escape(date_of(runs_[run])) + "</text>";
    }
    out_ += "</g>\n<text x=\"" + coordinate((plot_left + plot_right) / 2) + "\" y=\"" + coordinate(chart_height - 6) +
            "\" text-anchor=\"middle\">run (hash, date of its first row)</text>\n";
  }

  void draw_bars() {
    const double width = std::max(1.0, std::min(28.0, column_width() * 0.7));
    std::vector<double> base(runs_.size(), 0);
    for (std::size_t index = 0; index < chart_.lines.size(); ++index) {
      const series& line = chart_.lines[index];
      std::string path;
      for (std::size_t run = 0; run < runs_.size(); ++run) {
        const double value = line.values[run].value_or(0);
        if (value <= 0) continue;
        path.append("M").append(coordinate(x(run) - width / 2)).append(" ");
        path += coordinate(y(base[run] + value)) + "h" +
                coordinate(width) + "V" + coordinate(y(base[run])) + "h" + coordinate(-width) + "z";
        base[run] += value;
      }
      out_ += "<path d=\"" + path + "\" fill=\"" + colours[index % palette_size] + "\"" +
              (index % 2 == 1 ? " stroke=\"#1a1a1a\" stroke-width=\"0.5\"" : "") + "/>\n";
      if (index % 2 == 1) out_ += "<path d=\"" + path + "\" fill=\"url(#hatch)\"/>\n";
    }
  }

  void draw_lines() {
    for (std::size_t index = 0; index < chart_.lines.size(); ++index) {
      std::string path;
      bool open = false;
      for (std::size_t run = 0; run < runs_.size(); ++run) {
        const std::optional<double>& value = chart_.lines[index].values[run];
        if (!value) {
          open = false;
          continue;
        }
        path.append(open ? "L" : "M").append(coordinate(x(run))).append(" ").append(coordinate(y(*value)));
        open = true;
      }
      const std::string marker = "url(#marker" + std::to_string(index % palette_size) + ")";
      out_ += "<path d=\"" + path + "\" fill=\"none\" stroke=\"" + colours[index % palette_size] +
              "\" stroke-width=\"2\" marker-start=\"" + marker + "\" marker-mid=\"" + marker + "\" marker-end=\"" +
              marker + "\"/>\n";
    }
  }

  void draw_mark(std::size_t run, const char* label, const char* dashes) {
    out_ += "<line x1=\"" + coordinate(x(run)) + "\" x2=\"" + coordinate(x(run)) + "\" y1=\"" +
            coordinate(plot_top) + "\" y2=\"" + coordinate(plot_bottom) + "\" stroke=\"#1a1a1a\" stroke-width=\"1.5\"" +
            dashes + "/><text x=\"" + coordinate(x(run) - 3) + "\" y=\"" + coordinate(plot_top + 10) +
            "\" text-anchor=\"end\" font-size=\"11\">" + label + "</text>\n";
  }

  void draw_marks() {
    for (std::size_t run = 0; run < runs_.size(); ++run) {
      if (runs_[run].githash == current_) draw_mark(run, "current", "");
      else if (chart_.base && runs_[run].githash == chart_.base->hash) draw_mark(run, "baseline", " stroke-dasharray=\"4 3\"");
    }
  }

  // One title per run, not per series: the hash, the date and every value.
  void draw_hover_columns() {
    const double width = runs_.size() == 1 ? plot_right - plot_left : column_width();
    out_ += "<g fill=\"transparent\" class=\"hit\">";
    for (std::size_t run = 0; run < runs_.size(); ++run) {
      std::string title = runs_[run].githash + " " + runs_[run].earliest + ":";
      const char* separator = " ";
      for (const series& line : chart_.lines) {
        if (!line.values[run]) continue;
        title += separator + line.label + " " + value_text(*line.values[run], chart_.percent);
        separator = ", ";
      }
      if (*separator == ' ') title += " not loaded";
      out_ += "<rect x=\"" + coordinate(x(run) - width / 2) + "\" y=\"" + coordinate(plot_top) + "\" width=\"" +
              coordinate(width) + "\" height=\"" + coordinate(plot_bottom - plot_top) +
              "\" tabindex=\"0\"><title>" + escape(title) + "</title></rect>";
    }
    out_ += "</g>\n";
  }

  void draw_legend() {
    out_ += "<ul class=\"legend\">";
    for (std::size_t index = 0; index < chart_.lines.size(); ++index) {
      const std::size_t style = index % palette_size;
      out_ += "<li><svg class=\"swatch\" viewBox=\"0 0 10 10\" width=\"12\" height=\"12\" aria-hidden=\"true\"><g fill=\"";
      out_ += colours[style];
      out_ += "\" stroke=\"";
      out_ += colours[style];
      out_ += "\">";
      out_ += chart_.stacked ? "<rect width=\"10\" height=\"10\"/>" : marker_shapes[style];
      out_ += "</g></svg> " + escape(chart_.lines[index].label);
      if (!chart_.stacked) out_ += std::string(" <span class=\"shape\">(") + shape_names[style] + ")</span>";
      else if (index % 2 == 1) out_ += " <span class=\"shape\">(hatched)</span>";
      out_ += "</li>";
    }
    out_ += "</ul>\n";
  }

  const chart& chart_;
  const std::vector<run_figures>& runs_;
  const std::string& current_;
  double top_ = 0;
  double step_ = 1;
  std::string out_;
};

std::string definitions() {
  std::string out =
      "<svg width=\"0\" height=\"0\" aria-hidden=\"true\" style=\"position:absolute\"><defs>"
      "<pattern id=\"hatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" patternTransform=\"rotate(45)\">"
      "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"#ffffff\" stroke-width=\"2\"/></pattern>";
  for (std::size_t style = 0; style < palette_size; ++style) {
    out += "<marker id=\"marker" + std::to_string(style) +
           "\" viewBox=\"0 0 10 10\" refX=\"5\" refY=\"5\" markerWidth=\"4\" markerHeight=\"4\"><g fill=\"" +
           colours[style] + "\" stroke=\"" + colours[style] + "\">" + marker_shapes[style] + "</g></marker>";
  }
  return out + "</defs></svg>\n";
}

std::vector<chart> charts_of(const platform_comparison& run, const std::vector<run_figures>& runs) {
  std::vector<chart> charts;
  for (const kind_unit* unit : kind_units()) unit->charts(run, runs, charts);
  return charts;
}

void append_comparison(std::string& out, const platform_comparison& run) {
  out += "<h3>Against the baseline</h3>\n<div class=\"wide\"><table><thead><tr><th scope=\"col\">Kind</th>"
         "<th scope=\"col\">Figures</th><th scope=\"col\">Baseline</th></tr></thead><tbody>\n";
  for (const totals_row& row : totals_of(run))
    out += "<tr><th scope=\"row\">" + escape(row.kind) + "</th><td>" + escape(row.figures) + "</td><td>" +
           escape(row.base) + "</td></tr>\n";
  out += "</tbody></table></div>\n";
  for (const named_list& list : lists_of(run)) {
    out += "<details><summary>" + escape(list.title) + " (" + grouped(static_cast<std::int64_t>(list.entries.size())) +
           ")</summary><ul>";
    const std::size_t shown = std::min(list.entries.size(), page_list_limit);
    for (std::size_t i = 0; i < shown; ++i) out += "<li>" + escape(list.entries[i]) + "</li>";
    if (shown < list.entries.size())
      out += "<li>and " + grouped(static_cast<std::int64_t>(list.entries.size() - shown)) + " more</li>";
    out += "</ul></details>\n";
  }
}

constexpr const char* style_sheet =
    "body{font-family:system-ui,sans-serif;color:#1a1a1a;background:#fff;margin:0 auto;max-width:70rem;"
    "padding:1rem;line-height:1.4}"
    "h1{font-size:1.5rem}h2{font-size:1.25rem;border-bottom:1px solid #767676}h3{font-size:1.1rem}"
    "figure{margin:1rem 0;break-inside:avoid}figcaption{font-weight:bold}"
    "figure>svg{width:100%;height:auto;max-width:60rem}svg.swatch{width:.9em;height:.9em;vertical-align:-.1em}"
    ".legend{list-style:none;padding:0;display:flex;flex-wrap:wrap;gap:.25rem 1rem}.shape{color:#555}"
    ".hit rect:focus,.hit rect:hover{fill:rgba(0,0,0,.08);outline:none}"
    ".wide{overflow-x:auto}table{border-collapse:collapse}th,td{border:1px solid #767676;padding:.25rem .5rem;"
    "text-align:left;vertical-align:top}"
    ".passed{color:#00602f}.failed{color:#a3000b}details{margin:.25rem 0}summary{cursor:pointer}"
    "li{overflow-wrap:anywhere}"
    "@media print{body{max-width:none;padding:0}details{break-inside:avoid}.hit rect{fill:none}}";

}  // namespace

std::string history_page(const comparison& found, const std::vector<std::vector<run_figures>>& trends) {
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                    escape(found.project) + " at " + escape(short_hash(found.current_hash)) + "</title>\n<style>" +
                    style_sheet + "</style>\n</head>\n<body>\n" + definitions();
  out += "<h1>" + escape(found.project) + " at <code>" + escape(shown_hash(found.current_hash)) + "</code></h1>\n";
  if (!found.notes.empty()) {
    out += "<ul class=\"notes\">";
    for (const std::string& note : found.notes) out += "<li>" + escape(note) + "</li>";
    out += "</ul>\n";
  }
  out += std::string(found.passed() ? "<p class=\"passed\">" : "<p class=\"failed\">") + "<strong>Gate: " +
         verdict_word(found, "failed") + "</strong></p>\n" + (found.passed() ? "" : "<ul>");
  for (const broken_rule& rule : found.broken)
    out += "<li><code>" + escape(rule.rule) + "</code> (" + escape(rule.platform) + "): " + escape(rule.detail) + "</li>";
  if (!found.passed()) out += "</ul>\n";
  for (std::size_t i = 0; i < found.runs.size(); ++i) {
    const platform_comparison& run = found.runs[i];
    const std::vector<run_figures>& runs = trends[i];
    out += "<section>\n<h2>Platform " + escape(run.platform) + "</h2>\n<p>The last " +
           grouped(static_cast<std::int64_t>(runs.size())) + (runs.size() == 1 ? " run" : " runs") +
           ", ordered by the date and time of their first rows. Hover over or focus a run for its figures.</p>\n";
    for (const chart& drawn : charts_of(run, runs)) out += ChartDrawer(drawn, runs, found.current_hash).draw();
    append_comparison(out, run);
    out += "</section>\n";
  }
  return out + "</body>\n</html>\n";
}

}  // namespace Compare
