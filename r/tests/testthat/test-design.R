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
