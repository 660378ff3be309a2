# What print, summary, as.data.frame and plot show of a result.

result <- function() {
  gsd_simulate(gsd_read(example_path("lan_demets.dsn")), threads = 2)
}

test_that("print shows the trials and every statistic's figures", {
  r <- result()
  out <- capture.output(print(r))
  expect_match(out[1], "500 trials, 3 looks, method 2, 300 subjects per trial", fixed = TRUE)
  expect_length(out, 2 + nrow(r$statistics))
  expect_match(out[3], "0.284")
})

test_that("summary's cumulative power reaches each statistic's power at the last look", {
  r <- result()
  s <- summary(r)
  last <- s$looks[s$looks$look == max(s$looks$look), ]
  expect_equal(last$cumulative_power, r$statistics$power, tolerance = 1e-6)
  expect_identical(s$looks$stopped_share, r$looks$stopped / r$trials)
  expect_true(all(diff(s$looks$cumulative_power[s$looks$statistic == 1]) >= 0))
  expect_output(print(s), "Per look")
})

test_that("as.data.frame gives the statistics or the looks", {
  r <- result()
  expect_identical(as.data.frame(r), r$statistics)
  expect_identical(as.data.frame(r, which = "looks"), r$looks)
  expect_named(r$statistics, c("statistic", "rho", "tau", "power", "sd",
                               "average_stopping_time", "rejections"))
  expect_error(as.data.frame(r, which = "bounds"))
})

test_that("plot draws with base graphics, and with ggplot2 when it is installed", {
  r <- result()
  file <- tempfile(fileext = ".pdf")
  grDevices::pdf(file)
  on.exit({ grDevices::dev.off(); unlink(file) })
  expect_identical(plot(r, graphics = "base"), r)
  if (requireNamespace("ggplot2", quietly = TRUE)) {
    p <- plot(r, graphics = "ggplot2")
    expect_s3_class(p, "ggplot")
    expect_identical(p$data$cumulative_power, summary(r)$looks$cumulative_power)
  } else {
    expect_error(plot(r, graphics = "ggplot2"), "needs the ggplot2 package")
  }
})
