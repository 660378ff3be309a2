#include "report/html_page.h"

#include "report/svg_chart.h"

namespace gsd {

namespace {

constexpr const char* kStyleSheet = R"(
body { font-family: sans-serif; color: #111111; background: #ffffff; margin: 0 auto;
       max-width: 60em; padding: 1em 1.5em; line-height: 1.4; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.25em; border-bottom: 1px solid #999999; margin-top: 1.6em; }
h3 { font-size: 1.05em; margin-top: 1.2em; }
p.lead { font-size: 1.05em; }
table { border-collapse: collapse; margin: 0.6em 0 1em 0; font-size: 0.92em; }
div.wide { overflow-x: auto; }
th, td { border: 1px solid #bbbbbb; padding: 0.2em 0.55em; vertical-align: top; }
th { background: #eeeeee; text-align: left; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
table.items td:first-child { font-family: monospace; white-space: nowrap; }
figure.chart { margin: 1em 0 1.4em 0; }
figure.chart svg { max-width: 100%; height: auto; display: block; }
figcaption { font-size: 0.9em; color: #333333; max-width: 44em; margin-top: 0.3em; }
.note { color: #444444; font-size: 0.9em; }
pre.keyed { background: #f4f4f4; border: 1px solid #cccccc; padding: 0.5em 0.8em;
            font-size: 0.85em; white-space: pre-wrap; max-height: 40em; overflow: auto; }
@media print { pre.keyed { max-height: none; overflow: visible; background: #ffffff; } }
footer { margin-top: 2em; font-size: 0.85em; color: #555555; }
@media print {
  body { max-width: none; padding: 0; font-size: 10.5pt; }
  h2 { break-after: avoid; }
  figure.chart, table { break-inside: avoid; }
  th { background: #ffffff; }
  a { color: #000000; text-decoration: none; }
}
)";

}  // namespace

std::string html_page_start(std::string_view title) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n"
         "<title>" + escape_xml(title) + "</title>\n<style>" + kStyleSheet +
         "</style>\n</head>\n<body>\n";
}

std::string html_page_end(std::string_view footer) {
  return "<footer>" + escape_xml(footer) + "</footer>\n</body>\n</html>\n";
}

}  // namespace gsd
