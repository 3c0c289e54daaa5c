# The diagnostic species table as the batch runner shows it, against R on the dune and varespec samples
# and on a random sparse table (weights are the numbers of the cells): IndVal against labdsv::indval on
# the weights, IndVal.PA against labdsv::indval on presence and absence, and phi against the phi
# coefficient of each species' 2 x 2 table of group and presence, with the program's own special cases
# (-1 for a species absent from a group, f / N for a group that covers the table). The hierarchical
# table on dune: each species' highest phi over both levels of Management and Use.
args <- commandArgs(trailingOnly = TRUE)
here <- dirname(sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE)))
source(file.path(here, "common.R"))
batch <- args[1]
dune_file <- args[2]
vare_file <- args[3]
suppressPackageStartupMessages(library(labdsv))

run <- function(table, marked, statement) {
  system2(batch, c("--cover-system", "3", "--print-windows", "--mark-header-rows", marked, "--run",
                   shQuote(paste0("Optionen Dezimalstellen;12;", statement)), table),
          stdout = TRUE, stderr = FALSE)
}

# phi of every species (columns of x) in every group, as the program defines its special cases.
phi_of <- function(x, groups, levels) {
  N <- nrow(x)
  p <- x > 0
  f <- colSums(p)
  sapply(levels, function(g) {
    inside <- groups == g
    n <- sum(inside)
    fi <- colSums(p[inside, , drop = FALSE])
    a <- fi; b <- n - fi; c <- f - fi; d <- N - n - f + fi
    r <- (a * d - b * c) / sqrt((a + b) * (c + d) * (a + c) * (b + d))
    r[fi == 0] <- -1
    r[f == N] <- 0
    if (n == N) r[fi > 0 & f < N] <- f[fi > 0 & f < N] / N
    r[f == 0] <- 0
    r
  })
}

# Phi, IndVal.PA and IndVal per group, read from the window: the group line names each column's group.
check_table <- function(name, file, marked, groups) {
  x <- read_table(file)
  out <- window(run(file, marked, "Berechnen Kennartentabelle;#111 #1"), "Kennartentabelle")
  cells <- strsplit(out, ";", fixed = TRUE)
  group_line <- cells[[1]][-1]
  levels <- unique(group_line)
  titles <- cells[[5]][-1]
  species <- cells[-(1:5)]
  values <- t(sapply(species, function(f) as.numeric(f[-1])))
  column <- function(title) sapply(levels, function(g) which(group_line == g & titles == title))
  folded <- toupper(groups)
  occurs <- colSums(x > 0) > 0
  iv <- indval(x[, occurs], folded)$indval
  ivpa <- indval((x[, occurs] > 0) * 1, folded)$indval
  ours_iv <- values[occurs, column("IndVal"), drop = FALSE]
  ours_pa <- values[occurs, column("IndVal.PA"), drop = FALSE]
  check(paste(name, "IndVal"), as.vector(ours_iv), as.vector(as.matrix(iv[, levels])))
  check(paste(name, "IndVal.PA"), as.vector(ours_pa), as.vector(as.matrix(ivpa[, levels])))
  if (any(!occurs))
    check(paste(name, "IndVal of absent species"), as.vector(values[!occurs, c(column("IndVal"), column("IndVal.PA"))]),
          rep(0, sum(!occurs) * 2 * length(levels)))
  check(paste(name, "phi"), as.vector(values[, column("Phi-Koeffizient"), drop = FALSE]),
        as.vector(phi_of(x, folded, levels)))
}

check_table("dune", dune_file, "4", header_row(dune_file, "Management"))

vare <- read_table(vare_file)
vare_groups <- paste0("g", cutree(hclust(dist(vare), "average"), 4))
vare_table <- tempfile(fileext = ".tab")
write_table(vare_table, vare, list(c("T", "Gruppe", vare_groups)))
check_table("varespec", vare_table, "1", vare_groups)

# A random sparse table: 40 releves, 60 species, about a tenth of the cells filled, five groups; a few
# species absent everywhere and one in every releve.
set.seed(20261212)
nr <- 40
ns <- 60
x <- random_covers(nr, ns)
x[, 1:3] <- 0
x[, 4] <- round(runif(nr, 1, 9))
random_groups <- sample(c("a", "b", "c", "d", "e"), nr, replace = TRUE)
random_table <- tempfile(fileext = ".tab")
write_table(random_table, x, list(c("T", "Gruppe", random_groups)))
check_table("random", random_table, "1", random_groups)

# The hierarchical table on dune: Management, then Management and Use. Each species' value is its
# highest phi over the groups of both levels.
management <- toupper(header_row(dune_file, "Management"))
both <- paste(management, toupper(header_row(dune_file, "Use")), sep = ".")
d <- read_table(dune_file)
out <- window(run(dune_file, "4,5", "Berechnen Hierarchische*Kennartentabelle;#1 #01 #1 #1"), "Kennartentabelle")
cells <- strsplit(out[-1], ";", fixed = TRUE)
ours <- setNames(sapply(cells, function(f) as.numeric(f[3])), sapply(cells, function(f) f[2]))
want <- apply(cbind(phi_of(d, management, unique(management)), phi_of(d, both, unique(both))), 1, max)
check("dune hierarchy highest phi", ours[colnames(d)], unname(want))
# The group each species is assigned to holds its highest phi.
assigned <- setNames(sapply(cells, function(f) f[1]), sapply(cells, function(f) f[2]))
phis <- cbind(phi_of(d, management, unique(management)), phi_of(d, both, unique(both)))
at_group <- sapply(colnames(d), function(s) phis[s, gsub(" ", "", assigned[s])])
check("dune hierarchy assigned groups", unname(at_group), unname(want))

finish()
