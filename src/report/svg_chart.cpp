#include "report/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gsd {

namespace {

// Plot margins in pixels: room for the title, the y tick labels and axis
// label on the left, the x tick labels and axis label below.
constexpr double kLeft = 64.0;
constexpr double kRight = 18.0;
constexpr double kTitleHeight = 30.0;
constexpr double kBottom = 50.0;
constexpr double kLegendRowHeight = 18.0;
// Rough width of one character of the 12 px legend text.
constexpr double kCharWidth = 6.6;
// Ticks the axes aim at.
constexpr int kXTickTarget = 8;
constexpr int kYTickTarget = 6;
// A forced x step giving more ticks than this is ignored.
constexpr double kMostForcedTicks = 50.0;

struct Style {
  const char* colour;
  const char* dash;  // stroke-dasharray; empty for a solid line
  const char* marker;
};

// Lightness grows from style to style (black, dark blue, crimson, orange,
// light blue) and each has its own dash pattern and marker.
constexpr Style kStyles[kChartStyleCount] = {
    {"#000000", "", "circle"},
    {"#1f4e99", "8 4", "square"},
    {"#c2185b", "2 3", "triangle"},
    {"#e69f00", "10 3 2 3", "diamond"},
    {"#9ccff0", "4 2 1 2 1 2", "cross"},
};

const Style& style_of(int index) {
  const int k = ((index % kChartStyleCount) + kChartStyleCount) % kChartStyleCount;
  return kStyles[k];
}

std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s = text;
  if (s == "-0.00") s = "0.00";
  // Trailing zeros carry nothing.
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

struct Frame {
  AxisTicks xt, yt;
  double x0, x1, y0, y1;           // data ranges of the axes
  double left, top, width, height;  // plot area in pixels
};

double px(const Frame& f, double x) { return f.left + (x - f.x0) / (f.x1 - f.x0) * f.width; }
double py(const Frame& f, double y) {
  return f.top + f.height - (y - f.y0) / (f.y1 - f.y0) * f.height;
}

struct Extent {
  double lo = INFINITY;
  double hi = -INFINITY;
  void add(double v) {
    if (!std::isfinite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
};

// The smallest gap between the distinct x of the bar series (1 when none).
double bar_spacing(const Chart& chart) {
  std::vector<double> xs;
  for (const Series& s : chart.series) {
    if (s.kind != SeriesKind::kBars) continue;
    for (double x : s.x) {
      if (std::isfinite(x)) xs.push_back(x);
    }
  }
  std::sort(xs.begin(), xs.end());
  double gap = INFINITY;
  for (std::size_t k = 1; k < xs.size(); ++k) {
    if (xs[k] > xs[k - 1]) gap = std::min(gap, xs[k] - xs[k - 1]);
  }
  return std::isfinite(gap) ? gap : 1.0;
}

int bar_series_count(const Chart& chart) {
  return static_cast<int>(std::count_if(chart.series.begin(), chart.series.end(),
                                        [](const Series& s) { return s.kind == SeriesKind::kBars; }));
}

void marker_shape(std::string& out, const char* shape, double x, double y, const char* colour) {
  const std::string cx = number(x);
  const std::string cy = number(y);
  const std::string fill = std::string(" fill=\"") + colour + "\" stroke=\"" + colour + "\"";
  const std::string_view s = shape;
  if (s == "circle") {
    out += "<circle cx=\"" + cx + "\" cy=\"" + cy + "\" r=\"3.5\"" + fill + "/>";
  } else if (s == "square") {
    out += "<rect x=\"" + number(x - 3.2) + "\" y=\"" + number(y - 3.2) +
           "\" width=\"6.4\" height=\"6.4\"" + fill + "/>";
  } else if (s == "triangle") {
    out += "<path d=\"M" + number(x) + " " + number(y - 4.2) + "L" + number(x + 4) + " " +
           number(y + 3) + "L" + number(x - 4) + " " + number(y + 3) + "Z\"" + fill + "/>";
  } else if (s == "diamond") {
    out += "<path d=\"M" + number(x) + " " + number(y - 4.5) + "L" + number(x + 4) + " " + cy +
           "L" + number(x) + " " + number(y + 4.5) + "L" + number(x - 4) + " " + cy + "Z\"" +
           fill + "/>";
  } else {
    out += "<path d=\"M" + number(x - 3.5) + " " + number(y - 3.5) + "L" + number(x + 3.5) +
           " " + number(y + 3.5) + "M" + number(x - 3.5) + " " + number(y + 3.5) + "L" +
           number(x + 3.5) + " " + number(y - 3.5) + "\" fill=\"none\" stroke=\"" + colour +
           "\" stroke-width=\"2\"/>";
  }
}

std::string stroke_attributes(const Style& style) {
  std::string a = std::string(" fill=\"none\" stroke=\"") + style.colour + "\" stroke-width=\"2\"";
  if (style.dash[0] != '\0') a += std::string(" stroke-dasharray=\"") + style.dash + "\"";
  return a;
}

// The path of a line or step series; a non-finite point breaks it.
std::string series_path(const Frame& f, const Series& s) {
  std::string d;
  bool open = false;
  const std::size_t n = std::min(s.x.size(), s.y.size());
  for (std::size_t k = 0; k < n; ++k) {
    if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) {
      open = false;
      continue;
    }
    const double X = px(f, s.x[k]);
    const double Y = py(f, s.y[k]);
    if (!open) {
      d += 'M';
      d += number(X) + " " + number(Y);
      open = true;
    } else if (s.kind == SeriesKind::kStep) {
      d += 'H';
      d += number(X) + "V" + number(Y);
    } else {
      d += 'L';
      d += number(X) + " " + number(Y);
    }
  }
  return d;
}

void draw_series(std::string& out, const Frame& f, const Series& s,
                 int bar_index, int bar_count, double spacing) {
  const Style& style = style_of(s.style);
  const std::size_t n = std::min(s.x.size(), s.y.size());
  if (s.kind == SeriesKind::kBars) {
    const double group = 0.8 * spacing;
    const double width = group / bar_count;
    for (std::size_t k = 0; k < n; ++k) {
      if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) continue;
      const double left = s.x[k] - group / 2 + bar_index * width;
      const double x0 = px(f, left);
      const double x1 = px(f, left + width);
      const double base = py(f, std::clamp(0.0, f.y0, f.y1));
      const double top = py(f, s.y[k]);
      out += "<rect x=\"" + number(x0) + "\" y=\"" + number(std::min(base, top)) +
             "\" width=\"" + number(x1 - x0) + "\" height=\"" + number(std::fabs(base - top)) +
             "\" fill=\"" + style.colour + "\" stroke=\"#000000\" stroke-width=\"0.6\"/>";
    }
    return;
  }
  if (s.kind == SeriesKind::kLine || s.kind == SeriesKind::kStep) {
    const std::string d = series_path(f, s);
    if (!d.empty()) out += "<path d=\"" + d + "\"" + stroke_attributes(style) + "/>";
    if (!s.markers) return;
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) continue;
    const double X = px(f, s.x[k]);
    if (s.kind == SeriesKind::kPoints && k < s.low.size() && k < s.high.size() &&
        std::isfinite(s.low[k]) && std::isfinite(s.high[k])) {
      const double lo = py(f, s.low[k]);
      const double hi = py(f, s.high[k]);
      out += std::string("<path d=\"M") + number(X) + " " + number(lo) + "V" + number(hi) + "M" +
             number(X - 4) + " " + number(lo) + "H" + number(X + 4) + "M" + number(X - 4) + " " +
             number(hi) + "H" + number(X + 4) + "\" fill=\"none\" stroke=\"" + style.colour +
             "\" stroke-width=\"1.4\"/>";
    }
    marker_shape(out, style.marker, X, py(f, s.y[k]), style.colour);
  }
}

struct LegendEntry {
  double x, y;
  const Series* series;
};

// Entries laid out in rows across the chart's width.
std::vector<LegendEntry> legend_layout(const Chart& chart, double& height) {
  std::vector<LegendEntry> entries;
  double x = kLeft;
  double y = kTitleHeight + 4.0;
  const double right = chart.width - kRight;
  for (const Series& s : chart.series) {
    if (s.label.empty()) continue;
    const double w = 34.0 + kCharWidth * static_cast<double>(s.label.size()) + 16.0;
    if (x > kLeft && x + w > right) {
      x = kLeft;
      y += kLegendRowHeight;
    }
    entries.push_back({x, y, &s});
    x += w;
  }
  height = entries.empty() ? 0.0 : y - kTitleHeight - 4.0 + kLegendRowHeight + 4.0;
  return entries;
}

void draw_legend(std::string& out, const std::vector<LegendEntry>& entries) {
  for (const LegendEntry& e : entries) {
    const Series& s = *e.series;
    const Style& style = style_of(s.style);
    const double mid = e.y + 7.0;
    if (s.kind == SeriesKind::kBars) {
      out += "<rect x=\"" + number(e.x + 4) + "\" y=\"" + number(mid - 6) +
             "\" width=\"20\" height=\"12\" fill=\"" + style.colour +
             "\" stroke=\"#000000\" stroke-width=\"0.6\"/>";
    } else {
      if (s.kind != SeriesKind::kPoints) {
        out += "<path d=\"M" + number(e.x) + " " + number(mid) + "H" + number(e.x + 28) + "\"" +
               stroke_attributes(style) + "/>";
      } else {
        out += std::string("<path d=\"M") + number(e.x + 14) + " " + number(mid - 6) + "V" +
               number(mid + 6) + "\" fill=\"none\" stroke=\"" + style.colour +
               "\" stroke-width=\"1.4\"/>";
      }
      if (s.kind == SeriesKind::kPoints || s.markers) {
        marker_shape(out, style.marker, e.x + 14, mid, style.colour);
      }
    }
    out += "<text x=\"" + number(e.x + 34) + "\" y=\"" + number(mid + 4) + "\">" +
           escape_xml(s.label) + "</text>";
  }
}

}  // namespace

double nice_step(double span, int target) {
  if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
  const double rough = span / std::max(target, 1);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  const double f = rough / power;
  // Nearest of 1, 2, 5, 10 on a log scale: the thresholds are geometric means.
  double m = 10.0;
  if (f <= std::sqrt(2.0)) {
    m = 1.0;
  } else if (f <= std::sqrt(10.0)) {
    m = 2.0;
  } else if (f <= std::sqrt(50.0)) {
    m = 5.0;
  }
  return m * power;
}

AxisTicks axis_ticks(double lo, double hi, int target) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    lo = 0.0;
    hi = 1.0;
  }
  if (hi < lo) std::swap(lo, hi);
  if (hi == lo) {
    if (lo == 0.0) {
      hi = 1.0;
    } else {
      lo -= 0.5 * std::fabs(lo);
      hi += 0.5 * std::fabs(hi);
    }
  }
  AxisTicks t;
  t.step = nice_step(hi - lo, target);
  // A relative slack keeps an end that is a whole step in binary noise
  // from adding a tick.
  const double first = std::floor(lo / t.step + 1e-9);
  const double last = std::ceil(hi / t.step - 1e-9);
  t.first = first * t.step;
  t.count = static_cast<int>(last - first) + 1;
  const double exponent = std::floor(std::log10(t.step) + 1e-9);
  t.decimals = exponent < 0 ? static_cast<int>(-exponent) : 0;
  return t;
}

double tick_value(const AxisTicks& ticks, int k) {
  // From the step count rather than by repeated addition.
  return (std::round(ticks.first / ticks.step) + k) * ticks.step;
}

std::string tick_label(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 15), value);
  std::string s = text;
  if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string escape_xml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string svg_chart(const Chart& chart) {
  const int bar_count = bar_series_count(chart);
  const double spacing = bar_spacing(chart);

  Extent xe, ye;
  for (const Series& s : chart.series) {
    const std::size_t n = std::min(s.x.size(), s.y.size());
    for (std::size_t k = 0; k < n; ++k) {
      if (!std::isfinite(s.x[k]) || !std::isfinite(s.y[k])) continue;
      if (s.kind == SeriesKind::kBars) {
        xe.add(s.x[k] - spacing / 2);
        xe.add(s.x[k] + spacing / 2);
        ye.add(0.0);
      } else {
        xe.add(s.x[k]);
      }
      ye.add(s.y[k]);
      if (k < s.low.size()) ye.add(s.low[k]);
      if (k < s.high.size()) ye.add(s.high[k]);
    }
  }
  for (const Marker& m : chart.markers) xe.add(m.x);
  for (const Level& l : chart.levels) ye.add(l.y);

  Frame f;
  const bool fixed_x = chart.x_lo < chart.x_hi;
  const bool fixed_y = chart.y_lo < chart.y_hi;
  f.xt = axis_ticks(fixed_x ? chart.x_lo : xe.lo, fixed_x ? chart.x_hi : xe.hi, kXTickTarget);
  const bool forced_step = chart.x_tick_step > 0.0 && std::isfinite(chart.x_tick_step) &&
                           std::isfinite(xe.lo) && xe.lo < xe.hi &&
                           (fixed_x ? chart.x_hi - chart.x_lo : xe.hi - xe.lo) /
                                   chart.x_tick_step <= kMostForcedTicks;
  f.yt = axis_ticks(fixed_y ? chart.y_lo : ye.lo, fixed_y ? chart.y_hi : ye.hi, kYTickTarget);
  f.x0 = fixed_x ? chart.x_lo : tick_value(f.xt, 0);
  f.x1 = fixed_x ? chart.x_hi : tick_value(f.xt, f.xt.count - 1);
  if (forced_step) {
    if (!fixed_x) {
      f.x0 = xe.lo;
      f.x1 = xe.hi;
    }
    const double step = chart.x_tick_step;
    const double first = std::ceil(f.x0 / step - 1e-9);
    const double last = std::floor(f.x1 / step + 1e-9);
    f.xt.step = step;
    f.xt.first = first * step;
    f.xt.count = std::max(0, static_cast<int>(last - first) + 1);
    const double exponent = std::floor(std::log10(step) + 1e-9);
    f.xt.decimals = exponent < 0 ? static_cast<int>(-exponent) : 0;
  }
  f.y0 = fixed_y ? chart.y_lo : tick_value(f.yt, 0);
  f.y1 = fixed_y ? chart.y_hi : tick_value(f.yt, f.yt.count - 1);

  double legend_height = 0.0;
  const std::vector<LegendEntry> legend = legend_layout(chart, legend_height);
  f.left = kLeft;
  f.top = kTitleHeight + legend_height + 8.0;
  f.width = chart.width - kLeft - kRight;
  f.height = std::max(60.0, chart.height - f.top - kBottom);
  const double total_height = f.top + f.height + kBottom;

  const std::string id = escape_xml(chart.id);
  std::string out;
  out += "<figure class=\"chart\" id=\"" + id + "\">\n";
  out += "<svg role=\"img\" aria-labelledby=\"" + id + "-title\" viewBox=\"0 0 " +
         std::to_string(chart.width) + " " + number(total_height) + "\" width=\"" +
         std::to_string(chart.width) + "\" height=\"" + number(total_height) +
         "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  out += "<title id=\"" + id + "-title\">" + escape_xml(chart.title) + "</title>\n";
  out += "<defs><clipPath id=\"" + id + "-plot\"><rect x=\"" + number(f.left) + "\" y=\"" +
         number(f.top) + "\" width=\"" + number(f.width) + "\" height=\"" + number(f.height) +
         "\"/></clipPath></defs>\n";
  out += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(chart.width) + "\" height=\"" +
         number(total_height) + "\" fill=\"#ffffff\"/>\n";
  out += "<text x=\"" + number(chart.width / 2.0) +
         "\" y=\"20\" text-anchor=\"middle\" font-size=\"15\" font-weight=\"bold\">" +
         escape_xml(chart.title) + "</text>\n";

  // Grid lines and tick labels.
  out += "<g stroke=\"#d9d9d9\" stroke-width=\"1\">";
  for (int k = 0; k < f.yt.count; ++k) {
    const double v = tick_value(f.yt, k);
    if (v < f.y0 - 1e-9 * (f.y1 - f.y0) || v > f.y1 + 1e-9 * (f.y1 - f.y0)) continue;
    out += "<path d=\"M" + number(f.left) + " " + number(py(f, v)) + "H" +
           number(f.left + f.width) + "\"/>";
  }
  out += "</g>\n<g text-anchor=\"end\">";
  for (int k = 0; k < f.yt.count; ++k) {
    const double v = tick_value(f.yt, k);
    if (v < f.y0 - 1e-9 * (f.y1 - f.y0) || v > f.y1 + 1e-9 * (f.y1 - f.y0)) continue;
    out += "<text x=\"" + number(f.left - 6) + "\" y=\"" + number(py(f, v) + 4) + "\">" +
           tick_label(v, f.yt.decimals) + "</text>";
  }
  out += "</g>\n<g text-anchor=\"middle\">";
  for (int k = 0; k < f.xt.count; ++k) {
    const double v = tick_value(f.xt, k);
    if (v < f.x0 - 1e-9 * (f.x1 - f.x0) || v > f.x1 + 1e-9 * (f.x1 - f.x0)) continue;
    const double X = px(f, v);
    out += "<path d=\"M" + number(X) + " " + number(f.top + f.height) + "V" +
           number(f.top + f.height + 5) + "\" stroke=\"#000000\"/>";
    out += "<text x=\"" + number(X) + "\" y=\"" + number(f.top + f.height + 18) + "\">" +
           tick_label(v, f.xt.decimals) + "</text>";
  }
  out += "</g>\n";
  out += "<text x=\"" + number(f.left + f.width / 2) + "\" y=\"" +
         number(f.top + f.height + 38) + "\" text-anchor=\"middle\">" +
         escape_xml(chart.x_label) + "</text>\n";
  const double yl_x = 16.0;
  const double yl_y = f.top + f.height / 2;
  out += "<text x=\"" + number(yl_x) + "\" y=\"" + number(yl_y) +
         "\" text-anchor=\"middle\" transform=\"rotate(-90 " + number(yl_x) + " " +
         number(yl_y) + ")\">" + escape_xml(chart.y_label) + "</text>\n";

  // Reference lines, then the series, clipped to the plot area.
  out += "<g clip-path=\"url(#" + id + "-plot)\">\n";
  for (const Marker& m : chart.markers) {
    const double X = px(f, m.x);
    out += "<path d=\"M" + number(X) + " " + number(f.top) + "V" + number(f.top + f.height) +
           "\" stroke=\"#707070\" stroke-width=\"1\" stroke-dasharray=\"3 3\"/>";
    if (!m.label.empty()) {
      out += "<text x=\"" + number(X + 3) + "\" y=\"" + number(f.top + 11) +
             "\" font-size=\"10\" fill=\"#404040\">" + escape_xml(m.label) + "</text>";
    }
  }
  for (const Level& l : chart.levels) {
    const double Y = py(f, l.y);
    out += "<path d=\"M" + number(f.left) + " " + number(Y) + "H" + number(f.left + f.width) +
           "\" stroke=\"#707070\" stroke-width=\"1\" stroke-dasharray=\"6 3\"/>";
    if (!l.label.empty()) {
      out += "<text x=\"" + number(f.left + f.width - 4) + "\" y=\"" + number(Y - 4) +
             "\" text-anchor=\"end\" font-size=\"10\" fill=\"#404040\">" + escape_xml(l.label) +
             "</text>";
    }
  }
  int bar_index = 0;
  for (const Series& s : chart.series) {
    draw_series(out, f, s, bar_index, std::max(bar_count, 1), spacing);
    if (s.kind == SeriesKind::kBars) ++bar_index;
  }
  out += "\n</g>\n";
  out += "<rect x=\"" + number(f.left) + "\" y=\"" + number(f.top) + "\" width=\"" +
         number(f.width) + "\" height=\"" + number(f.height) +
         "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
  out += "<g>";
  draw_legend(out, legend);
  out += "</g>\n</svg>\n";
  out += "<figcaption>" + escape_xml(chart.caption) + "</figcaption>\n</figure>\n";
  return out;
}

}  // namespace gsd
