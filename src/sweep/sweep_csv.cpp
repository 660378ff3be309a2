#include "sweep/sweep_csv.h"

#include <cstdio>

#include "text/json_writer.h"

namespace gsd {

namespace {

void field(std::string& line, const std::string& value) {
  if (!line.empty()) line += ',';
  if (value.find_first_of(",\"\n\r") == std::string::npos) {
    line += value;
    return;
  }
  line += '"';
  for (const char c : value) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

std::string analytic_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

}  // namespace

std::string sweep_csv_header(const SweepResult& result) {
  std::string line;
  field(line, "scenario");
  for (const std::string& key : result.keys) field(line, key);
  for (const char* name : {"subjects", "statistic", "rho", "tau", "power", "sd",
                           "average_stopping_time", "analytic_power", "expected_events",
                           "expected_subjects"}) {
    field(line, name);
  }
  return line + '\n';
}

std::string sweep_csv(const SweepResult& result) {
  std::string text = sweep_csv_header(result);
  for (const SweepScenario& scenario : result.scenarios) {
    for (const SweepRow& row : scenario.rows) {
      std::string line;
      field(line, std::to_string(scenario.index));
      for (const std::string& value : scenario.values) field(line, value);
      field(line, std::to_string(scenario.subjects));
      field(line, std::to_string(row.statistic));
      field(line, shortest_real(row.rho));
      field(line, shortest_real(row.tau));
      field(line, shortest_real(row.power));
      field(line, shortest_real(row.sd));
      field(line, shortest_real(row.average_stopping_time));
      field(line, analytic_text(row.analytic_power));
      field(line, analytic_text(row.expected_events));
      field(line, analytic_text(row.expected_subjects));
      text += line;
      text += '\n';
    }
  }
  return text;
}

}  // namespace gsd
