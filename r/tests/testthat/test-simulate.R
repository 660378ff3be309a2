# The package runs the program's engine: every shipped example gives the
# command line's figures exactly, its report bytes and its console lines.

test_that("every example, positional and keyed, gives the figures, report and console of the command line", {
  program_path()
  for (design in example_designs("\\.(dsn|toml)$")) {
    expected <- run_program(design)
    r <- gsd_simulate(gsd_read(design), threads = 2)
    info <- basename(design)
    s <- r$statistics
    expect_identical(s$power, as_float(json_numbers(expected$json, "power")), info = info)
    expect_identical(s$sd, as_float(json_numbers(expected$json, "sd")), info = info)
    expect_identical(s$average_stopping_time,
                     as_float(json_numbers(expected$json, "average_stopping_time")), info = info)
    expect_identical(s$rejections, as.integer(json_numbers(expected$json, "rejections")),
                     info = info)
    expect_identical(s$rho, as_float(json_numbers(expected$json, "rho")), info = info)
    # Per look: stops and rejections (statistic by statistic, as in the JSON),
    # then the look figures, repeated for every statistic.
    expect_identical(r$looks$stopped, as.integer(json_numbers(expected$json, "stopped")),
                     info = info)
    expect_identical(r$looks$rejected, as.integer(json_numbers(expected$json, "rejected")),
                     info = info)
    L <- nrow(s)
    expect_identical(r$looks$mean_events,
                     rep(json_numbers(expected$json, "mean_events"), L), info = info)
    expect_identical(r$looks$mean_subjects,
                     rep(json_numbers(expected$json, "mean_subjects"), L), info = info)
    expect_identical(r$looks$trials_reached,
                     rep(as.integer(json_numbers(expected$json, "trials_reached")), L),
                     info = info)
    expect_identical(r$calibration$subject_count,
                     as.integer(json_numbers(expected$json, "subject_count")), info = info)
    expect_identical(r$report, expected$report, info = info)
    expect_identical(r$console, expected$console, info = info)
  }
})

test_that("the results are the same for one thread and several", {
  d <- gsd_read(example_path("haybittle.dsn"))
  one <- gsd_simulate(d, threads = 1)
  two <- gsd_simulate(d, threads = 2)
  expect_identical(one$statistics, two$statistics)
  expect_identical(one$looks, two$looks)
  expect_identical(one$report, two$report)
})

test_that("the per-look figures add up to the trials and the rejections", {
  r <- gsd_simulate(gsd_read(example_path("lan_demets.dsn")), threads = 2)
  by_statistic <- split(r$looks, r$looks$statistic)
  for (j in seq_along(by_statistic)) {
    looks <- by_statistic[[j]]
    expect_identical(sum(looks$rejected), r$statistics$rejections[j])
    expect_lte(sum(looks$stopped), r$trials)
    expect_true(all(looks$rejected <= looks$stopped))
    expect_identical(r$statistics$power[j], as_float(r$statistics$rejections[j] / r$trials))
  }
})

test_that("no file is written unless report_file asks for it", {
  dir <- tempfile("gsdsim_files")
  dir.create(dir)
  owd <- setwd(dir)
  on.exit({ setwd(owd); unlink(dir, recursive = TRUE) })
  d <- gsd_read(example_path("given_bounds.dsn"))
  r <- gsd_simulate(d, threads = 1)
  expect_identical(list.files(dir, all.files = TRUE, no.. = TRUE), character())
  gsd_simulate(d, threads = 1, report_file = "mine.txt")
  expect_identical(list.files(dir), "mine.txt")
  expect_identical(read_file("mine.txt"), r$report)
})

test_that("bad run arguments give errors naming the argument", {
  d <- gsd_read(example_path("given_bounds.dsn"))
  for (threads in list(0, -1, 1.5, "2", NA, c(1, 2))) {
    expect_error(gsd_simulate(d, threads = threads), "^threads: ", class = "gsd_error")
  }
  expect_error(gsd_simulate(d, report_file = 3), "^report_file: ", class = "gsd_error")
  expect_error(gsd_simulate(list(report = "x")), "^design: ", class = "gsd_error")
})
