# Frequency, constancy and total cover of the species and species count and total cover of the releves,
# as the batch runner computes them for the dune sample, against vegan's dune data.
args <- commandArgs(trailingOnly = TRUE)
batch <- args[1]
table <- args[2]

out <- system2(batch, c("--stats", "--cover-system", "3", table), stdout = TRUE, stderr = TRUE)
status <- attr(out, "status")
if (!is.null(status) && status != 0) stop("the batch runner failed: ", paste(out, collapse = "\n"))
split <- which(out == "Aufnahme;Artenzahl;Gesamtdeckung")
stopifnot(out[1] == "Art;Frequenz;Stetigkeit;Gesamtdeckung", length(split) == 1)
species <- read.table(text = out[2:(split - 1)], sep = ";", quote = "", comment.char = "", stringsAsFactors = FALSE)
releves <- read.table(text = out[(split + 1):length(out)], sep = ";")

suppressPackageStartupMessages(library(vegan))
data(dune)
data(dune.taxon)

failures <- 0
check <- function(what, got, want) {
  if (isTRUE(all.equal(as.numeric(got), as.numeric(want), tolerance = 1e-12, check.attributes = FALSE))) {
    cat("ok:", what, "\n")
  } else {
    cat("FAILED:", what, "\n")
    print(data.frame(got = got, want = as.numeric(want)))
    failures <<- failures + 1
  }
}
stopifnot(nrow(species) == ncol(dune), nrow(releves) == nrow(dune))
# The sample writes the species out in full, in the data set's order.
check("species order", all(sub(" .*", "", species[[1]]) == as.character(dune.taxon$Genus)), TRUE)
check("frequency", species[[2]], colSums(dune > 0))
check("constancy", species[[3]], colMeans(dune > 0))
check("species cover", species[[4]], colSums(dune))
check("species count", releves[[2]], specnumber(dune))
check("releve cover", releves[[3]], rowSums(dune))
cat(6 - failures, "passed,", failures, "failed\n")
quit(status = if (failures == 0) 0 else 1)
