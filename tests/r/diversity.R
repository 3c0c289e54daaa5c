# The diversity commands as the batch runner runs them, against vegan on the dune and varespec samples
# and on a random sparse table: the Shannon index against diversity(), its equitability against
# H / log(specnumber) (R has NaN for one species, the program 0), the turnover of neighbouring releves
# against the binary Bray-Curtis dissimilarity of those pairs, and alpha, gamma, the mean difference and
# the mean turnover of all pairs (whole table, per category, per group) against specnumber and vegdist.
args <- commandArgs(trailingOnly = TRUE)
here <- dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE)))
source(file.path(here, "common.R"))
batch <- args[1]
dune_file <- args[2]
vare_file <- args[3]
suppressPackageStartupMessages(library(vegan))

run <- function(table, statement, extra = character()) {
  out <- system2(batch, c("--cover-system", "3", "--print-windows", extra, "--run", shQuote(statement), table),
                 stdout = TRUE, stderr = FALSE)
  status <- attr(out, "status")
  if (!is.null(status) && status != 0) stop("the batch runner failed on ", statement)
  out
}

decimals <- "Optionen Dezimalstellen;12;"
indices <- paste0(decimals, "Arten Diversität Diversitätsindices;#11000;Arten Diversität Turnover*Aufnahmen;#000000001;")

# The values of a unit line of "Diversität der Aufnahmen": alpha, gamma, mean d, mean turnover, beta.
unit_values <- function(line) as.numeric(strsplit(line, ";", fixed = TRUE)[[1]][2:6])
unit_in_r <- function(x) {
  alpha <- mean(specnumber(x))
  gamma <- sum(colSums(x > 0) > 0)
  c(alpha, gamma, mean(vegdist(x, "manhattan", binary = TRUE)), mean(vegdist(x, "bray", binary = TRUE)),
    gamma / alpha)
}

check_table <- function(name, file, category_row = NULL) {
  x <- read_table(file)
  header <- header_rows(file)
  saved <- tempfile(fileext = ".tab")
  run(file, indices, c("--save", saved))
  h <- header_rows(saved)
  H <- diversity(x, "shannon")
  S <- specnumber(x)
  check(paste(name, "Shannon index"), as.numeric(h[["Shannon Index"]]), unname(H))
  check(paste(name, "Shannon equitability"), as.numeric(h[["Shannon Equitability"]]),
        unname(ifelse(S > 1, H / log(S), 0)))
  turnover <- h[["Turnover"]]
  pairs <- sapply(2:nrow(x), function(j) vegdist(x[c(j - 1, j), ], "bray", binary = TRUE)[1])
  check(paste(name, "turnover of neighbouring releves"), as.numeric(turnover[-1]), pairs)
  if (turnover[1] != "NA") fail(name, "first turnover is", turnover[1])

  out <- run(file, paste0(decimals, "Arten Diversität Alpha*Gamma;#1"))
  check(paste(name, "alpha, gamma, means and beta of the table"),
        unit_values(window(out, "Diversität der Aufnahmen")[2]), unit_in_r(x))
  if (is.null(category_row)) return(invisible())
  key <- toupper(header[[category_row]])
  categories <- sort(unique(key))
  row <- which(names(header) == category_row)
  out <- run(file, paste0(decimals, "Arten Diversität Alpha*Gamma;#01 ", row))
  lines <- window(out, "Diversität der Aufnahmen")[-1]
  check(paste(name, "categories in order"), as.numeric(sub(";.*", "", lines) == categories), rep(1, length(categories)))
  for (k in seq_along(categories))
    check(paste(name, "category", categories[k]), unit_values(lines[k]), unit_in_r(x[key == categories[k], , drop = FALSE]))
  out <- run(file, paste0(decimals, "Arten Diversität Alpha*Gamma;#001 ", row))
  merged <- t(sapply(categories, function(k) colSums(x[key == k, , drop = FALSE])))
  check(paste(name, "groups merged"), unit_values(window(out, "Diversität der Aufnahmen")[2]), unit_in_r(merged))
}

check_table("dune", dune_file, "Management")
check_table("varespec", vare_file)

# A random sparse table: 60 releves, 80 species, about a tenth of the cells filled with percentages,
# some releves with one species, and a header row of four categories.
set.seed(20261212)
nr <- 60
ns <- 80
x <- random_covers(nr, ns, 1, 5)
x[c(7, 31), ] <- 0
x[7, 3] <- 12
x[31, 40] <- 0.5
random_file <- tempfile(fileext = ".tab")
write_table(random_file, x, list(c("T", "Nr", paste0("r", seq_len(nr))),
                                  c("T", "Typ", sample(c("a", "B", "c", "D"), nr, replace = TRUE))))
check_table("random", random_file, "Typ")

finish()
