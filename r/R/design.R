#' A design from named arguments
#'
#' Builds a design of a two-arm group-sequential survival trial from named
#' arguments that mirror the keys of a keyed (TOML) design file: every
#' argument is a key of the file, a list is a table of the file, and an
#' argument left \code{NULL} takes the file's default. The design is checked
#' by the same reader as a keyed file, so a bad value gives the file's error
#' message, naming the argument as the key it stands for (for example
#' \code{"accrual.subjects"}).
#'
#' @param ... further keys; none is known, so each gives an error naming it
#'   (with the nearest known key).
#' @param report name of the report, a plain file name of at most 12
#'   characters (written only by \code{gsd_simulate(report_file = ...)}).
#' @param seed seed of the random numbers (default -123457).
#' @param trials number of simulated trials (default 1000).
#' @param alpha overall type-I error (default 0.05).
#' @param sides 1 (one-sided) or 2 (two-sided, the default).
#' @param looks \code{list(times = ...)}: the calendar times of the 1 to 15
#'   looks, increasing; or \code{list(events = ..., max_time = ...)}: looks
#'   when the trial's events (both groups) reach each target, or at
#'   \code{max_time} when that comes first.
#' @param statistics a data frame with columns \code{rho} and \code{tau}, one
#'   row per Fleming-Harrington statistic (1 to 5), or a list of such columns;
#'   \code{NULL} is the log-rank statistic alone.
#' @param boundary \code{list(method = ..., ...)}: \code{method} one of
#'   \code{"error-split"}, \code{"spending"} (default), \code{"haybittle"},
#'   \code{"critical-values"}; \code{spending} one of
#'   \code{"obrien-fleming"} (default), \code{"pocock"}, \code{"linear"},
#'   \code{"siegmund"}; \code{b}; \code{error_split} or
#'   \code{critical_values}, one value per look.
#' @param control survival of the control group: \code{list(median = 12)} or
#'   \code{list(times = ..., survival = ...)}.
#' @param treatment the treatment group: \code{list(hazard_ratio = 0.7)},
#'   \code{list(hazard_ratios = ..., cuts = ...)} or
#'   \code{list(times = ..., survival = ...)}.
#' @param accrual \code{list(period = 18, subjects = 600)} or
#'   \code{list(period = ..., rate = ...)}.
#' @param censoring loss to follow-up: \code{list(control = list(times = ...,
#'   survival = ...), treatment = list(...))}; omitted groups lose nobody.
#' @param crossover \code{list(drop_in = list(times = ..., probabilities =
#'   ...), drop_out = list(...))}; omitted lists mean no crossover.
#' @return A design: a list of class \code{gsd_design} holding the keys
#'   given, as the keyed reader read them (an omitted key takes its default
#'   when simulated), with the reader's notes of the defaults it applied in
#'   \code{attr(, "notes")}. \code{print} shows it as its keyed file.
#' @seealso \code{\link{gsd_read}}, \code{\link{gsd_write}},
#'   \code{\link{gsd_simulate}}
#' @examples
#' d <- gsd_design(report = "demo.rpt", trials = 200,
#'                 looks = list(times = c(12, 18, 24)),
#'                 control = list(median = 12),
#'                 treatment = list(hazard_ratio = 0.7),
#'                 accrual = list(period = 18, subjects = 300))
#' d$accrual
#' @export
gsd_design <- function(..., report = NULL, seed = NULL, trials = NULL, alpha = NULL,
                       sides = NULL, looks = NULL, statistics = NULL, boundary = NULL,
                       control = NULL, treatment = NULL, accrual = NULL,
                       censoring = NULL, crossover = NULL) {
  extra <- list(...)
  if (length(extra) && (is.null(names(extra)) || any(!nzchar(names(extra))))) {
    design_error("gsd_design", "every argument needs a name (the key it gives)")
  }
  # statistics = list(rho = ..., tau = ...) is the data frame of its columns.
  if (is.list(statistics) && !is.data.frame(statistics) && !is.null(names(statistics)) &&
      all(names(statistics) %in% c("rho", "tau"))) {
    statistics <- tryCatch(as.data.frame(statistics),
                           error = function(e) design_error("statistics", conditionMessage(e)))
  }
  keys <- c(list(report = report, seed = seed, trials = trials, alpha = alpha,
                 sides = sides, looks = looks, statistics = statistics,
                 boundary = boundary, control = control, treatment = treatment,
                 accrual = accrual, censoring = censoring, crossover = crossover),
            extra)
  keyed_design(toml_text(keys))
}

# The design of a keyed text, as the keyed reader read and checked it.
keyed_design <- function(text) {
  as_design(engine_call(.gsd_read_keyed, text))
}

# The engine's reading of a design (its keys as nested lists, the notes of
# the defaults it applied) as an R design.
as_design <- function(read) {
  structure(ordered_design(read$design), notes = read$notes, class = "gsd_design")
}

# Every table of the design in the order of the keyed file.
ordered_design <- function(x) {
  if (is.data.frame(x) || !is.list(x)) return(x)
  if (!is.null(names(x))) x <- ordered_keys(x)
  x[] <- lapply(x, ordered_design)
  x
}

#' Read a design file
#'
#' Reads a design from a keyed file (a name ending in \code{.toml}) or from a
#' positional (classic, 145-line) design file (any other name). A design the
#' program refuses gives an error with the program's message, naming the
#' design line (positional) or the key (keyed). A positional design becomes
#' its keyed equivalent (as \code{gsdsim --convert toml} writes it): every
#' item the file gave becomes its key; a note of a default that no key can
#' carry is shown as a message.
#'
#' @param path the file to read.
#' @return A design of class \code{gsd_design} (see \code{\link{gsd_design}}).
#' @seealso \code{\link{gsd_write}}, \code{\link{gsd_simulate}}
#' @examples
#' d <- gsd_read(system.file("examples", "lan_demets.dsn", package = "gsdsim"))
#' d$looks
#' @export
gsd_read <- function(path) {
  if (!is.character(path) || length(path) != 1 || is.na(path)) {
    design_error("path", "expected the name of a design file")
  }
  if (!file.exists(path) || dir.exists(path)) {
    design_error("path", paste0("cannot open the design file \"", path, "\""))
  }
  text <- read_text(path)
  if (grepl("\\.toml$", path, ignore.case = TRUE)) keyed_design(text)
  else classic_design(text)
}

# The keyed design of a positional text: every item the file gave becomes
# its key; a note of a default that no key can carry is shown as a message.
classic_design <- function(text) {
  read <- engine_call(.gsd_read_classic, text)
  if (length(read$unkept)) {
    message("gsd_read: the keyed design does not keep these notes of the positional file:\n",
            paste0("  ", read$unkept, collapse = "\n"))
  }
  as_design(read)
}

# The file's bytes as one string. R strings cannot hold a NUL byte; it is
# read as byte 1, which the readers refuse wherever the program refuses a
# NUL (a value, the report name) and ignore where it ignores one (a comment).
read_text <- function(path) {
  size <- file.info(path)$size
  bytes <- readBin(path, "raw", n = max(size, 1))
  bytes[bytes == as.raw(0)] <- as.raw(1)
  rawToChar(bytes)
}

#' Write a design file
#'
#' Writes a design as a keyed (TOML) file or as a positional (classic,
#' 145-line) file with its comment lines. Either file read back with
#' \code{\link{gsd_read}} gives the same design, and the program runs it
#' with the same results.
#'
#' @param design a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}).
#' @param path the file to write; an existing file is replaced.
#' @param format \code{"toml"} (the default) or \code{"classic"}.
#' @return \code{path}, invisibly.
#' @examples
#' d <- gsd_design(report = "demo.rpt", looks = list(times = c(12, 24)),
#'                 control = list(median = 12),
#'                 treatment = list(hazard_ratio = 0.7),
#'                 accrual = list(period = 18, subjects = 300))
#' path <- tempfile(fileext = ".toml")
#' gsd_write(d, path)
#' identical(gsd_read(path), d)
#' @export
gsd_write <- function(design, path, format = c("toml", "classic")) {
  check_design(design)
  format <- match.arg(format)
  if (!is.character(path) || length(path) != 1 || is.na(path) || !nzchar(path)) {
    design_error("path", "expected the name of the file to write")
  }
  text <- design_file_text(design, format)
  out <- file(path, open = "wb")
  on.exit(close(out))
  writeChar(text, out, eos = NULL, useBytes = TRUE)
  invisible(path)
}

# The file text of a design: keyed as the program's --convert toml writes
# it, or positional.
design_file_text <- function(design, format) {
  engine_call(.gsd_design_file_text, toml_text(design), format)
}

check_design <- function(design) {
  if (!inherits(design, "gsd_design")) {
    design_error("design", "expected a design made by gsd_design() or gsd_read()")
  }
}

#' @export
print.gsd_design <- function(x, ...) {
  cat(design_file_text(x, "toml"))
  notes <- attr(x, "notes")
  if (length(notes)) cat(paste0("# note: ", notes, "\n"), sep = "")
  invisible(x)
}
