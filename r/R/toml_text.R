# The keyed design file's text of a design given as a named list: the names
# are the keys (nested lists are tables, a data frame or a list of lists is an
# array of tables), so that the C++ reader of keyed files validates the design
# and names the argument at fault ("accrual.subjects: ...").

# Keys whose value is always an array, even of one element (a design with
# one look has looks = list(times = 24)).
array_keys <- c("times", "events", "survival", "error_split", "critical_values",
                "hazard_ratios", "cuts", "probabilities")

# Keys whose value is a whole number; any other number is written as a real.
integer_keys <- c("seed", "trials", "sides", "subjects", "events")

# The order in which keys are shown within a table; keys not listed follow.
key_order <- c("report", "seed", "trials", "alpha", "sides", "looks", "statistics",
               "boundary", "control", "treatment", "accrual", "censoring", "crossover",
               "method", "spending", "b", "error_split", "critical_values",
               "times", "events", "max_time", "median", "survival",
               "hazard_ratio", "hazard_ratios", "cuts", "period", "subjects", "rate",
               "drop_in", "drop_out", "probabilities", "rho", "tau")

ordered_keys <- function(x) {
  keys <- names(x)
  x[order(match(keys, key_order, nomatch = length(key_order) + 1L), keys)]
}

toml_key <- function(key) {
  if (grepl("^[A-Za-z0-9_-]+$", key)) key else toml_string(key)
}

toml_string <- function(s) {
  s <- enc2utf8(s)
  s <- gsub("\\", "\\\\", s, fixed = TRUE)
  s <- gsub("\"", "\\\"", s, fixed = TRUE)
  s <- gsub("\n", "\\n", s, fixed = TRUE)
  s <- gsub("\t", "\\t", s, fixed = TRUE)
  s <- gsub("\r", "\\r", s, fixed = TRUE)
  paste0("\"", s, "\"")
}

# The shortest decimal form that reads back to the same double; a real
# always carries a decimal point or an exponent.
toml_real <- function(x) {
  if (is.nan(x)) return("nan")
  if (is.infinite(x)) return(if (x > 0) "inf" else "-inf")
  for (digits in 15:17) {
    s <- sprintf("%.*g", digits, x)
    if (as.numeric(s) == x) break
  }
  if (!grepl("[.eE]", s)) s <- paste0(s, ".0")
  s
}

toml_number <- function(x, key) {
  whole <- is.finite(x) && x == round(x) && abs(x) < 2^53
  if (key %in% integer_keys && whole) formatC(x, format = "d", big.mark = "")
  else if (is.integer(x)) as.character(x)
  else toml_real(x)
}

is_table <- function(x) is.list(x) && !is.data.frame(x) && !is.null(names(x))

is_table_array <- function(x) {
  is.data.frame(x) || (is.list(x) && is.null(names(x)) && length(x) > 0 &&
                         all(vapply(x, is_table, logical(1))))
}

# One value (not a table) as TOML; `path` names it in errors.
toml_value <- function(x, path) {
  key <- path[length(path)]
  where <- paste(path, collapse = ".")
  if (is.factor(x)) x <- as.character(x)
  if (!is.atomic(x) || is.complex(x) || is.raw(x)) {
    design_error(where, paste0("expected a number, a text or a list of numbers, found ",
                               class(x)[1]))
  }
  if (anyNA(x) && !all(is.nan(x[is.na(x)]))) design_error(where, "missing value (NA)")
  items <- if (is.character(x)) vapply(x, toml_string, "")
           else if (is.logical(x)) ifelse(x, "true", "false")
           else vapply(x, toml_number, "", key = key)
  if (length(x) == 1 && !(key %in% array_keys)) items
  else paste0("[", paste(items, collapse = ", "), "]")
}

# The rows of a data frame, or the elements of a list of lists, as tables.
table_rows <- function(x) {
  if (!is.data.frame(x)) return(x)
  lapply(seq_len(nrow(x)), function(i) lapply(x, function(column) column[[i]]))
}

toml_table <- function(x, path) {
  x <- x[!vapply(x, is.null, logical(1))]
  if (length(x) == 0) return(character())
  keys <- names(x)
  if (is.null(keys) || any(!nzchar(keys)) || anyDuplicated(keys)) {
    where <- if (length(path)) paste(path, collapse = ".") else "design"
    design_error(where, "every element needs a name of its own")
  }
  x <- ordered_keys(x)
  keys <- names(x)
  nested <- vapply(x, is.list, logical(1))
  lines <- character()
  for (key in keys[!nested]) {
    lines <- c(lines, paste(toml_key(key), "=", toml_value(x[[key]], c(path, key))))
  }
  for (key in keys[nested]) {
    sub <- c(path, key)
    header <- paste(vapply(sub, toml_key, ""), collapse = ".")
    if (is_table_array(x[[key]])) {
      for (row in table_rows(x[[key]])) {
        lines <- c(lines, "", paste0("[[", header, "]]"), toml_table(row, sub))
      }
    } else {
      lines <- c(lines, "", paste0("[", header, "]"), toml_table(x[[key]], sub))
    }
  }
  lines
}

toml_text <- function(design) {
  paste0(paste(toml_table(unclass(design), character()), collapse = "\n"), "\n")
}
