# gsd_size: the answer reaches the target power, one step below does not.

test_that("the size found reaches the target and one step below does not", {
  d <- gsd_read(example_path("given_bounds.toml"))
  s <- gsd_size(d, power = 0.6, threads = 2)
  expect_gte(s$power, 0.6)
  expect_lt(s$below$power, 0.6)
  expect_identical(s$below$subjects, s$subjects - s$step)
  one <- d
  one$accrual$rate <- NULL
  one$accrual$subjects <- s$subjects
  expect_identical(gsd_simulate(one, threads = 1)$statistics$power, as_float(s$power))
  expect_output(print(s), as.character(s$subjects))
})

test_that("bad sizing arguments give errors naming the argument", {
  d <- gsd_read(example_path("given_bounds.toml"))
  expect_error(gsd_size(d, power = 1.2), "^power: ", class = "gsd_error")
  expect_error(gsd_size(d, power = 0.8, statistic = 0), "^statistic: ", class = "gsd_error")
  expect_error(gsd_size(d, power = 0.8, statistic = 2), "statistic", class = "gsd_error")
})
