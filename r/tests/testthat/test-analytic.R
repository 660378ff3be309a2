# gsd_analytic gives the figures of the command line's --analytic.

run_analytic <- function(design) {
  json <- tempfile(fileext = ".json")
  on.exit(unlink(json))
  out <- system2(program_path(), c("--analytic", "--json", json, design), stdout = TRUE)
  if (!is.null(attr(out, "status"))) stop("--analytic failed on ", design)
  read_file(json)
}

test_that("every example gives the analytic figures of the command line", {
  program_path()
  for (design in example_designs("\\.(dsn|toml)$")) {
    json <- run_analytic(design)
    a <- gsd_analytic(gsd_read(design))
    info <- basename(design)
    for (key in c("power", "expected_stopping_time", "power_at_engine_bounds")) {
      expect_identical(a$statistics[[key]], json_numbers(json, key), info = paste(info, key))
    }
    for (key in c("expected_events", "information", "drift", "bound", "engine_bound",
                  "reject_probability", "reject_lower")) {
      expect_identical(a$looks[[key]], json_numbers(json, key), info = paste(info, key))
    }
  }
})

test_that("the analytic power adds up over the looks and lies near the simulated one", {
  d <- gsd_read(example_path("lan_demets.dsn"))
  a <- gsd_analytic(d)
  last <- a$looks[a$looks$look == max(a$looks$look), ]
  expect_equal(last$cumulative_power, a$statistics$power, tolerance = 1e-12)
  expect_equal(a$looks$reject_probability, a$looks$reject_upper + a$looks$reject_lower,
               tolerance = 1e-12)
  # 500 trials: the simulated power's standard error is about 0.02.
  r <- gsd_simulate(d, threads = 2)
  expect_true(all(abs(a$statistics$power - r$statistics$power) < 0.02 + 3 * r$statistics$sd))
  expect_output(print(a), "analytic power")
})

test_that("a design without a joint distribution of its looks is an error naming the cause", {
  d <- gsd_design(report = "flat.rpt", looks = list(times = c(100, 101)),
                  control = list(times = 1, survival = 0.5),
                  accrual = list(period = 1, subjects = 100))
  expect_error(gsd_analytic(d), "information", class = "gsd_error")
})
