# The command-line program the package is compared with: its path comes from
# GSDSIM_PROGRAM (.ci/run sets it to the program it builds). Without it the
# comparisons are skipped; a path that names no file is an error, so that a
# run that means to compare never skips.
program_path <- function() {
  path <- Sys.getenv("GSDSIM_PROGRAM")
  if (!nzchar(path)) {
    skip(paste("the command-line program is needed to compare with: set GSDSIM_PROGRAM",
               "to the gsdsim program built from this repository (build/gsdsim)"))
  }
  if (!file.exists(path)) stop("GSDSIM_PROGRAM names no file: ", path)
  normalizePath(path)
}

example_path <- function(name) system.file("examples", name, package = "gsdsim")

example_designs <- function(pattern) {
  files <- list.files(system.file("examples", package = "gsdsim"), pattern = pattern,
                      full.names = TRUE)
  stopifnot(length(files) > 0)
  files
}

# Runs the program on `design` in a scratch folder: its console lines, the
# report's text and the text of its --json results.
run_program <- function(design) {
  dir <- tempfile("gsdsim_run")
  dir.create(dir)
  on.exit(unlink(dir, recursive = TRUE))
  file.copy(design, dir)
  owd <- setwd(dir)
  on.exit(setwd(owd), add = TRUE, after = FALSE)
  console <- system2(program_path(), c("--threads", "2", "--json", "results.json",
                                       basename(design)), stdout = TRUE)
  status <- attr(console, "status")
  if (!is.null(status)) stop("the program failed on ", design, " with status ", status)
  reports <- setdiff(list.files(dir), c("results.json", basename(design)))
  stopifnot(length(reports) == 1)
  json <- read_file("results.json")
  # The run's own figures; the analytic ones that follow are compared with
  # gsd_analytic elsewhere.
  analytic <- regexpr("\"analytic\":", json, fixed = TRUE)
  if (analytic > 0) json <- substr(json, 1, analytic - 1)
  list(console = console, report = read_file(reports), json = json)
}

read_file <- function(path) {
  readChar(path, file.info(path)$size, useBytes = TRUE)
}

# Every value of `key` in a JSON text, in order (numbers, and null for a
# number that is not one, read as NaN).
json_numbers <- function(json, key) {
  found <- regmatches(json, gregexpr(paste0("\"", key, "\": *([-+0-9.eE]+|null)"), json))[[1]]
  values <- sub(".*: *", "", found)
  ifelse(values == "null", NaN, suppressWarnings(as.numeric(values)))
}

# x rounded to single precision: the JSON holds the shortest decimal that
# reads back to the program's float.
as_float <- function(x) {
  readBin(writeBin(as.numeric(x), raw(), size = 4), "double", n = length(x), size = 4)
}
