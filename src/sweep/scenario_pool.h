#pragma once

#include <functional>
#include <vector>

namespace gsd {

// Runs jobs 0..n-1 (the scenarios of a sweep) on `threads` threads. A job
// whose work exceeds a fair share of the whole (the total divided by the
// threads) runs alone on every thread, before the others; the rest run
// several at once, one thread each, taken in index order by whichever
// thread is free. `job(k, threads_for_job)` must write only its own
// results: what a job computes may not depend on where or when it runs.
// `done(jobs_finished)` is called after each job, one call at a time.
// An exception thrown by a job ends that job only; once every job has run,
// the exception of the lowest-numbered failed job is rethrown, so the
// failure reported is the same for every thread count.
void run_scenario_pool(const std::vector<double>& work, int threads,
                       const std::function<void(int job, int threads_for_job)>& job,
                       const std::function<void(int jobs_finished)>& done = {});

// Whether job k runs alone on every thread (the rule above).
std::vector<bool> jobs_run_alone(const std::vector<double>& work, int threads);

}  // namespace gsd
