#!/usr/bin/env python3
"""Builds the observer table data/XYZ2.txt and the illuminant table data/ILLUM.txt.

Sources: the CIE tables that Debian's colord-data package installs under
/usr/share/colord (CGATS-like files "cmf/*.cmf", "illuminant/*.sp" and the CIE
daylight basis "ref/CIE-1986-daylight-SPD.cmf").

XYZ2.txt, 380 to 780 nm in 5 nm steps:
    wavelength, CIE 1931 2 degree x y z, CIE 1964 10 degree x y z.
ILLUM.txt, 300 to 780 nm in 5 nm steps, relative spectral power as published
(A, E and the daylight illuminants 100 at 560 nm):
    wavelength, A, D65, C, E, D93, F2, F11, D50, D55, D75.
The instrument library maps file columns 1, 3, 2, 8, 9, 10 to its illuminant
indexes 1 to 6 (A, C, D65, D50, D55, D75) and skips columns 4 to 7.

The daylight illuminants D50, D55, D75 and D93 are computed with the CIE daylight
formula from the S0, S1, S2 basis over the whole range (the published D50 and D55
tables are checked against them); D65 and A come from the published tables.
C and the fluorescent F-series are published from 380 nm only: their rows below
380 nm hold 0 (the library weighs only 380 nm and above).

Each file starts with one ";" comment line, which the loader skips.
Run:  scripts/make_cie_tables.py [--source /usr/share/colord] [--out data]
"""

import argparse
import os
import sys

FIRST_ILLUMINANT_NM = 300
FIRST_OBSERVER_NM = 380
LAST_NM = 780
STEP_NM = 5

# Correlated colour temperatures of the named daylight illuminants on the
# pre-1968 temperature scale; the CIE defines them via the ratio c2 = 1.4388e-2 / 1.438e-2.
C2_RATIO = 1.4388 / 1.438
DAYLIGHT_NOMINAL_CCT = {"D50": 5000.0, "D55": 5500.0, "D65": 6500.0, "D75": 7500.0, "D93": 9300.0}

# Largest tolerated difference between a formula-built daylight illuminant and
# its published table, which colord-data rounds to 0.1 (relative power, 560 nm = 100).
DAYLIGHT_CHECK_TOLERANCE = 0.1


def read_cgats_spectra(path):
    """Returns (start_nm, end_nm, rows) with rows a list of value lists, one per data set."""
    keywords = {}
    rows = []
    in_data = False
    with open(path, encoding="ascii") as handle:
        for line in handle:
            text = line.strip()
            if text == "BEGIN_DATA":
                in_data = True
                continue
            if text == "END_DATA":
                in_data = False
                continue
            if in_data:
                rows.append([float(item) for item in text.split()])
                continue
            parts = text.split(None, 1)
            if len(parts) == 2:
                keywords[parts[0]] = parts[1].strip('"')
    start = float(keywords["SPECTRAL_START_NM"])
    end = float(keywords["SPECTRAL_END_NM"])
    for row in rows:
        if len(row) != int(keywords["SPECTRAL_BANDS"]):
            raise ValueError(f"{path}: data set has {len(row)} values, expected {keywords['SPECTRAL_BANDS']}")
    return start, end, rows


def sample(path, set_index, wavelengths, scale, missing=None):
    """Values of one data set at the given wavelengths (which must lie on the file's grid)."""
    start, end, rows = read_cgats_spectra(path)
    values = rows[set_index]
    step = (end - start) / (len(values) - 1)
    result = []
    for nm in wavelengths:
        position = (nm - start) / step
        index = round(position)
        if nm < start - 1e-9 or nm > end + 1e-9:
            if missing is None:
                raise ValueError(f"{path}: no value at {nm} nm")
            result.append(missing)
            continue
        if abs(position - index) > 1e-6:
            raise ValueError(f"{path}: {nm} nm is not on the file's wavelength grid")
        result.append(values[index] * scale)
    return result


def daylight(basis_path, nominal_cct, wavelengths):
    """CIE daylight illuminant from the S0, S1, S2 basis, M1 and M2 rounded to three decimals."""
    cct = nominal_cct * C2_RATIO
    if cct <= 7000.0:
        xd = -4.6070e9 / cct**3 + 2.9678e6 / cct**2 + 0.09911e3 / cct + 0.244063
    else:
        xd = -2.0064e9 / cct**3 + 1.9018e6 / cct**2 + 0.24748e3 / cct + 0.237040
    yd = -3.000 * xd * xd + 2.870 * xd - 0.275
    m = 0.0241 + 0.2562 * xd - 0.7341 * yd
    m1 = round((-1.3515 - 1.7703 * xd + 5.9114 * yd) / m, 3)
    m2 = round((0.0300 - 31.4424 * xd + 30.0717 * yd) / m, 3)
    s0 = sample(basis_path, 0, wavelengths, 1.0)
    s1 = sample(basis_path, 1, wavelengths, 1.0)
    s2 = sample(basis_path, 2, wavelengths, 1.0)
    return [a + m1 * b + m2 * c for a, b, c in zip(s0, s1, s2)]


def check_against_published(name, computed, published_path, wavelengths):
    published = sample(published_path, 0, wavelengths, 100.0, missing=None)
    worst = max(abs(a - b) for a, b in zip(computed, published))
    if worst > DAYLIGHT_CHECK_TOLERANCE:
        raise ValueError(f"{name} from the daylight formula differs from {published_path} by {worst:.4f}")


def grid(first_nm):
    return list(range(first_nm, LAST_NM + 1, STEP_NM))


def format_value(value):
    text = f"{value:.7g}"
    return "0" if text == "-0" else text


def write_table(path, comment, wavelengths, columns):
    with open(path, "w", encoding="ascii", newline="\n") as handle:
        handle.write("; " + comment + "\n")
        for row, nm in enumerate(wavelengths):
            handle.write("\t".join([str(nm)] + [format_value(column[row]) for column in columns]) + "\n")


def make_observer_table(source, out_dir):
    wavelengths = grid(FIRST_OBSERVER_NM)
    columns = []
    for file_name in ("CIE1931-2deg-XYZ.cmf", "CIE1964-10deg-XYZ.cmf"):
        path = os.path.join(source, "cmf", file_name)
        columns += [sample(path, index, wavelengths, 1.0) for index in range(3)]
    comment = ("CIE colour-matching functions, 380-780 nm in 5 nm steps: wavelength, "
               "CIE 1931 2 deg xbar ybar zbar, CIE 1964 10 deg xbar ybar zbar; "
               "from the CIE tables in colord-data (cmf/CIE1931-2deg-XYZ.cmf, cmf/CIE1964-10deg-XYZ.cmf), "
               "written by scripts/make_cie_tables.py")
    write_table(os.path.join(out_dir, "XYZ2.txt"), comment, wavelengths, columns)


def make_illuminant_table(source, out_dir):
    wavelengths = grid(FIRST_ILLUMINANT_NM)
    published = os.path.join(source, "illuminant")
    basis = os.path.join(source, "ref", "CIE-1986-daylight-SPD.cmf")

    def table(name, missing=None):
        return sample(os.path.join(published, f"CIE-{name}.sp"), 0, wavelengths, 100.0, missing)

    formula = {name: daylight(basis, DAYLIGHT_NOMINAL_CCT[name], wavelengths) for name in ("D50", "D55", "D75", "D93")}
    visible = grid(FIRST_OBSERVER_NM)
    offset = len(wavelengths) - len(visible)
    for name in ("D50", "D55", "D93"):
        check_against_published(name, formula[name][offset:], os.path.join(published, f"CIE-{name}.sp"), visible)

    equal_energy = [100.0] * len(wavelengths)
    columns = [table("A"), table("D65"), table("C", missing=0.0), equal_energy, formula["D93"],
               table("F2", missing=0.0), table("F11", missing=0.0),
               formula["D50"], formula["D55"], formula["D75"]]
    comment = ("CIE illuminants, relative spectral power (A, E and D-series 100 at 560 nm), 300-780 nm in 5 nm steps: wavelength, "
               "A, D65, C, E, D93, F2, F11, D50, D55, D75; A, D65, C, F2, F11 from the CIE tables in colord-data "
               "(illuminant/*.sp), D50, D55, D75, D93 from the CIE daylight formula with the S0 S1 S2 basis "
               "(ref/CIE-1986-daylight-SPD.cmf); C, F2 and F11 are published from 380 nm only and hold 0 below; "
               "written by scripts/make_cie_tables.py")
    write_table(os.path.join(out_dir, "ILLUM.txt"), comment, wavelengths, columns)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", default="/usr/share/colord", help="colord-data's colour folder")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
    arguments = parser.parse_args()
    try:
        make_observer_table(arguments.source, arguments.out)
        make_illuminant_table(arguments.source, arguments.out)
    except (OSError, ValueError, KeyError) as error:
        print(f"make_cie_tables: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
