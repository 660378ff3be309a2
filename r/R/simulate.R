#' Simulate a design
#'
#' Runs the design's trials in the package's copy of the gsdsim engine and
#' returns its figures: per statistic the power, its Monte-Carlo standard
#' error and the average stopping time (the report's figures, bit for bit
#' the command line's), and per look and statistic the trials that stopped
#' and rejected there with the mean subjects and events in the look's data.
#' Nothing is written to a file unless \code{report_file} is given.
#'
#' @param design a design (\code{\link{gsd_design}}, \code{\link{gsd_read}}),
#'   or the name of a design file.
#' @param threads number of threads analysing trials; \code{NULL} (the
#'   default) uses every hardware thread. The results are the same for every
#'   number.
#' @param report_file when given, the report is also written to this file
#'   (an existing file is replaced).
#' @return An object of class \code{gsd_result}, a list with
#'   \item{statistics}{a data frame, one row per statistic: \code{statistic},
#'     \code{rho}, \code{tau}, \code{power}, \code{sd},
#'     \code{average_stopping_time}, \code{rejections};}
#'   \item{looks}{a data frame, one row per statistic and look:
#'     \code{statistic}, \code{look}, \code{time}, \code{trials_reached}
#'     (trials still running at the look), \code{stopped}, \code{rejected},
#'     \code{mean_subjects}, \code{mean_events};}
#'   \item{calibration}{the subjects per trial, the null variances (a
#'     matrix, statistics by looks), \code{v0}, \code{v_last}, \code{b}, and
#'     \code{haybittle_c} (Haybittle-type method) or \code{c} (critical values
#'     given);}
#'   \item{trials, method}{the number of trials and the method code;}
#'   \item{report}{the report's text;}
#'   \item{console}{the console lines of the run;}
#'   \item{design}{the design.}
#' @seealso \code{\link{print.gsd_result}}, \code{\link{plot.gsd_result}}
#' @examples
#' r <- gsd_simulate(gsd_read(system.file("examples", "given_bounds.dsn",
#'                                        package = "gsdsim")), threads = 1)
#' r$statistics
#' @export
gsd_simulate <- function(design, threads = NULL, report_file = NULL) {
  if (is.character(design) && length(design) == 1) design <- gsd_read(design)
  check_design(design)
  threads <- thread_argument(threads)
  if (!is.null(report_file) &&
      (!is.character(report_file) || length(report_file) != 1 || is.na(report_file) ||
         !nzchar(report_file))) {
    design_error("report_file", "expected the name of the file to write")
  }
  result <- engine_call(.gsd_simulate_keyed, toml_text(design), threads)
  result$statistics <- as.data.frame(result$statistics)
  result$looks <- as.data.frame(result$looks)
  result$design <- design
  if (!is.null(report_file)) {
    out <- file(report_file, open = "wb")
    on.exit(close(out))
    writeChar(result$report, out, eos = NULL, useBytes = TRUE)
  }
  structure(result, class = "gsd_result")
}

thread_argument <- function(threads) {
  if (is.null(threads)) return(0L)
  if (!is.numeric(threads) || length(threads) != 1 || is.na(threads) ||
      threads < 1 || threads != round(threads) || threads > 1024) {
    design_error("threads", "expected a whole number of threads from 1 to 1024 (or NULL for every hardware thread)")
  }
  as.integer(threads)
}
