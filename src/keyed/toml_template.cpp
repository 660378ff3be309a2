#include "keyed/toml_template.h"

namespace gsd {

std::string toml_design_template() {
  return R"(# gsdsim keyed design: every item by name. An omitted key takes its default
# (see the README, "Keyed design files"); all times share one time unit.
report = "design.rpt"   # report file in the current directory, at most 12 characters
seed = 20261210         # seed of the random numbers (default -123457)
trials = 1000           # number of simulated trials (default 1000)
alpha = 0.05            # overall type-I error (default 0.05)
sides = 2               # 1 one-sided, 2 two-sided (default 2)

[looks]
times = [12.0, 18.0, 24.0]   # 1 to 15 calendar times of the looks, increasing
# or event-driven: events = [100, 200, 300] with max_time = 36.0

# 1 to 5 weighted log-rank statistics, weight S^rho (1 - S)^tau;
# none means one log-rank statistic (rho = tau = 0)
[[statistics]]
rho = 0.0
tau = 0.0

[[statistics]]
rho = 1.0
tau = 0.0

[boundary]
method = "spending"          # "error-split" | "spending" | "haybittle" | "critical-values"
spending = "obrien-fleming"  # "obrien-fleming" | "pocock" | "linear" | "siegmund"
b = 3.0                      # "haybittle" and "siegmund"; 1 or less means 3
# error_split = [0.01, 0.015, 0.025]   "error-split": error spent at each look
# critical_values = [2.9, 2.3, 2.0]    "critical-values": one per look (default 1.96)

[control]                    # survival of the control group
times = [6.0, 12.0]
survival = [0.7, 0.5]
# or: median = 12.0          exponential with this median

[treatment]                  # exactly one of:
hazard_ratios = [0.8, 0.6]   # hazard ratio on each interval, 1 beyond the last cut
cuts = [6.0, 12.0]           # right ends of the intervals
# hazard_ratio = 0.7         constant hazard ratio
# times = [6.0, 12.0] with survival = [0.8, 0.6]   the treatment group's own curve

[accrual]
period = 12.0
rate = 25.0                  # subjects per time unit; or: subjects = 300

[censoring.control]          # loss to follow-up; omitted means no loss
times = [24.0]
survival = [0.9]

[censoring.treatment]        # omitted means no loss
times = [24.0]
survival = [0.9]

[crossover]                  # an omitted list means no crossover
drop_in = { times = [6.0], probabilities = [0.1] }
drop_out = { times = [6.0], probabilities = [0.05] }
)";
}

}  // namespace gsd
