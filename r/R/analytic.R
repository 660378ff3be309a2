#' Analytic power of a design
#'
#' The analytic counterpart of \code{\link{gsd_simulate}}, in milliseconds:
#' per statistic and look the expected events, the expected information, the
#' drift (mean of the standardised statistic under the design's
#' alternative), the critical value at the expected information and the
#' probabilities of rejecting there, from the asymptotic theory of weighted
#' log-rank statistics; per statistic the power and the expected stopping
#' time. The figures are those of the command line's \code{--analytic}.
#'
#' @param design a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
#'   or the name of a design file.
#' @return An object of class \code{gsd_analytic}, a list with
#'   \item{statistics}{a data frame, one row per statistic:
#'     \code{statistic}, \code{rho}, \code{tau}, \code{power},
#'     \code{expected_stopping_time}, \code{power_at_engine_bounds} (the
#'     power at the critical values the engine's own recursion computes
#'     from the expected information);}
#'   \item{looks}{a data frame, one row per statistic and look:
#'     \code{statistic}, \code{look}, \code{time}, \code{expected_events},
#'     \code{information}, \code{drift}, \code{z_sd}, \code{bound},
#'     \code{engine_bound}, \code{reject_upper}, \code{reject_lower},
#'     \code{reject_probability}, \code{cumulative_power};}
#'   \item{subjects}{the subjects per trial;}
#'   \item{design}{the design.}
#' @seealso \code{\link{gsd_simulate}}
#' @examples
#' a <- gsd_analytic(gsd_read(system.file("examples", "given_bounds.dsn",
#'                                        package = "gsdsim")))
#' a$statistics
#' @export
gsd_analytic <- function(design) {
  if (is.character(design) && length(design) == 1) design <- gsd_read(design)
  check_design(design)
  result <- engine_call(.gsd_analytic_keyed, toml_text(design))
  result$statistics <- as.data.frame(result$statistics)
  result$looks <- as.data.frame(result$looks)
  result$design <- design
  structure(result, class = "gsd_analytic")
}

#' @rdname gsd_analytic
#' @param x a result of \code{gsd_analytic}.
#' @param ... unused.
#' @export
print.gsd_analytic <- function(x, ...) {
  cat(sprintf("gsdsim analytic power: %d looks, %g subjects per trial\n",
              length(unique(x$looks$look)), x$subjects))
  print(x$statistics, row.names = FALSE)
  invisible(x)
}
