# Indicator values derived from header rows ("Zeigerwerte herleiten") as the batch runner shows them,
# against R on the dune sample: per species the mean, the cover-weighted mean (weighted.mean), the
# standard deviation and the median of the soil thickness (A1) and of the moisture over the releves
# where the species is present; per category of Management the weighted mean of A1; and the quantile
# histogram of A1. Then the releves' mean and cover-weighted mean of an indicator list generated here,
# imported into the sample species database through the batch runner; and the community-weighted means
# of the published species traits of the Aravo sample.
args <- commandArgs(trailingOnly = TRUE)
here <- dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE)))
source(file.path(here, "common.R"))
batch <- args[1]
dune_file <- args[2]
species_list <- args[3]

run <- function(table, marked, statement) {
  out <- system2(batch, c("--cover-system", "3", "--print-windows", "--mark-header-rows", marked, "--run",
                          shQuote(paste0("Optionen Dezimalstellen;12;", statement)), table),
                 stdout = TRUE, stderr = FALSE)
  status <- attr(out, "status")
  if (!is.null(status) && status != 0) stop("the batch runner failed on ", statement)
  out
}

# Missing values must be missing on both sides.
check <- function(what, got, want, tol = 1e-9) {
  ok <- length(got) == length(want) && all(is.na(got) == is.na(want)) &&
    all(abs(got[!is.na(got)] - want[!is.na(want)]) <= tol)
  if (ok) {
    cat("ok:", what, "\n")
  } else {
    cat("FAILED:", what, "\n")
    if (length(got) == length(want)) print(head(cbind(got = as.vector(got), want = as.vector(want)), 10))
    failures <<- failures + 1
  }
}
numbers <- function(cells) suppressWarnings(as.numeric(ifelse(cells == "NA", NA, cells)))

x <- read_table(dune_file)
a1 <- as.numeric(header_row(dune_file, "A1"))
moisture <- as.numeric(header_row(dune_file, "Moisture"))

# Mean, weighted mean and standard deviation (first group), median (second group) of A1 and Moisture.
lines <- window(run(dune_file, "2,3", "Zeigerwerte Zeigerwerte*herleiten;#10110000000000001"), "Zeigerwerte")
if (!startsWith(lines[1], "Zeigerwerte")) stop("the window does not begin with the title line")
if (!startsWith(lines[2], "Species s 128 t r;")) stop("the definition line is ", lines[2])
cells <- do.call(rbind, strsplit(lines[-(1:2)], ";", fixed = TRUE))
if (!identical(cells[, 1], colnames(x))) stop("the species lines are not the table's species")
per_species <- function(h, f) sapply(seq_len(ncol(x)), function(j) f(h[x[, j] > 0], x[x[, j] > 0, j]))
sd_or_na <- function(v, w) if (length(v) > 1) sd(v) else NA
for (k in 1:2) {
  h <- list(a1, moisture)[[k]]
  name <- c("A1", "Moisture")[k]
  got <- cells[, 1 + (k - 1) * 4 + 1:4]
  check(paste(name, "mean of the occurrences"), numbers(got[, 1]), per_species(h, function(v, w) mean(v)))
  check(paste(name, "cover-weighted mean"), numbers(got[, 2]), per_species(h, weighted.mean))
  check(paste(name, "standard deviation"), numbers(got[, 3]), per_species(h, sd_or_na))
  check(paste(name, "median"), numbers(got[, 4]), per_species(h, function(v, w) median(v)))
}

# Per category of Management (row 4) the weighted mean of A1.
management <- header_row(dune_file, "Management")
categories <- sort(unique(toupper(management)))
lines <- window(run(dune_file, "2", "Zeigerwerte Zeigerwerte*kategorienweise;4 #001"), "Zeigerwerte")
if (lines[2] != paste0("Species s 128 t r", paste0(";gew_", categories, "_A1 s 24", collapse = "")))
  stop("the definition line is ", lines[2])
cells <- do.call(rbind, strsplit(lines[-(1:2)], ";", fixed = TRUE))
for (k in seq_along(categories)) {
  inside <- toupper(management) == categories[k]
  want <- sapply(seq_len(ncol(x)), function(j) {
    p <- inside & x[, j] > 0
    if (any(p)) weighted.mean(a1[p], x[p, j]) else NA
  })
  check(paste("A1 weighted mean in Management", categories[k]), numbers(cells[, 1 + k]), want)
}

# The quantile histogram of A1 at the bound 0.3: quantile(type = 7) of the occurrences, and the numbers
# of occurrences per unit below and above it.
lines <- window(run(dune_file, "2", "Zeigerwerte Quantil-Histogramm*Werte;0.3 1"), "Zeigerwerte")
cells <- do.call(rbind, strsplit(lines[-1], ";", fixed = TRUE))
check("A1 quantile 0.3 of the occurrences", numbers(cells[, 2]),
      per_species(a1, function(v, w) unname(quantile(v, 0.3))))
below <- per_species(a1, function(v, w) {
  q <- unname(quantile(v, 0.3))
  if (q > min(v)) sum(v <= q) / (q - min(v)) else NA
})
check("A1 occurrences per unit up to the quantile", numbers(cells[, 3]), below)

# Releve means through an indicator list. The values are generated (they are no real indicator values):
# L an integer for every species but two, F with one decimal and three gaps. Achillea millefolium is
# left out, since its name finds both the species and its aggregate in the sample database; Bromus
# hordeaceus is listed under its synonym Bromus mollis L., whose values belong to the accepted name.
set.seed(16)
species <- colnames(x)
listed <- !(species %in% c("Achillea millefolium", "Bellis perennis", "Empetrum nigrum"))
L <- sample(1:9, length(species), replace = TRUE)
F <- round(runif(length(species), 1, 9), 1)
F[c(3, 8, 13)] <- NA
folder <- tempfile("indicators")
dir.create(folder)
list_file <- file.path(folder, "zeigerwerte.txt")
names_in_list <- ifelse(species == "Bromus hordeaceus", "Bromus mollis L.", species)
writeLines(c("Zeigerwerte generiert", "Art s 60 t r\tL i 0 f f\tF s 5 f f",
             paste(names_in_list, L, ifelse(is.na(F), "", format(F, nsmall = 1)), sep = "\t")[listed]),
           list_file, sep = "\r\n")
saved <- file.path(folder, "dune.tab")
status <- system2(batch, c("--species-db", file.path(folder, "arten.adb"), "--import-species-list", species_list,
                           "--import-indicators", list_file, "--indicator-list", "3", "--cover-system", "3",
                           "--run", shQuote("Optionen Dezimalstellen;12;Zeigerwerte Mittlere*Aufnahmen;#1 1,2 #101"),
                           "--save", saved, dune_file), stdout = FALSE, stderr = FALSE)
if (status != 0) stop("the batch runner failed on the releve means")
means <- function(v) {
  v[!listed] <- NA
  present <- x > 0 & matrix(!is.na(v), nrow(x), ncol(x), byrow = TRUE)
  list(mean = sapply(seq_len(nrow(x)), function(i) if (any(present[i, ])) mean(v[present[i, ]]) else NA),
       weighted = sapply(seq_len(nrow(x)), function(i)
         if (any(present[i, ])) weighted.mean(v[present[i, ]], x[i, present[i, ]]) else NA))
}
for (k in 1:2) {
  name <- c("L", "F")[k]
  want <- means(list(L, F)[[k]])
  check(paste("releve mean of", name), numbers(header_row(saved, name)), want$mean)
  check(paste("releve cover-weighted mean of", name), numbers(header_row(saved, paste0("gew_", name))),
        want$weighted)
}

# The Aravo sample: its species list and trait list imported, the abundance-weighted mean of every trait
# per releve, against weighted.mean over the releve's species.
samples <- dirname(dune_file)
aravo_file <- file.path(samples, "aravo.tab")
traits <- read.delim(file.path(samples, "aravo_merkmale.txt"), skip = 1, check.names = FALSE)
colnames(traits) <- sub(" .*", "", colnames(traits))  # the definitions' names
y <- read_table(aravo_file)
if (!identical(traits[, 1], colnames(y))) stop("the trait list does not name the table's species in order")
saved <- file.path(folder, "aravo.tab")
statement <- paste0("Optionen Dezimalstellen;12;Zeigerwerte Mittlere*Aufnahmen;#1 ",
                    paste(seq_len(ncol(traits) - 1), collapse = ","), " #001")
messages <- system2(batch, c("--species-db", file.path(folder, "aravo.adb"), "--import-species-list",
                             file.path(samples, "aravo_artenliste.txt"), "--import-indicators",
                             file.path(samples, "aravo_merkmale.txt"), "--cover-system", "3",
                             "--run", shQuote(statement), "--save", saved, aravo_file), stdout = TRUE, stderr = TRUE)
if (!is.null(attr(messages, "status"))) stop("the batch runner failed on the Aravo traits: ", messages)
if (length(messages) > 0) fail("the Aravo lists import with messages:", messages)
for (trait in colnames(traits)[-1]) {
  v <- traits[[trait]]
  want <- sapply(seq_len(nrow(y)), function(i) weighted.mean(v[y[i, ] > 0], y[i, y[i, ] > 0]))
  check(paste("Aravo community-weighted mean of", trait), numbers(header_row(saved, paste0("gew_", trait))), want)
}

finish()
