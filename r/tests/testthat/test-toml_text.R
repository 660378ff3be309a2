# The keyed text written for named arguments: the reader sees every value
# as the argument meant it.

test_that("arrays, integers, reals and strings are written as the keyed file has them", {
  text <- gsdsim:::toml_text(list(
    report = "a \"b\"\\c.rpt", trials = 1000, alpha = 0.05, seed = -5L,
    looks = list(times = 24),
    boundary = list(critical_values = c(2.5, 1e-5), b = 3),
    accrual = list(period = 18, subjects = 600)))
  lines <- strsplit(text, "\n")[[1]]
  expect_true(all(c("report = \"a \\\"b\\\"\\\\c.rpt\"", "trials = 1000", "alpha = 0.05",
                    "seed = -5", "times = [24.0]", "critical_values = [2.5, 1e-05]",
                    "b = 3.0", "period = 18.0", "subjects = 600") %in% lines))
  # Scalars of the top level come before the first table.
  expect_lt(max(match(c("report", "trials", "alpha", "seed"), sub(" = .*", "", lines))),
            match("[looks]", lines))
  parsed <- gsdsim:::.gsd_toml_list(text)
  expect_identical(parsed$boundary$critical_values, c(2.5, 1e-5))
  expect_identical(parsed$report, "a \"b\"\\c.rpt")
})

test_that("reals are written so that they read back to the same double", {
  values <- c(0.1, 1 / 3, 0.7, 18, 1e-300, 123456789.123, as_float(0.05), 2^-30)
  text <- gsdsim:::toml_text(list(control = list(times = values)))
  expect_identical(gsdsim:::.gsd_toml_list(text)$control$times, values)
})

test_that("a whole number given for a real key stays real, a fraction for an integer key stays a fraction", {
  text <- gsdsim:::toml_text(list(trials = 10.5, alpha = 1L))
  expect_match(text, "trials = 10.5\n", fixed = TRUE)
  expect_match(text, "alpha = 1\n", fixed = TRUE)
})

test_that("statistics as a data frame or as a list of lists are arrays of tables", {
  frame <- gsdsim:::toml_text(list(statistics = data.frame(rho = c(0, 1), tau = c(0, 0.5))))
  rows <- gsdsim:::toml_text(list(statistics = list(list(rho = 0, tau = 0),
                                                    list(rho = 1, tau = 0.5))))
  expect_identical(frame, rows)
  parsed <- gsdsim:::.gsd_toml_list(frame)
  expect_identical(parsed$statistics, data.frame(rho = c(0, 1), tau = c(0, 0.5)))
})

test_that("values that no design file can hold give errors naming the argument", {
  cases <- list(
    list(list(accrual = list(period = NA)), "^accrual.period: missing value"),
    list(list(looks = list(times = c(12, NA))), "^looks.times: missing value"),
    list(list(control = list(median = sum)), "^control.median: expected a number"),
    list(list(crossover = list(drop_in = list(times = 1i))), "^crossover.drop_in.times: "),
    list(list(accrual = list(18, 600)), "^accrual: every element needs a name"))
  for (case in cases) {
    expect_error(gsdsim:::toml_text(case[[1]]), case[[2]], class = "gsd_error")
  }
})
