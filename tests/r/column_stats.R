# The parameters of each releve over its species ("Spaltenweise auswerten") for the varespec sample, as
# the batch runner writes them into new header rows, against R's stats on vegan's varespec data.
args <- commandArgs(trailingOnly = TRUE)
batch <- args[1]
table <- args[2]
saved <- tempfile(fileext = ".tab")

# mean, trimmed mean, sd, standard error, variance, minimum, median, maximum, MAD, count, deciles
stats <- strsplit("1101000100010001111101000", "")[[1]]
out <- system2(batch, c("--cover-system", "3", "--mark-rows", "1-44", "--cursor", "4,1,1", "--run",
                        shQuote(paste0("Berechnen Spalten*auswerten Spaltenweise;#1 #", paste(stats, collapse = ""),
                                       " #000000")),
                        "--save", saved, table), stdout = TRUE, stderr = TRUE)
status <- attr(out, "status")
if (!is.null(status) && status != 0) stop("the batch runner failed: ", paste(out, collapse = "\n"))
lines <- readLines(saved, encoding = "UTF-8")
row <- function(name) {
  hit <- grep(paste0("^F;", name, ";;"), lines, fixed = FALSE)
  if (length(hit) != 1) stop("no single row ", name)
  as.numeric(strsplit(lines[hit], ";", fixed = TRUE)[[1]][-(1:3)])
}

suppressPackageStartupMessages(library(vegan))
data(varespec)
x <- as.matrix(varespec)

failures <- 0
check <- function(what, got, want) {
  # The cells hold eight decimals.
  if (length(got) == length(want) && max(abs(got - as.numeric(want))) <= 5e-9) {
    cat("ok:", what, "\n")
  } else {
    cat("FAILED:", what, "\n")
    print(head(data.frame(got = got, want = as.numeric(want))))
    failures <<- failures + 1
  }
}
check("mean", row("Arithmetisches Mittel"), rowMeans(x))
# With 44 values the 10 % trimmed mean keeps the same 36 values as R's trim = 0.1.
check("trimmed mean", row("Gestutztes Mittel \\(10%\\)"), apply(x, 1, mean, trim = 0.1))
check("sd", row("Standardabweichung"), apply(x, 1, sd))
check("standard error", row("Standardfehler des arithm. Mittels"), apply(x, 1, sd) / sqrt(ncol(x)))
check("variance", row("Varianz"), apply(x, 1, var))
check("minimum", row("Minimum"), apply(x, 1, min))
check("median", row("Median"), apply(x, 1, median))
check("maximum", row("Maximum"), apply(x, 1, max))
check("MAD (unscaled)", row("MAD"), apply(x, 1, mad, constant = 1))
check("count", row("Anzahl Werte"), rep(ncol(x), nrow(x)))
for (p in seq(10, 90, 10))
  check(paste0(p, "% quantile"), row(paste0(p, "%-Quantil")), apply(x, 1, quantile, probs = p / 100, type = 7))
cat("done,", failures, "failed\n")
quit(status = if (failures == 0) 0 else 1)
