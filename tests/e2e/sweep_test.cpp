// gsdsim --sweep and --size-for-power as a user runs them: a sweep row is
// the single run of its scenario, shards merge to the whole sweep, thread
// counts give the same bytes, and bad input is refused with its status.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_gsdsim.h"
#include "support/xml_well_formed.h"

namespace gsd {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_gsdsim;
using testing::scratch_directory;
using testing::write_file;

// Two looks, two statistics, method 2: a few hundredths of a second a run.
const char* const kDesign = R"(report = "sweep.rpt"
seed = 20261210
trials = 200
alpha = 0.05
sides = 2

[looks]
times = [12.0, 24.0]

[[statistics]]
rho = 0.0
tau = 0.0

[[statistics]]
rho = 1.0
tau = 0.0

[boundary]
method = "spending"
spending = "obrien-fleming"

[control]
times = [12.0]
survival = [0.5]

[treatment]
hazard_ratio = 0.7

[accrual]
period = 12.0
rate = 20.0
)";

// The design text with the line starting with `key = ` (in the table
// `table`) replaced.
std::string with_value(std::string text, const std::string& table, const std::string& key,
                       const std::string& value) {
  std::size_t from = table.empty() ? 0 : text.find("[" + table + "]\n");
  from = text.find("\n" + key + " = ", from);
  const std::size_t end = text.find('\n', from + 1);
  return text.replace(from + 1, end - from - 1, key + " = " + value);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(field);
  return fields;
}

// The text of member `name` after position `from` of a JSON document.
std::string json_member(const std::string& json, const std::string& name, std::size_t& from) {
  from = json.find("\"" + name + "\": ", from);
  if (from == std::string::npos) return "(missing)";
  from += name.size() + 4;
  const std::size_t end = json.find_first_of(",\n}", from);
  return json.substr(from, end - from);
}

TEST(SweepRun, EveryRowIsTheSingleRunOfItsScenario) {
  const fs::path dir = scratch_directory("sweep_rows");
  write_file(dir / "design.toml", kDesign);
  const testing::RunResult sweep = run_gsdsim(
      dir, "", "--sweep treatment.hazard_ratio=0.6,0.8 --sweep accrual.subjects=150:250:100 "
               "--csv table.csv design.toml");
  ASSERT_EQ(sweep.status, 0) << sweep.console;
  EXPECT_FALSE(fs::exists(dir / "sweep.rpt"));
  const std::vector<std::string> rows = lines_of(read_file(dir / "table.csv"));
  ASSERT_EQ(rows.size(), 1u + 4 * 2);
  EXPECT_EQ(rows[0],
            "scenario,treatment.hazard_ratio,accrual.subjects,subjects,statistic,rho,tau,power,"
            "sd,average_stopping_time,analytic_power,expected_events,expected_subjects");
  const char* const ratios[] = {"0.6", "0.6", "0.8", "0.8"};
  const char* const subjects[] = {"150", "250", "150", "250"};
  for (int s = 0; s < 4; ++s) {
    // The scenario as its own design file, the subjects given instead of the rate.
    std::string single = with_value(kDesign, "treatment", "hazard_ratio", ratios[s]);
    single = with_value(single, "accrual", "rate", "0");
    single.replace(single.find("rate = 0"), 8, std::string("subjects = ") + subjects[s]);
    write_file(dir / "single.toml", single);
    const testing::RunResult run = run_gsdsim(dir, "", "--json single.json single.toml");
    ASSERT_EQ(run.status, 0) << run.console;
    const std::string json = read_file(dir / "single.json");
    std::size_t at = 0;
    for (int j = 0; j < 2; ++j) {
      const std::vector<std::string> row = fields_of(rows[1 + 2 * s + j]);
      ASSERT_EQ(row.size(), 13u);
      EXPECT_EQ(row[0], std::to_string(s + 1));
      EXPECT_EQ(row[1], ratios[s]);
      EXPECT_EQ(row[2], subjects[s]);
      EXPECT_EQ(row[3], subjects[s]);
      EXPECT_EQ(row[4], std::to_string(j + 1));
      json_member(json, "rejections", at);
      EXPECT_EQ(row[7], json_member(json, "power", at)) << "scenario " << s + 1;
      EXPECT_EQ(row[8], json_member(json, "sd", at)) << "scenario " << s + 1;
      EXPECT_EQ(row[9], json_member(json, "average_stopping_time", at)) << "scenario " << s + 1;
    }
  }
  fs::remove_all(dir);
}

TEST(SweepRun, ShardsMergeToTheWholeSweepAndThreadsChangeNoByte) {
  const fs::path dir = scratch_directory("sweep_shards");
  write_file(dir / "design.toml", kDesign);
  // One scenario of 400 trials is more than half the work: it runs alone on
  // both threads, the others side by side.
  const std::string grid =
      "--sweep trials=400,50,60,70 --sweep 'looks.times=[12.0,24.0],[12.0,30.0]' design.toml";
  const testing::RunResult one = run_gsdsim(dir, "", "--threads 1 --csv one.csv --json one.json " + grid);
  ASSERT_EQ(one.status, 0) << one.console;
  const testing::RunResult two = run_gsdsim(dir, "", "--threads 2 --csv two.csv --json two.json " + grid);
  ASSERT_EQ(two.status, 0) << two.console;
  EXPECT_EQ(one.console, two.console);
  EXPECT_EQ(read_file(dir / "one.csv"), read_file(dir / "two.csv"));
  EXPECT_EQ(read_file(dir / "one.json"), read_file(dir / "two.json"));
  EXPECT_EQ(lines_of(read_file(dir / "one.csv")).size(), 1u + 8 * 2);

  fs::create_directories(dir / "shards");
  for (int i = 1; i <= 3; ++i) {
    const std::string shard = std::to_string(i);
    const testing::RunResult run = run_gsdsim(
        dir, "", "--shard " + shard + "/3 --csv shards/shard-" + shard + ".csv " + grid);
    ASSERT_EQ(run.status, 0) << run.console;
    EXPECT_NE(run.console.find("shard " + shard + " of 3"), std::string::npos) << run.console;
  }
  const std::string merge = "bash '" GSDSIM_SOURCE_DIR "/examples/sweep_slurm.sh' merge '" +
                            (dir / "shards").string() + "' 3";
  ASSERT_EQ(std::system(merge.c_str()), 0);
  EXPECT_EQ(read_file(dir / "shards" / "sweep.csv"), read_file(dir / "one.csv"));
  fs::remove_all(dir);
}

// The reader's notes: the first scenario's in full, once; a later
// scenario's only where they differ, under its number.
TEST(SweepRun, NotesShownOnce) {
  const fs::path dir = scratch_directory("sweep_notes");
  write_file(dir / "design.toml", kDesign);
  const testing::RunResult run = run_gsdsim(
      dir, "", "--sweep trials=20 --sweep 'looks.times=[12.0,24.0],[24.0],[6.0,24.0]' design.toml");
  ASSERT_EQ(run.status, 0) << run.console;
  auto count = [&](const std::string& text) {
    int n = 0;
    for (std::size_t at = run.console.find(text); at != std::string::npos;
         at = run.console.find(text, at + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(count("Your input of b is less than 1, b is re-set to 3."), 1) << run.console;
  EXPECT_EQ(count("scenario 2: You have specified the non-sequential design.\n"), 1) << run.console;
  EXPECT_EQ(count("scenario 3:"), 0) << run.console;
  EXPECT_LT(run.console.find("Your input of b"), run.console.find("Sweep of 3 scenarios\n"));
  fs::remove_all(dir);
}

// The page of a sizing: well-formed, every simulation of the console's list
// a point with its figures, the target and the answer marked; the console
// is that of the sizing without the page.
TEST(SweepRun, SizingPageHoldsTheConsolesSimulations) {
  const fs::path dir = scratch_directory("sweep_size_page");
  write_file(dir / "design.toml", kDesign);
  const testing::RunResult plain = run_gsdsim(dir, "", "--size-for-power 0.8 design.toml");
  const testing::RunResult paged =
      run_gsdsim(dir, "", "--size-for-power 0.8 --html size.html design.toml");
  ASSERT_EQ(paged.status, 0) << paged.console;
  EXPECT_EQ(paged.console, plain.console);
  const std::string page = read_file(dir / "size.html");
  EXPECT_EQ(testing::xml_error(page), "");
  // "    subjects   power      s.d." then one line per simulation.
  const std::string& c = plain.console;
  std::size_t at = c.find("s.d.\n");
  ASSERT_NE(at, std::string::npos) << c;
  at += 5;
  std::vector<std::array<double, 3>> simulations;
  int subjects = 0;
  double power = 0.0, sd = 0.0;
  int used = 0;
  while (std::sscanf(c.c_str() + at, " %d %lf %lf\n%n", &subjects, &power, &sd, &used) == 3) {
    simulations.push_back({double(subjects), power, sd});
    at = c.find('\n', at) + 1;
  }
  ASSERT_GE(simulations.size(), 2u) << c;
  std::sort(simulations.begin(), simulations.end());
  auto value_at = [&](const std::string& path) {
    const std::string mark = "data-json=\"" + path + "\" data-value=\"";
    const std::size_t found = page.find(mark);
    if (found == std::string::npos) return std::nan("");
    return std::atof(page.c_str() + found + mark.size());
  };
  for (std::size_t n = 0; n < simulations.size(); ++n) {
    const std::string scenario = "scenarios." + std::to_string(n) + ".";
    EXPECT_EQ(value_at(scenario + "subjects"), simulations[n][0]) << n;
    EXPECT_NEAR(value_at(scenario + "statistics.0.power"), simulations[n][1], 5e-5) << n;
    EXPECT_NEAR(value_at(scenario + "statistics.0.sd"), simulations[n][2], 5e-6) << n;
    EXPECT_FALSE(std::isnan(value_at(scenario + "statistics.0.analytic_power"))) << n;
  }
  EXPECT_TRUE(std::isnan(value_at("scenarios." + std::to_string(simulations.size()) + ".subjects")));
  const std::size_t needed = c.find("subjects needed: ");
  ASSERT_NE(needed, std::string::npos);
  const int answer = std::atoi(c.c_str() + needed + 17);
  EXPECT_NE(page.find("answer " + std::to_string(answer)), std::string::npos);
  EXPECT_NE(page.find("target 0.80"), std::string::npos);
  fs::remove_all(dir);
}

TEST(SweepRun, BadInputIsRefusedWithItsStatus) {
  const fs::path dir = scratch_directory("sweep_bad");
  write_file(dir / "design.toml", kDesign);
  write_file(dir / "design.dsn", "not a keyed design\n");
  // A character outside ASCII in a bare value: the keyed reader's refusal,
  // before the parser sees it, for a sweep and a sizing alike.
  write_file(dir / "accent.toml", std::string(kDesign) + "trials = 2\xC3\xA9\n");
  struct Case {
    const char* arguments;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"--sweep treatment.hazzard_ratio=0.7 design.toml", 1, "unknown key"},
      {"--sweep trials=abc design.toml", 1, "trials: expected a whole number, found a string"},
      {"--sweep trials=100,0.5 design.toml", 1, "scenario 2 (trials=0.5)"},
      {"--sweep accrual.subjects=100,8000 design.toml", 1, "accrual.subjects"},
      {"--sweep trials.count=5 design.toml", 1, "key trials is not a table"},
      {"--sweep accrual.subjects=800:200:100 design.toml", 4, "is empty"},
      {"--sweep report=a.rpt,b.rpt design.toml", 4, "report name cannot be swept"},
      {"--sweep trials=10 design.dsn", 4, "needs a keyed design"},
      {"--sweep trials=10 missing.toml", 1, "cannot open"},
      {"--sweep trials=10 --csv design.toml design.toml", 4, "--csv names the design file"},
      {"--sweep trials=10 --csv t.csv --json ./t.csv design.toml", 4, "name one file"},
      {"--size-for-power 0.8 --html design.toml design.toml", 4,
       "--html \"design.toml\" names the design file"},
      {"--size-for-power 1.5 design.toml", 4, "strictly between 0 and 1"},
      {"--size-for-power 0 design.toml", 4, "strictly between 0 and 1"},
      {"--size-for-power 0.8 --statistic 3 design.toml", 4, "the design has 2 statistics"},
      {"--size-for-power 0.8 design.dsn", 4, "needs a keyed design"},
      {"--sweep trials=10 accent.toml", 1,
       "a character outside ASCII is allowed only in a string or a comment (TOML syntax)"},
      {"--size-for-power 0.8 accent.toml", 1, "a character outside ASCII is allowed only"},
  };
  for (const Case& c : cases) {
    testing::RunResult run = run_gsdsim(dir, "", c.arguments);
    // Some refusals go to the console, the command line's to standard error.
    run.console += run.errors;
    EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.console;
    EXPECT_NE(run.console.find(c.message), std::string::npos) << c.arguments << "\n" << run.console;
    EXPECT_NE(run.console.find("gsdsim: error: "), std::string::npos) << run.console;
  }
  // A power the capacity cannot reach: a hazard ratio of 0.98.
  write_file(dir / "weak.toml", with_value(kDesign, "treatment", "hazard_ratio", "0.98"));
  const testing::RunResult weak = run_gsdsim(dir, "", "--size-for-power 0.9 weak.toml");
  EXPECT_EQ(weak.status, 1) << weak.console;
  EXPECT_NE(weak.console.find("at 7100 subjects, the most a trial can hold, is"),
            std::string::npos)
      << weak.console;
  // Nothing was written by the refused runs.
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "design.toml" || name == "design.dsn" || name == "weak.toml" ||
                name == "accent.toml") << name;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace gsd
