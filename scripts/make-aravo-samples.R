# Writes the Aravo samples of data/samples from the data set aravo of the R package ade4 (Debian package
# r-cran-ade4, which the project does not otherwise need): the table aravo.tab, the species list
# aravo_artenliste.txt and the list of species traits aravo_merkmale.txt. The values are copied as they
# are; names lose only their doubled and trailing blanks.
#   Rscript scripts/make-aravo-samples.R data/samples
library(ade4)
data(aravo)
out <- commandArgs(trailingOnly = TRUE)[1]
crlf <- function(lines, file) {
  con <- file(file, "wb")
  writeBin(charToRaw(paste0(paste(lines, collapse = "\r\n"), "\r\n")), con)
  close(con)
}
clean <- function(s) gsub(" +", " ", trimws(s))
names <- clean(unname(aravo$spe.names))
stopifnot(!anyDuplicated(names), identical(names(aravo$spe.names), colnames(aravo$spe)),
          identical(rownames(aravo$traits), colnames(aravo$spe)), identical(rownames(aravo$env), rownames(aravo$spe)))

# The table: the sites as releves, the environmental variables as header rows, the abundance classes 1-5.
env <- aravo$env
header <- c(paste(c("I", "Aufnahme", "", rownames(aravo$spe)), collapse = ";"),
            paste(c("I", "Aspect", ",Rrelative south aspect (opposite of the sine of aspect, flat 0)", env$Aspect), collapse = ";"),
            paste(c("I", "Slope", ",Rslope inclination (degrees)", env$Slope), collapse = ";"),
            paste(c("I", "Form", ",Rmicrotopographic landform index: 1 convexity ... 5 concavity", as.character(env$Form)), collapse = ";"),
            paste(c("I", "PhysD", ",Rphysical disturbance (% unvegetated soil)", env$PhysD), collapse = ";"),
            paste(c("T", "ZoogD", ",Rzoogenic disturbance by marmots", as.character(env$ZoogD)), collapse = ";"),
            paste(c("I", "Snow", ",Rmean snowmelt date (Julian day, 1997-1999)", env$Snow), collapse = ";"))
species <- sapply(seq_along(names), function(j) {
  v <- aravo$spe[, j]
  paste(c("A", names[j], "", ifelse(v == 0, "", as.character(v))), collapse = ";")
})
crlf(c(header, species), file.path(out, "aravo.tab"))

# The species list: the name split into genus, epithet and the rest; taxon numbers 2001 ... 2082.
defs <- strsplit(readLines(file.path(out, "artenliste.txt"), n = 2, encoding = "UTF-8")[2], "\t")[[1]]
defs <- sub("\r$", "", defs)
words <- strsplit(names, " ")
records <- sapply(seq_along(words), function(k) {
  w <- words[[k]]
  cells <- rep("", length(defs))
  cells[1:4] <- c(k, w[1], w[2], paste(w[-(1:2)], collapse = " "))
  cells[16] <- 2000 + k
  cells[29] <- "A"
  paste(cells, collapse = "\t")
})
crlf(c("Artenliste\tAravo (Valloire, Frankreich): alpine Rasen, Choler (2005), aus dem R-Paket ade4",
       paste(defs, collapse = "\t"), records), file.path(out, "aravo_artenliste.txt"))

# The traits, one column each, under the names of the data set.
traits <- aravo$traits
crlf(c("Zeigerwerte Aravo: Pflanzenmerkmale, Choler (2005), aus dem R-Paket ade4",
       paste(c("Art s 80 t r", paste(colnames(traits), "f 0 f f")), collapse = "\t"),
       apply(cbind(names, format(traits, trim = TRUE, scientific = FALSE, drop0trailing = TRUE)), 1, paste,
             collapse = "\t")),
     file.path(out, "aravo_merkmale.txt"))
