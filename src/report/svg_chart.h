#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsd {

// A small chart writer for the HTML report: one chart is one inline <svg>
// element with a title, two linear axes with 1-2-5 ticks, axis labels, a
// legend and the plotted series. Series styles differ in lightness and in
// dash pattern or marker as well as in hue, so that a grey print keeps them
// apart. The text is well-formed XML (it may be embedded in XHTML).

// Ticks of a linear axis: first, first + step, ..., last, with step a 1, 2
// or 5 times a power of ten.
struct AxisTicks {
  double first = 0.0;
  double step = 1.0;
  int count = 1;
  int decimals = 0;  // digits after the decimal point that show every tick exactly
};

// The tick step for a range `span` > 0 shown with about `target` ticks: the
// 1-2-5 number nearest span / target on a log scale (from below when tied).
double nice_step(double span, int target);

// Ticks covering [lo, hi]: the axis is widened outwards to whole steps. A
// range of zero width (lo == hi) is widened to a unit around the value (or
// 0..1 at 0); hi < lo are swapped. Non-finite ends give the ticks of 0..1.
AxisTicks axis_ticks(double lo, double hi, int target);

// The tick value k (0-based) and its text with `decimals` digits, never "-0".
double tick_value(const AxisTicks& ticks, int k);
std::string tick_label(double value, int decimals);

// The text with &, <, >, " and ' replaced by entities, for element content
// and attribute values alike.
std::string escape_xml(std::string_view text);

enum class SeriesKind {
  kLine,    // points joined by straight lines
  kStep,    // right-continuous steps: y(k) holds from x(k) to x(k+1)
  kPoints,  // markers, with vertical error bars from low to high when given
  kBars,    // bars from 0 to y, grouped side by side with the chart's other bar series
};

struct Series {
  SeriesKind kind = SeriesKind::kLine;
  std::string label;  // legend entry; empty: not listed
  int style = 0;      // index into the chart palette (taken modulo its size)
  std::vector<double> x;
  std::vector<double> y;
  std::vector<double> low;   // kPoints: lower end of each error bar (empty: none)
  std::vector<double> high;  // kPoints: upper end of each error bar
  bool markers = false;      // kLine, kStep: a marker at every point as well
};

// A vertical reference line across the plot (a look time), labelled at its top.
struct Marker {
  double x = 0.0;
  std::string label;
};

// A horizontal reference line (a target), labelled at the right.
struct Level {
  double y = 0.0;
  std::string label;
};

struct Chart {
  std::string id;  // prefix of the element ids of this chart; unique in the page
  std::string title;
  std::string x_label;  // with its unit, e.g. "time (design units)"
  std::string y_label;
  std::string caption;  // how to read the chart; written below it
  std::vector<Series> series;
  std::vector<Marker> markers;
  std::vector<Level> levels;
  // Fixed ranges of the axes; when lo >= hi the range is taken from the data
  // (and the markers and levels), widened to whole ticks.
  double x_lo = 0.0, x_hi = 0.0;
  double y_lo = 0.0, y_hi = 0.0;
  // When positive, the x ticks are the multiples of this step within the x
  // range, which is then not widened (look numbers 1, 2, 3 under bars).
  double x_tick_step = 0.0;
  int width = 640;
  int height = 360;
};

// Number of distinct styles; style k and k + kChartStyleCount look alike.
inline constexpr int kChartStyleCount = 5;

// The chart as an <svg> element followed by its caption, inside a <figure>.
// Non-finite values are skipped (a line is broken there).
std::string svg_chart(const Chart& chart);

}  // namespace gsd
