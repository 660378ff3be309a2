#include "sweep/sweep_table.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace gsd {

namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

}  // namespace

std::string sweep_table(const SweepResult& result) {
  std::vector<std::string> header = {"scenario"};
  header.insert(header.end(), result.keys.begin(), result.keys.end());
  for (const char* name : {"subjects", "statistic", "rho", "tau", "power", "sd",
                           "average_stopping_time", "analytic_power", "expected_events",
                           "expected_subjects"}) {
    header.emplace_back(name);
  }
  std::vector<std::vector<std::string>> lines = {header};
  for (const SweepScenario& scenario : result.scenarios) {
    for (const SweepRow& row : scenario.rows) {
      std::vector<std::string> cells = {std::to_string(scenario.index)};
      cells.insert(cells.end(), scenario.values.begin(), scenario.values.end());
      cells.resize(1 + result.keys.size());
      cells.push_back(std::to_string(scenario.subjects));
      cells.push_back(std::to_string(row.statistic));
      cells.push_back(fixed(row.rho, 2));
      cells.push_back(fixed(row.tau, 2));
      cells.push_back(fixed(row.power, 4));
      cells.push_back(fixed(row.sd, 5));
      cells.push_back(fixed(row.average_stopping_time, 3));
      cells.push_back(fixed(row.analytic_power, 4));
      cells.push_back(fixed(row.expected_events, 1));
      cells.push_back(fixed(row.expected_subjects, 1));
      lines.push_back(std::move(cells));
    }
  }
  std::vector<std::size_t> widths(header.size(), 0);
  for (const auto& cells : lines) {
    for (std::size_t c = 0; c < cells.size(); ++c) widths[c] = std::max(widths[c], cells[c].size());
  }
  std::string text;
  for (const auto& cells : lines) {
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c > 0) line += "  ";
      line.append(widths[c] - cells[c].size(), ' ');
      line += cells[c];
    }
    text += line + '\n';
  }
  return text;
}

}  // namespace gsd
