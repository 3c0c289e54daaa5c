# The same work in R as bench_similarity, on the same table: the releve matrices of the chord distance
# (vegan's vegdist "chord", or dist of the rows scaled to length 1 where vegdist lacks it), of Ochiai's
# coefficient on the cover values (the cosine, as the cross products of the rows scaled to length 1:
# vegdist has no such method) and of Jaccard's distance on presence (vegdist "jaccard", binary = TRUE),
# then hclust "average" of the cosine distance 1 - Ochiai, the matrix bench_similarity clusters.
# With CELLS (the cells bench_similarity wrote: "i j code value") it prints the largest difference from
# ours per measure. With --no-vegdist only the cosine and hclust run: for the largest tables, where
# vegdist would walk every species of every pair for hours.
# Usage: Rscript bench/similarity_r.R TABLE [CELLS] [--no-vegdist]
suppressPackageStartupMessages(library(vegan))
args <- commandArgs(trailingOnly = TRUE)
withVegdist <- !("--no-vegdist" %in% args)
args <- args[args != "--no-vegdist"]
ms <- function(t0) 1000 * as.numeric(Sys.time() - t0, units = "secs")
lines <- readLines(args[1], encoding = "latin1")
species <- lines[startsWith(lines, "A;")]
t0 <- Sys.time()
cells <- strsplit(species, ";", fixed = TRUE)
n <- max(lengths(cells)) - 3
m <- t(vapply(cells, function(f) { v <- suppressWarnings(as.numeric(f[-(1:3)])); length(v) <- n; v[is.na(v)] <- 0; v },
              numeric(n)))
x <- t(m)
rm(m, cells, species, lines)
cat(sprintf("R %s, vegan %s: read %d releves x %d species: %.0f ms\n", getRversion(), packageVersion("vegan"),
            nrow(x), ncol(x), ms(t0)))

chord <- NULL
jaccard <- NULL
if (withVegdist) {
  chordInVegdist <- !inherits(try(vegdist(diag(2), "chord"), silent = TRUE), "try-error")
  t0 <- Sys.time()
  if (chordInVegdist) {
    chord <- vegdist(x, "chord")
    cat(sprintf("R: vegdist chord: %.0f ms\n", ms(t0)))
  } else {
    chord <- dist(decostand(x, "normalize"))
    cat(sprintf("R: chord as dist(decostand(x, \"normalize\")) (this vegan has no vegdist chord): %.0f ms\n", ms(t0)))
  }
} else {
  cat("R: vegdist chord and jaccard skipped at this size (hours: every pair walks all species)\n")
}
t0 <- Sys.time()
cosine <- tcrossprod(decostand(x, "normalize"))
cat(sprintf("R: Ochiai as the cosine, tcrossprod(decostand(x, \"normalize\")) (full matrix): %.0f ms\n", ms(t0)))
if (withVegdist) {
  t0 <- Sys.time()
  jaccard <- vegdist(x, "jaccard", binary = TRUE)
  cat(sprintf("R: vegdist jaccard, binary = TRUE: %.0f ms\n", ms(t0)))
}
# The cell (i, j), i > j, of a dist object.
distCell <- function(d, i, j) {
  size <- attr(d, "Size")
  d[size * (j - 1) - j * (j - 1) / 2 + i - j]
}
if (length(args) > 1 && file.exists(args[2])) {
  ours <- read.table(args[2], col.names = c("i", "j", "code", "value"))
  diff <- function(code, theirs) {
    o <- ours[ours$code == code, ]
    if (nrow(o) == 0 || is.null(theirs)) return(NA)
    max(abs(theirs(o$i, o$j) - o$value))
  }
  cat(sprintf("R: largest difference from ours on %d cells: chord %.3g, Ochiai %.3g, Jaccard %.3g\n",
              sum(ours$code == 41), diff(9, if (!is.null(chord)) function(i, j) -distCell(chord, i, j)),
              diff(41, function(i, j) cosine[cbind(i, j)]),
              diff(43, if (!is.null(jaccard)) function(i, j) 1 - distCell(jaccard, i, j))))
}
rm(chord, jaccard)
d <- as.dist(1 - cosine)
rm(cosine)
invisible(gc())
t0 <- Sys.time()
h <- hclust(d, method = "average")
cat(sprintf("R: hclust average of 1 - Ochiai: %.0f ms (root at %.6g, that is Ochiai %.6g)\n", ms(t0), max(h$height),
            1 - max(h$height)))
