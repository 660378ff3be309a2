#' The sample size for a target power
#'
#' The smallest number of subjects per trial (the accrual period fixed, the
#' rate varying) whose simulated power for one statistic reaches the
#' target: the analytic power brackets the answer, simulations on a grid of
#' subjects settle it (as the command line's \code{--size-for-power}). Every candidate
#' is the design with \code{accrual.subjects} replaced, simulated as
#' \code{\link{gsd_simulate}} simulates it.
#'
#' @param design a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
#'   or the name of a design file.
#' @param power the power wanted, between 0 and 1.
#' @param statistic the statistic (1-based, in the design's order).
#' @param threads number of threads; \code{NULL} uses every hardware thread.
#' @return A list of class \code{gsd_size}: \code{subjects} (the answer),
#'   its \code{power} and \code{sd}; \code{below}, the same one \code{step}
#'   of subjects below (which misses the target); \code{analytic_subjects}
#'   and \code{analytic_power}, the analytic answer; \code{simulated}, a
#'   data frame of every simulation run (\code{subjects}, \code{power},
#'   \code{sd}); \code{text}, the account the command line prints.
#' @seealso \code{\link{gsd_sweep}}
#' @examples
#' \donttest{
#' d <- gsd_read(system.file("examples", "given_bounds.dsn", package = "gsdsim"))
#' gsd_size(d, power = 0.5, threads = 1)
#' }
#' @export
gsd_size <- function(design, power, statistic = 1, threads = NULL) {
  if (is.character(design) && length(design) == 1) design <- gsd_read(design)
  check_design(design)
  threads <- thread_argument(threads)
  if (!is.numeric(power) || length(power) != 1 || is.na(power) || power <= 0 || power >= 1) {
    design_error("power", "expected the power wanted, a number between 0 and 1")
  }
  if (!is.numeric(statistic) || length(statistic) != 1 || is.na(statistic) ||
      statistic < 1 || statistic != round(statistic)) {
    design_error("statistic", "expected the number of a statistic of the design (1, 2, ...)")
  }
  result <- engine_call(.gsd_size_keyed, toml_text(design), power, as.integer(statistic),
                        threads)
  result$simulated <- as.data.frame(result$simulated)
  structure(result, class = "gsd_size")
}

#' @rdname gsd_size
#' @param x a result of \code{gsd_size}.
#' @param ... unused.
#' @export
print.gsd_size <- function(x, ...) {
  cat(x$text)
  invisible(x)
}
