#include "model/generate_trial.h"

#include <climits>

#include "model/curve_inverse.h"
#include "model/hazard_ratio_curve.h"
#include "model/survival_curve.h"

namespace gsd {

int subject_count(const Design& design) {
  const float product = static_cast<float>(static_cast<double>(design.accrual_rate) *
                                           static_cast<double>(design.accrual_period));
  if (!(product < 2147483648.0f)) return INT_MAX;
  if (product < -2147483648.0f) return INT_MIN;
  return static_cast<int>(product);
}

namespace {

// The inverse distributions of the two groups, fixed for one trial, with
// their probability-free values computed once (curve_inverse.h: the same
// results bit for bit).
struct GroupInverses {
  const Design& design;
  const HazardRatioInverse& hazard_ratio_inverse;
  const SurvivalInverse& baseline;
  const SurvivalInverse& alternative;
  const InverseWarnings& warnings;

  float control(float u) const { return time_at_survival(baseline, u); }
  float treatment(float u) const {
    if (uses_hazard_ratios(design)) return time_at_survival(hazard_ratio_inverse, u, warnings);
    return time_at_survival(alternative, u);
  }
  float of_group(bool treatment_group, float u) const {
    return treatment_group ? treatment(u) : control(u);
  }
};

// Event time of one subject, crossovers included. `treatment_group` is the
// subject's own group; a crossover switches to the other group's inverse.
GenerationStatus draw_event_time(const GroupInverses& inverses, bool treatment_group,
                                 int list_count, const float* list_times,
                                 const float* list_probs, CrossoverList list,
                                 SubtractiveGenerator& generator, int& seed,
                                 float& event_time) {
  float u = uniform(generator, seed);
  event_time = inverses.of_group(treatment_group, u);
  for (int k = 1; k <= list_count; ++k) {
    const float cross_time = list_times[k];
    if (!(event_time > cross_time)) continue;
    const float v = uniform(generator, seed);
    if (v > list_probs[k]) continue;
    // The other group's time conditioned on surviving past the crossover:
    // the subject's own u first, then fresh draws until one gets past.
    event_time = inverses.of_group(!treatment_group, u);
    for (int redraws = 0; !(event_time > cross_time); ++redraws) {
      if (redraws == kCrossoverRedrawLimit) {
        return GenerationStatus{false, list, k, cross_time};
      }
      u = uniform(generator, seed);
      event_time = inverses.of_group(!treatment_group, u);
    }
    break;
  }
  return GenerationStatus{};
}

}  // namespace

GenerationStatus generate_trial(const Design& design, int count,
                                SubtractiveGenerator& generator, int& seed,
                                SimulatedTrial& trial, const InverseWarnings& warnings) {
  const HazardRatioInverse hazard_ratio_inverse =
      make_hazard_ratio_inverse(make_hazard_ratio_curve(design));
  const SurvivalInverse baseline = make_survival_inverse(design.baseline_curve);
  const SurvivalInverse alternative = make_survival_inverse(design.alternative_curve);
  const SurvivalInverse control_censoring = make_survival_inverse(design.control_censoring);
  const SurvivalInverse treatment_censoring = make_survival_inverse(design.treatment_censoring);
  const GroupInverses inverses{design, hazard_ratio_inverse, baseline, alternative, warnings};
  const int control_count = count / 2;
  for (int i = 1; i <= count; ++i) {
    const bool treatment_group = i > control_count;
    trial.entry_time[i] = static_cast<float>(
        static_cast<double>(uniform(generator, seed)) *
        static_cast<double>(design.accrual_period));
    const GenerationStatus status =
        treatment_group
            ? draw_event_time(inverses, true, design.drop_out_count, design.drop_out_times,
                              design.drop_out_probs, CrossoverList::kDropOut, generator,
                              seed, trial.event_time[i])
            : draw_event_time(inverses, false, design.drop_in_count, design.drop_in_times,
                              design.drop_in_probs, CrossoverList::kDropIn, generator, seed,
                              trial.event_time[i]);
    if (!status.ok) return status;
    const SurvivalInverse& censoring = treatment_group ? treatment_censoring : control_censoring;
    trial.censor_time[i] = time_at_survival(censoring, uniform(generator, seed));
    trial.group[i] = treatment_group ? 1.0f : 0.0f;
  }
  return GenerationStatus{};
}

}  // namespace gsd
