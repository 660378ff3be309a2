# gsd_sweep: every scenario is the design with the swept keys replaced, with
# the figures of the command line's --sweep and of a single run.

test_that("a sweep gives the command line's table", {
  program_path()
  design <- example_path("given_bounds.toml")
  json <- tempfile(fileext = ".json")
  on.exit(unlink(json))
  out <- system2(program_path(), c("--threads", "2", "--sweep", "treatment.hazard_ratio=0.6,0.8",
                                   "--sweep", "accrual.subjects=200,300", "--json", json,
                                   design), stdout = TRUE)
  expect_null(attr(out, "status"))
  expected <- read_file(json)
  s <- gsd_sweep(gsd_read(design), treatment.hazard_ratio = c(0.6, 0.8),
                 accrual.subjects = c(200, 300), threads = 2)
  expect_identical(s$scenario, 1:4)
  expect_identical(s$treatment.hazard_ratio, c(0.6, 0.6, 0.8, 0.8))
  expect_identical(s$accrual.subjects, c(200, 300, 200, 300))
  expect_identical(s$subjects, as.integer(json_numbers(expected, "subjects")))
  for (key in c("power", "sd", "average_stopping_time")) {
    expect_identical(s[[key]], as_float(json_numbers(expected, key)), info = key)
  }
  for (key in c("analytic_power", "expected_events", "expected_subjects")) {
    expect_identical(s[[key]], json_numbers(expected, key), info = key)
  }
})

test_that("every scenario's figures are those of a single run of it", {
  d <- gsd_read(example_path("lan_demets.toml"))
  s <- gsd_sweep(d, looks.times = list(c(12, 24), c(12, 18, 24, 30)), threads = 2)
  expect_identical(nrow(s), 4L)  # two scenarios, two statistics
  for (k in 1:2) {
    one <- d
    one$looks$times <- list(c(12, 24), c(12, 18, 24, 30))[[k]]
    r <- gsd_simulate(one, threads = 1)
    rows <- s[s$scenario == k, ]
    expect_identical(rows$power, r$statistics$power)
    expect_identical(rows$sd, r$statistics$sd)
    expect_identical(rows$average_stopping_time, r$statistics$average_stopping_time)
    expect_identical(rows$looks.times[[1]], list(c(12, 24), c(12, 18, 24, 30))[[k]])
  }
})

test_that("bad sweeps give errors naming the key or the scenario", {
  d <- gsd_read(example_path("given_bounds.toml"))
  expect_error(gsd_sweep(d), "^gsd_sweep: ", class = "gsd_error")
  expect_error(gsd_sweep(d, c(1, 2)), "^gsd_sweep: ", class = "gsd_error")
  expect_error(gsd_sweep(d, accrual.subjects = numeric(0)), "^accrual.subjects: ",
               class = "gsd_error")
  expect_error(gsd_sweep(d, accrual.subjects = c(200, NA)), "^accrual.subjects: missing",
               class = "gsd_error")
  expect_error(gsd_sweep(d, report = c("a.rpt", "b.rpt")), "report", class = "gsd_error")
  expect_error(gsd_sweep(d, accrual.subjects = c(200, 8000)), "scenario 2.*accrual.subjects",
               class = "gsd_error")
})
