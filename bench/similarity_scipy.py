"""The same work in SciPy as bench_similarity, on the same table: pdist "cosine" of the cover values
(1 - Ochiai), pdist "jaccard" of the presences (a boolean matrix), and linkage "average" of the cosine
distances, the matrix bench_similarity clusters. With CELLS (the cells bench_similarity wrote:
"i j code value") it prints the largest difference from ours per measure.

Usage: python3 bench/similarity_scipy.py TABLE [CELLS]
"""
import resource
import sys
import time

import numpy as np
import scipy
from scipy.cluster.hierarchy import linkage
from scipy.spatial.distance import pdist


def ms(t0):
    return 1000 * (time.perf_counter() - t0)


def peak_mb():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def read_table(path):
    """The species part as a releves x species matrix of numbers (empty and unreadable cells 0)."""
    rows = []
    with open(path, encoding="cp1252", newline="") as f:
        for line in f:
            if not line.startswith("A;"):
                continue
            fields = np.array(line.rstrip("\r\n").split(";")[3:])
            row = np.zeros(len(fields))
            filled = np.flatnonzero(fields != "")
            for k in filled:
                try:
                    row[k] = float(fields[k])
                except ValueError:
                    pass
            rows.append(row)
    return np.ascontiguousarray(np.array(rows).T)


def condensed(n, i, j):
    """The place of the cell (i, j), i > j, counted from 0, in pdist's condensed matrix."""
    i, j = np.maximum(i, j), np.minimum(i, j)
    return n * j - j * (j + 1) // 2 + i - j - 1


def main():
    table = sys.argv[1]
    t0 = time.perf_counter()
    x = read_table(table)
    n = x.shape[0]
    print("SciPy %s, NumPy %s: read %d releves x %d species: %.0f ms" % (scipy.__version__, np.__version__, n,
                                                                        x.shape[1], ms(t0)), flush=True)
    t0 = time.perf_counter()
    cosine = pdist(x, "cosine")
    print("SciPy: pdist cosine: %.0f ms" % ms(t0), flush=True)
    presence = x > 0
    t0 = time.perf_counter()
    jaccard = pdist(presence, "jaccard")
    print("SciPy: pdist jaccard (boolean): %.0f ms" % ms(t0), flush=True)
    if len(sys.argv) > 2:
        ours = np.loadtxt(sys.argv[2], ndmin=2)
        i = ours[:, 0].astype(np.int64) - 1
        j = ours[:, 1].astype(np.int64) - 1
        code, value = ours[:, 2], ours[:, 3]

        def diff(c, theirs):
            sel = code == c
            return np.max(np.abs(theirs[condensed(n, i[sel], j[sel])] - value[sel])) if sel.any() else float("nan")

        print("SciPy: largest difference from ours on %d cells: Ochiai %.3g, Jaccard %.3g"
              % (int((code == 41).sum()), diff(41, 1 - cosine), diff(43, 1 - jaccard)), flush=True)
    del jaccard
    t0 = time.perf_counter()
    tree = linkage(cosine, method="average")
    print("SciPy: linkage average of 1 - Ochiai: %.0f ms (root at %.6g, that is Ochiai %.6g)"
          % (ms(t0), tree[-1, 2], 1 - tree[-1, 2]), flush=True)
    print("SciPy: peak memory %.0f MB" % peak_mb())


if __name__ == "__main__":
    main()
