#!/usr/bin/python3
"""Writes data/MUs2022.dat, the attenuation-coefficient table the spectrum engine loads.

Usage:  python3 tools/make_attenuation_table.py [output-path]
        (default output: data/MUs2022.dat beside this tools/ folder)

Needs Debian's python3-xraylib (xraylib 4.0). Run it with /usr/bin/python3 if another python3 comes first
on the PATH. Nothing else beyond the standard library; the output is deterministic.

The table has 300 records, record i (i = 1..300) at the photon energy E = 0.5*i keV (0.5 to 150 keV),
seven numbers per record, one record per line, written as "%.6E" separated by ", ":

  column 1  E, keV
  column 2  tungsten  mu, 1/cm = xraylib.CS_Total(74, E) [cm^2/g] * 19.30 g/cm^3
  column 3  aluminium mu, 1/cm = xraylib.CS_Total(13, E) * 2.699
  column 4  copper    mu, 1/cm = xraylib.CS_Total(29, E) * 8.960
  column 5  dry air mu_en/rho, cm^2/g, from the NIST SRD 126 table 4 values in data/nist/air-dry.txt
            (Hubbell & Seltzer): a natural cubic spline through (ln E, ln mu_en/rho) of the points above
            argon's K edge (3.2029 keV, from the upper of the two edge rows up to 200 keV). Records below
            the edge (0.5 to 3.0 keV, never reached by the kerma weighting) repeat the value at 3.2029 keV.
            xraylib's CS_Energy is not used: it is low by up to a third below 60 keV.
  column 6  silver    mu, 1/cm = xraylib.CS_Total(47, E) * 10.50
  column 7  0 (read by the program and never used)

CS_Total is the total cross section with coherent scattering. No record energy coincides with an
absorption edge of W, Al, Cu or Ag, so every coefficient is the one just below or just above an edge as
the energy says (e.g. the tungsten K edge at 69.525 keV lies between the 69.5 and 70.0 keV records).
"""

import math
import os
import sys

import xraylib

RECORDS = 300
STEP_KEV = 0.5
ARGON_K_EDGE_KEV = 3.2029

# Atomic number and density (g/cm^3, the densities NIST uses) of the four metals.
TUNGSTEN = (74, 19.30)
ALUMINIUM = (13, 2.699)
COPPER = (29, 8.960)
SILVER = (47, 10.50)


def read_nist_table(path):
    """Returns the rows (E keV, mu/rho, mu_en/rho) of a NIST table file, skipping '#' comment lines."""
    rows = []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            e, mu, mu_en = (float(v) for v in line.split()[:3])
            rows.append((e, mu, mu_en))
    return rows


class NaturalCubicSpline:
    """Natural cubic spline (zero second derivative at both ends) through points with rising x."""

    def __init__(self, xs, ys):
        n = len(xs)
        if n < 3 or any(b <= a for a, b in zip(xs, xs[1:])):
            raise ValueError("spline needs at least three points with strictly rising x")
        self.xs = list(xs)
        self.ys = list(ys)
        h = [xs[k + 1] - xs[k] for k in range(n - 1)]
        # Tridiagonal system for the second derivatives m[1..n-2]; m[0] = m[n-1] = 0.
        m = [0.0] * n
        diag = [0.0] * n
        rhs = [0.0] * n
        for k in range(1, n - 1):
            diag[k] = 2.0 * (h[k - 1] + h[k])
            rhs[k] = 6.0 * ((ys[k + 1] - ys[k]) / h[k] - (ys[k] - ys[k - 1]) / h[k - 1])
        # Thomas algorithm: sub- and super-diagonal of row k are h[k-1] and h[k].
        for k in range(2, n - 1):
            w = h[k - 1] / diag[k - 1]
            diag[k] -= w * h[k - 1]
            rhs[k] -= w * rhs[k - 1]
        for k in range(n - 2, 0, -1):
            upper = h[k] * m[k + 1] if k + 1 < n - 1 else 0.0
            m[k] = (rhs[k] - upper) / diag[k]
        self.m = m
        self.h = h

    def __call__(self, x):
        xs, ys, m, h = self.xs, self.ys, self.m, self.h
        if x < xs[0] or x > xs[-1]:
            raise ValueError("spline evaluated outside its points: %g" % x)
        k = 0
        while k < len(h) - 1 and x > xs[k + 1]:
            k += 1
        a = (xs[k + 1] - x) / h[k]
        b = (x - xs[k]) / h[k]
        return a * ys[k] + b * ys[k + 1] + ((a**3 - a) * m[k] + (b**3 - b) * m[k + 1]) * h[k] ** 2 / 6.0


def air_mu_en_function(nist_dir):
    """Returns E -> dry-air mu_en/rho (cm^2/g) from the log-log spline of the NIST points above argon's K edge."""
    rows = read_nist_table(os.path.join(nist_dir, "air-dry.txt"))
    edge_rows = [k for k, r in enumerate(rows) if abs(r[0] - ARGON_K_EDGE_KEV) < 1e-6]
    if len(edge_rows) != 2:
        raise ValueError("air-dry.txt should list argon's K edge twice")
    fitted = rows[edge_rows[1]:]
    spline = NaturalCubicSpline([math.log(r[0]) for r in fitted], [math.log(r[2]) for r in fitted])
    lowest = fitted[0][0]

    def mu_en(e):
        return math.exp(spline(math.log(max(e, lowest))))

    return mu_en


def linear_mu(element, e):
    z, density = element
    return xraylib.CS_Total(z, e) * density


def make_records(nist_dir):
    air = air_mu_en_function(nist_dir)
    records = []
    for i in range(1, RECORDS + 1):
        e = STEP_KEV * i
        records.append((e, linear_mu(TUNGSTEN, e), linear_mu(ALUMINIUM, e), linear_mu(COPPER, e), air(e),
                        linear_mu(SILVER, e), 0.0))
    return records


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "MUs2022.dat")
    records = make_records(os.path.join(root, "data", "nist"))
    with open(out_path, "w", encoding="ascii", newline="\n") as f:
        for rec in records:
            f.write(", ".join("%.6E" % v for v in rec) + "\n")
    print("wrote %d records to %s" % (len(records), out_path))


if __name__ == "__main__":
    main()
