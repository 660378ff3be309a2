#' Power over a grid of scenarios
#'
#' Simulates every combination of the values given for some keys of the
#' design (the last key varying fastest), each scenario being the design
#' with those keys replaced, checked as a keyed file is and simulated as
#' \code{\link{gsd_simulate}} simulates it (with the design's seed, so the
#' scenarios share their random numbers). The figures of a scenario are
#' those of a single run of it, and those of the command line's
#' \code{--sweep}.
#'
#' @param design a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
#'   or the name of a design file.
#' @param ... the swept keys, each a dotted key of the design with its
#'   values: \code{treatment.hazard_ratio = c(0.6, 0.7)},
#'   \code{accrual.subjects = c(400, 600)}; a key that holds a list takes a
#'   list of them: \code{looks.times = list(c(12, 24), c(12, 18, 24))}.
#' @param threads number of threads; \code{NULL} uses every hardware thread.
#'   The results are the same for every number.
#' @return A data frame, one row per scenario and
#'   statistic: \code{scenario}, a column per swept key with its value,
#'   \code{statistic}, \code{rho}, \code{tau}, \code{subjects}, \code{trials},
#'   \code{power}, \code{sd}, \code{average_stopping_time},
#'   \code{analytic_power}, and \code{expected_events} and
#'   \code{expected_subjects} at the look where the statistic stops; the
#'   reader's notes in \code{attr(, "notes")}.
#' @seealso \code{\link{gsd_simulate}}
#' @examples
#' d <- gsd_read(system.file("examples", "given_bounds.dsn", package = "gsdsim"))
#' gsd_sweep(d, treatment.hazard_ratio = c(0.6, 0.8), threads = 1)
#' @export
gsd_sweep <- function(design, ..., threads = NULL) {
  if (is.character(design) && length(design) == 1) design <- gsd_read(design)
  check_design(design)
  threads <- thread_argument(threads)
  axes <- list(...)
  if (length(axes) == 0) design_error("gsd_sweep", "give at least one key to sweep, with its values")
  keys <- names(axes)
  if (is.null(keys) || any(!nzchar(keys))) {
    design_error("gsd_sweep", "every swept key needs its name (accrual.subjects = c(400, 600))")
  }
  literals <- lapply(keys, function(key) {
    values <- axes[[key]]
    path <- strsplit(key, ".", fixed = TRUE)[[1]]
    if (length(values) == 0) design_error(key, "no values to sweep")
    items <- if (is.list(values)) values else as.list(values)
    vapply(items, function(v) toml_value(v, path), "")
  })
  run <- engine_call(.gsd_sweep_keyed, toml_text(design), keys, literals, threads)
  rows <- data.frame(scenario = run$scenario)
  for (a in seq_along(keys)) {
    # Each scenario's value as the R value it came from.
    given <- axes[[keys[a]]]
    index <- match(run$values[[a]], literals[[a]])
    rows[[keys[a]]] <- if (is.list(given)) I(given[index]) else given[index]
  }
  for (column in c("statistic", "rho", "tau", "subjects", "trials", "power", "sd",
                   "average_stopping_time", "analytic_power", "expected_events",
                   "expected_subjects")) {
    rows[[column]] <- run[[column]]
  }
  attr(rows, "notes") <- run$notes
  rows
}
