# The similarity matrix of the releves and the cluster analysis, as the batch runner shows them, against
# R on the dune and varespec samples and on a random sparse table: the measures against dist, vegdist, cor and cov,
# and single, average and complete linkage against hclust on the same matrix (d = max - s): the same
# merge heights and the same partition at every number of classes.
args <- commandArgs(trailingOnly = TRUE)
here <- dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE)))
source(file.path(here, "common.R"))
batch <- args[1]
dune_file <- args[2]
vare_file <- args[3]
suppressPackageStartupMessages(library(vegan))

# The minimal occurrence is a form, which statements leave to the user: --answer gives "no filter".
run <- function(table, statement, extra = character()) {
  system2(batch, c("--cover-system", "3", "--print-windows", "--answer", "0", extra, "--run", shQuote(statement),
                   table),
          stdout = TRUE, stderr = FALSE)
}

shown_matrix <- function(lines) {
  f <- strsplit(lines[-1], ";", fixed = TRUE)
  m <- t(sapply(f, function(r) as.numeric(r[-1])))
  m
}

similarity <- "Optionen Dezimalstellen;12;Berechnen Aehnlichkeitsmatrix Abundanzdaten Aufnahmen*(Deckungscode);"
flags <- function(k) paste0("#", strrep("0", k), "1")

cosine <- function(x) {
  s <- sqrt(rowSums(x^2))
  tcrossprod(x) / outer(s, s)
}

check_table <- function(name, file) {
  x <- read_table(file)
  p <- ncol(x)
  # family (0 cover, 1 distances, 2 correlation), answer of the measure dialog, R's value
  measures <- list(
    list("mean difference (1)", 1, 0, -as.matrix(dist(x, "manhattan")) / p),
    list("Euclidean (8)", 1, 3, -as.matrix(dist(x))),
    list("chord (9)", 1, 4, -as.matrix(vegdist(x, "chord"))),
    list("Pearson (2)", 2, 0, cor(t(x))),
    list("Spearman (3)", 2, 1, cor(t(x), method = "spearman")),
    list("r squared (4)", 2, 2, cor(t(x))^2),
    list("covariance (5)", 2, 3, cov(t(x))),
    list("Ochiai (41)", 0, 3, cosine(x)),
    list("Jaccard (43)", 0, 1, 1 - as.matrix(vegdist(x, "jaccard", binary = TRUE))))
  for (m in measures) {
    out <- run(file, paste0(similarity, "#1 ", flags(m[[2]]), " ", flags(m[[3]])))
    got <- shown_matrix(window(out, "Matrix"))
    check(paste(name, m[[1]]), as.vector(got), as.vector(unname(m[[4]])))
  }

  # Clustering of the Ochiai similarities: every level of the hierarchy written into the table, the
  # merges as the window lists them.
  s <- cosine(x)
  d <- as.dist(max(s) - s)
  n <- nrow(x)
  for (l in list(c("single", 3), c("average", 4), c("complete", 5))) {
    saved <- tempfile(fileext = ".tab")
    out <- run(file, paste0(similarity, flags(as.integer(l[2])), " #1 #0001 1 AnzahlKlassen|Hierarchieeinsetzen ", n),
               c("--save", saved))
    h <- hclust(d, l[1])
    merges <- window(out, grep("Linkage Clustering", sub("^== ", "", out[startsWith(out, "==")]), value = TRUE)[1])
    f <- strsplit(merges[-1], ";", fixed = TRUE)
    ours <- sort(max(s) - sapply(f, function(r) as.numeric(r[4])))
    check(paste(name, l[1], "linkage heights"), ours, sort(h$height))
    # The partitions at every k where R's merge levels leave no tie at the cut.
    levels <- strsplit(readLines(saved, encoding = "UTF-8"), ";", fixed = TRUE)
    same <- TRUE
    heights <- sort(h$height, decreasing = TRUE)
    for (k in 2:(n - 1)) {
      if (abs(heights[k - 1] - heights[k]) < 1e-9) next
      # Equal merge levels make the same partition at neighbouring k: the level is named by its classes.
      row <- Filter(function(f) length(f) > 1 && f[2] == paste("Stufe", k), levels)
      if (length(row) == 0) { same <- FALSE; break }
      ourk <- as.integer(row[[length(row)]][4:(n + 3)])
      rk <- cutree(h, k)
      if (length(unique(ourk)) != k || nrow(unique(cbind(ourk, rk))) != k) { same <- FALSE; break }
    }
    if (same) cat("ok:", name, l[1], "linkage partitions\n") else fail(name, l[1], "linkage partitions at k =", k)
  }
}

check_table("dune", dune_file)
check_table("varespec", vare_file)

# A random sparse table: 40 releves, 60 species, about a tenth of the cells filled with percentages.
set.seed(20261211)
nr <- 40
ns <- 60
x <- random_covers(nr, ns, 2, c(3, 7))
random_file <- tempfile(fileext = ".tab")
write_table(random_file, x, list(c("T", "Nr", paste0("r", seq_len(nr)))))
check_table("random", random_file)

# Header rows with gaps: Pearson, Spearman and the covariance of the rows over the releves where both
# have a value, as R's pairwise complete observations.
nc <- 30
h <- matrix(round(rnorm(6 * nc, 10, 3), 3), 6, nc)
h[sample(length(h), 25)] <- NA
header_file <- tempfile(fileext = ".tab")
writeLines(c(paste(c("T", "Nr", "", paste0("r", seq_len(nc))), collapse = ";"),
             sapply(1:6, function(i) paste(c("F", paste0("v", i), "", ifelse(is.na(h[i, ]), "", h[i, ])),
                                           collapse = ";")),
             paste(c("A", "s", "", rep("", nc)), collapse = ";")),
           header_file)
rows <- "Optionen Dezimalstellen;12;Berechnen Aehnlichkeitsmatrix Kopfdaten Zeilen*(numerische;#1 #001 "
for (m in list(list("Pearson", "#1", cor(t(h), use = "pairwise.complete.obs")),
               list("Spearman", "#01", cor(t(h), method = "spearman", use = "pairwise.complete.obs")),
               list("covariance", "#0001", cov(t(h), use = "pairwise.complete.obs")))) {
  out <- run(header_file, paste0(rows, m[[2]]), c("--mark-header-rows", "2-7"))
  check(paste("header rows with gaps:", m[[1]]), as.vector(shown_matrix(window(out, "Matrix"))), as.vector(m[[3]]))
}

finish()
