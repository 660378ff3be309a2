#include "analytic/weighted_logrank_moments.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/time_quadrature.h"
#include "stats/weighted_logrank.h"

namespace gsd {

WeightedLogrankMoments weighted_logrank_moments(const TrialModel& model, int K,
                                                const double* look_times, int L,
                                                const double* rho, const double* tau) {
  WeightedLogrankMoments out;
  out.look_count = K;
  out.stat_count = L;
  const double n = model.subjects[0] + model.subjects[1];
  if (!(n > 0.0)) return out;
  const double pi0 = model.subjects[0] / n;
  const double pi1 = model.subjects[1] / n;

  double last = 0.0;
  std::vector<double> breakpoints = model.breakpoints;
  for (int k = 1; k <= K; ++k) {
    last = std::max(last, look_times[k]);
    breakpoints.push_back(look_times[k]);
    breakpoints.push_back(look_times[k] - model.accrual_period);
  }
  const TimeQuadrature q = make_time_quadrature(last, breakpoints);
  const std::size_t count = q.node.size();

  // Look-free parts of the integrands at the nodes.
  std::vector<double> pooled_hazard(count), mean_part(count), info_part(count), var_part(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double s = q.node[i];
    const double G0 = survival(model.censoring[0], s);
    const double G1 = survival(model.censoring[1], s);
    const double y0 = group_survival(model.event[0], s) * G0;
    const double y1 = group_survival(model.event[1], s) * G1;
    const double e0 = group_density(model.event[0], s) * G0;
    const double e1 = group_density(model.event[1], s) * G1;
    const double ybar = pi0 * y0 + pi1 * y1;
    if (!(ybar > 0.0)) continue;
    pooled_hazard[i] = (pi0 * e0 + pi1 * e1) / ybar;
    mean_part[i] = -pi0 * pi1 * (y0 * e1 - y1 * e0) / ybar;
    info_part[i] = pi0 * pi1 * y0 * y1 * (pi0 * e0 + pi1 * e1) / (ybar * ybar);
    var_part[i] = pi0 * pi1 * (pi0 * y0 * y0 * e1 + pi1 * y1 * y1 * e0) / (ybar * ybar);
  }
  const std::vector<double> pooled_cumulative = running_integral(q, pooled_hazard);

  std::vector<double> w(count), w2(count);
  for (int j = 1; j <= L; ++j) {
    for (std::size_t i = 0; i < count; ++i) {
      const double S = std::exp(-pooled_cumulative[i]);
      const double F = -std::expm1(-pooled_cumulative[i]);
      w[i] = weight_power(S, rho[j]) * weight_power(F, tau[j]);
      w2[i] = weight_power(S, 2.0 * rho[j]) * weight_power(F, 2.0 * tau[j]);
    }
    for (int k = 1; k <= K; ++k) {
      const double t = look_times[k];
      double mean = 0.0, info = 0.0, var = 0.0;
      for (std::size_t i = 0; i < count && q.node[i] < t; ++i) {
        const double a = q.weight[i] * entered_by(model, t - q.node[i]);
        mean += a * w[i] * mean_part[i];
        info += a * w2[i] * info_part[i];
        var += a * w2[i] * var_part[i];
      }
      out.score_mean[j][k] = n * mean;
      out.information[j][k] = n * info;
      out.score_variance[j][k] = n * var;
      out.drift[j][k] = info > 0.0 ? n * mean / std::sqrt(n * info) : 0.0;
    }
  }
  return out;
}

}  // namespace gsd
