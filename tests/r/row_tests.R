# The approximate tests and the correlations of "Zeilen auswerten" and of the category tests, as the
# batch runner shows them, against R's stats on a random table: sign test (prop.test), signed-rank and
# rank-sum tests (wilcox.test, normal approximation), binomial test (prop.test against the overall
# share) and the correlations with their t-tests (cor, cor.test). Every p-value is one-sided:
# P(Z >= |z|), half R's two-sided value.
args <- commandArgs(trailingOnly = TRUE)
batch <- args[1]
set.seed(20261211)
n <- 40
typ <- sample(c("a", "b"), n, replace = TRUE)
x <- round(rnorm(n, 0.3), 6)
y <- round(x + rnorm(n), 6)
table <- tempfile(fileext = ".tab")
writeLines(c(paste(c("T", "Typ", "", typ), collapse = ";"), paste(c("F", "x", "", x), collapse = ";"),
             paste(c("F", "y", "", y), collapse = ";"), paste(c("A", "s", "", rep("", n)), collapse = ";")),
           table)

windows <- function(marked, statement) {
  out <- system2(batch, c("--print-windows", "--mark-header-rows", marked, "--cursor", "2,1,1", "--run",
                          shQuote(statement), table), stdout = TRUE, stderr = FALSE)
  out[!startsWith(out, "==")]
}
field <- function(lines, name, k) {
  line <- lines[startsWith(lines, paste0(name, ";"))]
  if (length(line) != 1) stop("no single line ", name, " in ", paste(lines, collapse = " | "))
  as.numeric(strsplit(line, ";", fixed = TRUE)[[1]][k + 1])
}

failures <- 0
check <- function(what, got, want, digits = 8) {
  if (abs(got - want) <= 0.6 * 10^-digits) {
    cat("ok:", what, "\n")
  } else {
    cat("FAILED:", what, "got", got, "want", want, "\n")
    failures <<- failures + 1
  }
}

# Against 0: sign test and signed-rank test.
zero <- windows("2", "Berechnen Zeilen*auswerten;#000000001 #11000000000000 ")
check("sign test", field(zero, "x", 1), prop.test(sum(x > 0), n, correct = FALSE)$p.value / 2)
check("signed-rank test", field(zero, "x", 2), wilcox.test(x, exact = FALSE, correct = TRUE)$p.value / 2)

# Association of x and y: the t-test of Pearson's r, of Spearman's r, and both coefficients.
cor <- windows("2,3", "Berechnen Zeilen*auswerten;#00000001 #001100110")
r <- cor(x, y)
rs <- cor(x, y, method = "spearman")
tp <- function(r) pt(r * sqrt((n - 2) / (1 - r^2)), n - 2, lower.tail = r < 0)
check("t-test of Pearson's r", field(cor, "x - y", 1), tp(r))
check("t-test of Spearman's r", field(cor, "x - y", 2), tp(rs))
check("Pearson's r", field(cor, "x - y", 3), r)
check("Spearman's r", field(cor, "x - y", 4), rs)

# Category "a" of Typ against the rest: binomial and rank-sum test.
cat_lines <- windows("2", "Berechnen Kategorienweise*Berechnungen Tests;#1 1 #110000000000000")
group <- x[typ == "a"]
rest <- x[typ != "a"]
check("binomial test", field(cat_lines, "A", 2),
      prop.test(sum(group > 0), length(group), p = mean(x > 0), correct = FALSE)$p.value / 2)
check("rank-sum test", field(cat_lines, "A", 3),
      wilcox.test(group, rest, exact = FALSE, correct = FALSE)$p.value / 2)
cat("done,", failures, "failed\n")
quit(status = if (failures == 0) 0 else 1)
