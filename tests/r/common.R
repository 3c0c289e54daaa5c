# What the cross-checks against R share: a table file read as a matrix, its header rows, the windows
# the batch runner prints, and the comparison of the figures. Each check sources this file first.

# The species lines of a table file as a releves x species matrix (empty or unreadable cells are 0),
# its rows named by the first header row, its columns by the species.
read_table <- function(file) {
  lines <- readLines(file, encoding = "UTF-8")
  fields <- strsplit(lines, ";", fixed = TRUE)
  n <- length(fields[[1]]) - 3
  cells <- function(f) { f <- c(f, rep("", n + 3 - length(f))); f[4:(n + 3)] }
  sp <- fields[startsWith(lines, "A")]
  x <- sapply(sp, function(f) {
    v <- suppressWarnings(as.numeric(cells(f)))
    v[is.na(v)] <- 0
    v
  })
  if (!is.matrix(x)) x <- matrix(x, nrow = n)
  rownames(x) <- cells(fields[[1]])
  colnames(x) <- sapply(sp, `[`, 2)
  x
}

# The header rows of a table file: their cells, by row name.
header_rows <- function(file) {
  lines <- readLines(file, encoding = "UTF-8")
  fields <- strsplit(lines, ";", fixed = TRUE)
  n <- length(fields[[1]]) - 3
  header <- fields[!startsWith(lines, "A")]
  setNames(lapply(header, function(f) { f <- c(f, rep("", n + 3 - length(f))); f[4:(n + 3)] }),
           sapply(header, `[`, 2))
}
header_row <- function(file, name) header_rows(file)[[name]]

# The lines of the window with this caption in the batch runner's output.
window <- function(out, caption) {
  at <- which(out == paste("==", caption))
  if (length(at) != 1) stop("no single window ", caption, " in ", paste(head(out, 5), collapse = " | "))
  rest <- out[(at + 1):length(out)]
  end <- which(startsWith(rest, "=="))
  if (length(end) > 0) rest <- rest[seq_len(end[1] - 1)]
  rest
}

# A random sparse releves x species matrix: about a tenth of the cells filled with percentages (0.5 to 80,
# one decimal); a releve with fewer than `least` species gets the values `fill` in `least` random cells.
random_covers <- function(nr, ns, least = 0, fill = NULL) {
  x <- matrix(0, nr, ns)
  filled <- sample(nr * ns, nr * ns / 10)
  x[filled] <- round(runif(length(filled), 0.5, 80), 1)
  if (least > 0) for (i in seq_len(nr)) if (sum(x[i, ] > 0) < least) x[i, sample(ns, least)] <- fill
  x
}

# Writes a releves x species matrix as a table file: the header rows, each given as its type, its name
# and its values, then the species rows sp1, sp2 ... with their non-zero cells.
write_table <- function(file, x, header) {
  writeLines(c(sapply(header, function(h) paste(c(h[1], h[2], "", h[-(1:2)]), collapse = ";")),
               sapply(seq_len(ncol(x)), function(j) {
                 v <- format(x[, j], scientific = FALSE, trim = TRUE, drop0trailing = TRUE)
                 paste(c("A", paste0("sp", j), "", ifelse(x[, j] > 0, v, "")), collapse = ";")
               })),
             file)
}

failures <- 0
check <- function(what, got, want, tol = 1e-9) {
  if (length(got) > 0 && length(got) == length(want) && all(is.finite(got)) && max(abs(got - want)) <= tol) {
    cat("ok:", what, "\n")
  } else {
    cat("FAILED:", what, "\n")
    if (length(got) == length(want)) print(head(cbind(got = as.vector(got), want = as.vector(want))))
    failures <<- failures + 1
  }
}
fail <- function(...) {
  cat("FAILED:", ..., "\n")
  failures <<- failures + 1
}

finish <- function() {
  cat("done,", failures, "failed\n")
  quit(status = if (failures == 0) 0 else 1)
}
