# Designs read from files and built from named arguments; the errors of bad
# ones name the design line, the key or the argument.

# A copy of a shipped positional example with value line `line` replaced.
edited_example <- function(name, line, value) {
  lines <- readLines(example_path(name))
  lines[line] <- value
  path <- tempfile(fileext = ".dsn")
  writeLines(lines, path)
  path
}

test_that("a refused positional design gives the program's message naming the line", {
  cases <- list(
    list(20, "16", "^line 20: "),
    list(26, "6", "^line 26: "),
    list(17, "200000000", "^line 17: "),
    list(88, "10 1000", "^line 88: "))
  for (case in cases) {
    path <- edited_example("lan_demets.dsn", case[[1]], case[[2]])
    expect_error(gsd_read(path), case[[3]], class = "gsd_error")
  }
})

test_that("a file that cannot be read is an error naming the path", {
  expect_error(gsd_read(file.path(tempdir(), "no_such_design.dsn")),
               "^path: cannot open", class = "gsd_error")
  expect_error(gsd_read(tempdir()), "^path: cannot open", class = "gsd_error")
  expect_error(gsd_read(c("a", "b")), "^path: ", class = "gsd_error")
})

test_that("a design built from named arguments equals the keyed file it mirrors", {
  mirrors <- list(
    lan_demets.toml = gsd_design(
      report = "landem.rpt", seed = 20261210, trials = 500, alpha = 0.05, sides = 2,
      looks = list(times = c(12, 18, 24)),
      statistics = data.frame(rho = c(0, 1), tau = c(0, 0)),
      boundary = list(method = "spending", spending = "obrien-fleming", b = 3),
      control = list(times = c(6, 12), survival = c(0.7, 0.5)),
      treatment = list(hazard_ratios = c(0.8, 0.6), cuts = c(6, 12)),
      accrual = list(period = 12, rate = 25),
      censoring = list(control = list(times = 24, survival = 0.9),
                       treatment = list(times = 24, survival = 0.9)),
      crossover = list(drop_in = list(times = 6, probabilities = 0.1),
                       drop_out = list(times = 6, probabilities = 0.05))),
    given_bounds.toml = gsd_design(
      report = "givenbnd.rpt", seed = 12345, trials = 500, alpha = 0.05, sides = 2,
      looks = list(times = c(12, 18, 24)),
      statistics = data.frame(rho = 0, tau = 0),
      boundary = list(method = "critical-values", spending = "obrien-fleming", b = 3,
                      critical_values = c(3.47, 2.45, 2.0)),
      control = list(times = 12, survival = 0.5),
      treatment = list(hazard_ratio = 0.7),
      accrual = list(period = 12, rate = 20),
      censoring = list(control = list(times = 24, survival = 0.9),
                       treatment = list(times = 24, survival = 0.9))),
    event_driven.toml = gsd_design(
      report = "evdriven.rpt", seed = 31415, trials = 1000, alpha = 0.05, sides = 2,
      looks = list(events = c(100, 200, 300), max_time = 60),
      statistics = list(rho = c(0, 0), tau = c(0, 1)),
      boundary = list(method = "spending", spending = "obrien-fleming", b = 3),
      control = list(times = c(12, 24, 36, 48, 60),
                     survival = c(0.5, 0.25, 0.125, 0.0625, 0.03125)),
      treatment = list(hazard_ratio = 0.75),
      accrual = list(period = 20, subjects = 400),
      censoring = list(control = list(times = 24, survival = 0.9),
                       treatment = list(times = 24, survival = 0.9))))
  for (name in names(mirrors)) {
    expect_identical(mirrors[[name]], gsd_read(example_path(name)), info = name)
  }
  # One value changed is a different design.
  changed <- mirrors$lan_demets.toml
  changed$accrual$rate <- 26
  expect_false(identical(gsd_design(report = "landem.rpt", seed = 20261210, trials = 500,
                                    looks = list(times = c(12, 18, 24)),
                                    accrual = list(period = 12, rate = 26)),
                         gsd_read(example_path("lan_demets.toml"))))
  expect_identical(gsd_simulate(changed, threads = 1)$calibration$subject_count, 312L)
})

test_that("defaults left out are the keyed file's, with the reader's notes", {
  d <- gsd_design(report = "short.rpt", looks = list(times = 24),
                  control = list(median = 12), treatment = list(hazard_ratio = 0.7),
                  accrual = list(period = 12, subjects = 200))
  expect_null(d$trials)
  expect_identical(d$accrual$subjects, 200L)
  expect_true(length(attr(d, "notes")) > 0)
  r <- gsd_simulate(d, threads = 2)
  expect_identical(r$trials, 1000L)
  expect_identical(r$calibration$subject_count, 200L)
  expect_identical(nrow(r$statistics), 1L)
})

test_that("bad arguments give the keyed reader's errors, naming the argument", {
  base <- list(report = "bad.rpt", looks = list(times = c(12, 24)),
               control = list(median = 12), treatment = list(hazard_ratio = 0.7),
               accrual = list(period = 12, subjects = 200))
  cases <- list(
    list(list(accrual = list(period = 12, subjects = 7200)), "^accrual.subjects: "),
    list(list(accrual = list(period = 12, subjects = 200, rate = 10)), "^accrual"),
    list(list(sides = 3), "^sides: "),
    list(list(alpha = 1.5), "^alpha: "),
    list(list(trials = "1000"), "^trials: "),
    list(list(trials = 10.5), "^trials: "),
    list(list(looks = list(times = c(24, 12))), "^looks.times: "),
    list(list(boundary = list(method = "error-split", error_split = 0.05)),
         "^boundary.error_split: "),
    list(list(boundary = list(method = "alpha-spending")), "^boundary.method: "),
    list(list(control = list(median = 12, times = 6, survival = 0.5)), "^control"),
    list(list(treatment = list(hazard_ratio = 0.7, hazard_ratios = c(1, 0.6))), "^treatment"),
    list(list(statistics = data.frame(rho = 0:5, tau = 0)), "^statistics"),
    list(list(report = "a/b.rpt"), "^report: "),
    list(list(report = NULL), "^report"),
    list(list(censoring = list(control = list(times = 12, survival = 1.5))),
         "^censoring.control.survival: "),
    list(list(crossover = list(drop_in = list(times = 6, probabilities = -0.1))),
         "^crossover.drop_in.probabilities: "))
  for (case in cases) {
    args <- modifyList(base, case[[1]])
    if ("report" %in% names(case[[1]]) && is.null(case[[1]]$report)) args$report <- NULL
    expect_error(do.call(gsd_design, args), case[[2]], class = "gsd_error",
                 info = deparse(case[[1]]))
  }
  # A key that does not exist is named, with the nearest one.
  expect_error(do.call(gsd_design, c(base, list(acrual = list(period = 12)))),
               "acrual.*accrual", class = "gsd_error")
  expect_error(gsd_design(report = "x.rpt", accrual = list(period = 12, subject = 200)),
               "accrual.subject.*subjects", class = "gsd_error")
})

test_that("designs written as keyed or positional files read back to the same design", {
  for (name in c("lan_demets.dsn", "haybittle.toml", "error_split.dsn", "given_bounds.toml")) {
    d <- gsd_read(example_path(name))
    for (format in c("toml", "classic")) {
      path <- tempfile(fileext = if (format == "toml") ".toml" else ".dsn")
      expect_identical(gsd_write(d, path, format = format), path)
      expect_identical(gsd_read(path), d, info = paste(name, format))
      unlink(path)
    }
  }
  d <- gsd_read(example_path("lan_demets.toml"))
  path <- tempfile(fileext = ".dsn")
  gsd_write(d, path, format = "classic")
  expect_length(readLines(path), 145)
  expect_error(gsd_write(d, path, format = "json"))
  expect_error(gsd_write(list(), path), "^design: ", class = "gsd_error")
  unlink(path)
})

test_that("print shows the design as its keyed file", {
  d <- gsd_read(example_path("haybittle.toml"))
  out <- capture.output(print(d))
  expect_true(all(c("report = \"haybit.rpt\"", "[crossover]", "method = \"haybittle\"") %in% out))
})

test_that("statistics may be a data frame, a list of columns or a list of rows", {
  base <- list(report = "s.rpt", looks = list(times = 24), control = list(median = 12),
               accrual = list(period = 12, subjects = 100))
  forms <- list(data.frame(rho = c(0, 1), tau = c(0, 0.5)),
                list(rho = c(0, 1), tau = c(0, 0.5)),
                list(list(rho = 0, tau = 0), list(rho = 1, tau = 0.5)))
  designs <- lapply(forms, function(s) do.call(gsd_design, c(base, list(statistics = s))))
  expect_identical(designs[[2]], designs[[1]])
  expect_identical(designs[[3]], designs[[1]])
  expect_identical(designs[[1]]$statistics, data.frame(rho = c(0, 1), tau = c(0, 0.5)))
  expect_error(do.call(gsd_design, c(base, list(statistics = list(rho = 1:2, tau = 1:3)))),
               "^statistics: ", class = "gsd_error")
})

test_that("binary bytes in a value line are refused as the program refuses them", {
  program_path()
  path <- edited_example("given_bounds.dsn", 37, "50\0017")
  lines <- readLines(path)
  bytes <- charToRaw(paste0(paste(lines, collapse = "\n"), "\n"))
  bytes[bytes == as.raw(1)] <- as.raw(0)
  writeBin(bytes, path)
  dir <- tempfile("gsdsim_run")
  dir.create(dir)
  owd <- setwd(dir)
  on.exit({ setwd(owd); unlink(dir, recursive = TRUE) })
  out <- suppressWarnings(system2(program_path(), path, stdout = TRUE))
  expect_identical(attr(out, "status"), 1L)
  message <- sub("^gsdsim: error: ", "", out[length(out)])
  expect_error(gsd_read(path), message, fixed = TRUE, class = "gsd_error")
})
