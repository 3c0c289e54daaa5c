# The same work in R as bench_similarity: the Euclidean distances of the releves of a table of numbers
# (dist) and their average-linkage clustering (hclust). Usage: Rscript bench/similarity_r.R TABLE
args <- commandArgs(trailingOnly = TRUE)
lines <- readLines(args[1], encoding = "latin1")
species <- lines[startsWith(lines, "A;")]
t0 <- Sys.time()
cells <- strsplit(species, ";", fixed = TRUE)
n <- max(lengths(cells)) - 3
m <- t(vapply(cells, function(f) { v <- suppressWarnings(as.numeric(f[-(1:3)])); length(v) <- n; v[is.na(v)] <- 0; v },
              numeric(n)))
cat(sprintf("R: read %d releves x %d species: %.0f ms\n", ncol(m), nrow(m), 1000 * as.numeric(Sys.time() - t0, units = "secs")))
t0 <- Sys.time()
d <- dist(t(m))
cat(sprintf("R: dist (Euclidean): %.0f ms\n", 1000 * as.numeric(Sys.time() - t0, units = "secs")))
t0 <- Sys.time()
h <- hclust(d, method = "average")
cat(sprintf("R: hclust average: %.0f ms (root at %.6g)\n", 1000 * as.numeric(Sys.time() - t0, units = "secs"), max(h$height)))
