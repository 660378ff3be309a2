#include "sweep/scenario_pool.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace gsd {

std::vector<bool> jobs_run_alone(const std::vector<double>& work, int threads) {
  double total = 0;
  for (const double w : work) total += w;
  std::vector<bool> alone(work.size(), false);
  if (threads <= 1) return alone;
  for (std::size_t k = 0; k < work.size(); ++k) alone[k] = work[k] > total / threads;
  return alone;
}

void run_scenario_pool(const std::vector<double>& work, int threads,
                       const std::function<void(int, int)>& job,
                       const std::function<void(int)>& done) {
  const int n = static_cast<int>(work.size());
  const std::vector<bool> alone = jobs_run_alone(work, threads);
  std::vector<std::exception_ptr> failures(n);
  std::mutex done_mutex;
  int finished = 0;
  auto finish = [&](int k, std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(done_mutex);
    failures[k] = failure;
    ++finished;
    if (done) done(finished);
  };
  auto attempt = [&](int k, int threads_for_job) {
    try {
      job(k, threads_for_job);
      finish(k, nullptr);
    } catch (...) {
      finish(k, std::current_exception());
    }
  };

  for (int k = 0; k < n; ++k) {
    if (alone[k]) attempt(k, threads);
  }
  std::vector<int> shared;
  for (int k = 0; k < n; ++k) {
    if (!alone[k]) shared.push_back(k);
  }
  std::atomic<std::size_t> next{0};
  auto worker = [&] {
    for (std::size_t s; (s = next.fetch_add(1)) < shared.size();) attempt(shared[s], 1);
  };
  const int helpers = std::min<int>(threads, static_cast<int>(shared.size())) - 1;
  std::vector<std::thread> pool;
  for (int t = 0; t < helpers; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& thread : pool) thread.join();

  for (int k = 0; k < n; ++k) {
    if (failures[k]) std::rethrow_exception(failures[k]);
  }
}

}  // namespace gsd
