# Calls the engine and turns its errors into R errors of class
# "gsd_error" that carry the engine's message alone (naming the design line
# or key), without the internal call.
engine_call <- function(fun, ...) {
  tryCatch(fun(...), error = function(e) {
    stop(structure(class = c("gsd_error", "error", "condition"),
                   list(message = conditionMessage(e), call = NULL)))
  })
}

# An R error of class "gsd_error" naming the argument (or key) at fault.
design_error <- function(path, what) {
  stop(structure(class = c("gsd_error", "error", "condition"),
                 list(message = paste0(path, ": ", what), call = NULL)))
}
