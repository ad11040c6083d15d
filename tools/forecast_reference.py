#!/usr/bin/env python3
"""Independent reference for the satellite forecast: satellites above the mask and their
HDOP, VDOP and PDOP from a YUMA GPS almanac, for one observer at evenly spaced instants.

Written apart from the C++ forecaster, with plain math only, from the published GPS user
algorithm: Kepler's equation solved to machine precision, the true anomaly by atan2, the
node rotated by the earth's rate since the week's start; the observer on WGS84 by the closed
geodetic formulas; the DOPs from the inverse of the 4 x 4 normal matrix (east, north, up,
clock) by Gauss-Jordan elimination. Geometric directions at the instant: no light time, no
refraction. Unhealthy satellites are left out; a satellite counts at or above the mask.

    tools/forecast_reference.py ALMANAC.yuma --start 2015-05-06T00:00:00 --days 7 --count 500 \
        --lat 57 --lon 2 --height 50 --mask 10 > tests/.../forecast_reference.txt

The start is GPS time; each output line gives the instant as UTC seconds since 1970 (what
the forecaster takes), the satellite count and the three DOPs ("nan" when not determined).
"""

import argparse
import calendar
import math
import sys

MU = 3.986005e14
EARTH_RATE = 7.2921151467e-5
WGS84_A = 6378137.0
WGS84_F = 1.0 / 298.257223563
GPS_EPOCH = 315964800  # 1980-01-06 00:00:00 UTC as seconds since 1970
WEEK = 604800.0
# (first UTC day, GPS - UTC from then on)
LEAPS = [("1981-07-01", 1), ("1982-07-01", 2), ("1983-07-01", 3), ("1985-07-01", 4), ("1988-01-01", 5),
         ("1990-01-01", 6), ("1991-01-01", 7), ("1992-07-01", 8), ("1993-07-01", 9), ("1994-07-01", 10),
         ("1996-01-01", 11), ("1997-07-01", 12), ("1999-01-01", 13), ("2006-01-01", 14), ("2009-01-01", 15),
         ("2012-07-01", 16), ("2015-07-01", 17), ("2017-01-01", 18)]


def unix(text):
    date, _, clock = text.partition("T")
    y, m, d = (int(x) for x in date.split("-"))
    hh, mm, ss = (int(x) for x in (clock or "00:00:00").split(":"))
    return calendar.timegm((y, m, d, hh, mm, ss))


def leap_seconds_at_gps(gps_unix):
    """GPS - UTC for an instant given as GPS time counted like UNIX seconds."""
    offset = 0
    for day, value in LEAPS:
        if gps_unix - value >= unix(day):
            offset = value
    return offset


def read_yuma(path):
    sats = []
    current = {}
    keys = {"ID": "prn", "Health": "health", "Eccentricity": "e", "Time of Applicability(s)": "toa",
            "Orbital Inclination(rad)": "i0", "Rate of Right Ascen(r/s)": "omega_dot",
            "SQRT(A)  (m 1/2)": "sqrt_a", "Right Ascen at Week(rad)": "omega0",
            "Argument of Perigee(rad)": "w", "Mean Anom(rad)": "m0", "week": "week"}
    with open(path) as f:
        for line in f:
            if ":" not in line:
                continue
            name, _, value = line.partition(":")
            name = name.strip()
            if name in keys:
                current[keys[name]] = float(value)
            if name == "week":
                sats.append(current)
                current = {}
    return sats


def full_week(week, near_gps_seconds):
    near_week = near_gps_seconds / WEEK
    best = week
    for rollovers in range(4):
        candidate = week + 1024 * rollovers
        if abs(candidate - near_week) < abs(best - near_week):
            best = candidate
    return best


def satellite_ecef(sat, gps_seconds):
    a = sat["sqrt_a"] ** 2
    n = math.sqrt(MU / a ** 3)
    tk = gps_seconds - (sat["full_week"] * WEEK + sat["toa"])
    m = sat["m0"] + n * tk
    e = sat["e"]
    big_e = m
    for _ in range(100):
        nxt = m + e * math.sin(big_e)
        if abs(nxt - big_e) < 1e-15:
            big_e = nxt
            break
        big_e = nxt
    nu = math.atan2(math.sqrt(1 - e * e) * math.sin(big_e), math.cos(big_e) - e)
    u = nu + sat["w"]
    r = a * (1 - e * math.cos(big_e))
    xp, yp = r * math.cos(u), r * math.sin(u)
    node = sat["omega0"] + (sat["omega_dot"] - EARTH_RATE) * tk - EARTH_RATE * sat["toa"]
    i = sat["i0"]
    return (xp * math.cos(node) - yp * math.cos(i) * math.sin(node),
            xp * math.sin(node) + yp * math.cos(i) * math.cos(node),
            yp * math.sin(i))


def observer(lat_deg, lon_deg, h):
    lat, lon = math.radians(lat_deg), math.radians(lon_deg)
    e2 = WGS84_F * (2 - WGS84_F)
    nrad = WGS84_A / math.sqrt(1 - e2 * math.sin(lat) ** 2)
    origin = ((nrad + h) * math.cos(lat) * math.cos(lon), (nrad + h) * math.cos(lat) * math.sin(lon),
              (nrad * (1 - e2) + h) * math.sin(lat))
    east = (-math.sin(lon), math.cos(lon), 0.0)
    north = (-math.sin(lat) * math.cos(lon), -math.sin(lat) * math.sin(lon), math.cos(lat))
    up = (math.cos(lat) * math.cos(lon), math.cos(lat) * math.sin(lon), math.sin(lat))
    return origin, east, north, up


def invert(matrix):
    size = len(matrix)
    work = [row[:] + [1.0 if r == c else 0.0 for c in range(size)] for r, row in enumerate(matrix)]
    for col in range(size):
        pivot = max(range(col, size), key=lambda r: abs(work[r][col]))
        if abs(work[pivot][col]) < 1e-12:
            return None
        work[col], work[pivot] = work[pivot], work[col]
        scale = work[col][col]
        work[col] = [v / scale for v in work[col]]
        for r in range(size):
            if r != col:
                factor = work[r][col]
                work[r] = [v - factor * p for v, p in zip(work[r], work[col])]
    return [row[size:] for row in work]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("almanac")
    parser.add_argument("--start", required=True, help="GPS time, YYYY-MM-DDTHH:MM:SS")
    parser.add_argument("--days", type=float, default=7.0)
    parser.add_argument("--count", type=int, default=500)
    parser.add_argument("--lat", type=float, required=True)
    parser.add_argument("--lon", type=float, required=True)
    parser.add_argument("--height", type=float, default=0.0)
    parser.add_argument("--mask", type=float, default=10.0, help="degrees")
    args = parser.parse_args()

    start_gps = unix(args.start) - GPS_EPOCH
    sats = [s for s in read_yuma(args.almanac) if int(s["health"]) == 0]
    for s in sats:
        s["full_week"] = full_week(int(s["week"]), start_gps)
    origin, east, north, up = observer(args.lat, args.lon, args.height)
    sin_mask = math.sin(math.radians(args.mask))
    step = args.days * 86400.0 / args.count

    out = sys.stdout
    out.write("# %s, %d healthy satellites\n" % (args.almanac.split("/")[-1], len(sats)))
    out.write("# observer %.6f %.6f %.3f m, mask %.3f deg, start %s GPS, %d instants over %g days\n"
              % (args.lat, args.lon, args.height, args.mask, args.start, args.count, args.days))
    out.write("# utc_seconds count hdop vdop pdop\n")
    for k in range(args.count):
        gps = start_gps + k * step
        rows = []
        for s in sats:
            x = satellite_ecef(s, gps)
            d = [x[j] - origin[j] for j in range(3)]
            rng = math.sqrt(sum(v * v for v in d))
            enu = [sum(axis[j] * d[j] for j in range(3)) / rng for axis in (east, north, up)]
            if enu[2] >= sin_mask:
                rows.append(enu + [1.0])
        dops = ("nan", "nan", "nan")
        if len(rows) >= 4:
            normal = [[sum(r[a] * r[b] for r in rows) for b in range(4)] for a in range(4)]
            q = invert(normal)
            if q is not None:
                dops = ("%.9f" % math.sqrt(q[0][0] + q[1][1]), "%.9f" % math.sqrt(q[2][2]),
                        "%.9f" % math.sqrt(q[0][0] + q[1][1] + q[2][2]))
        gps_unix = gps + GPS_EPOCH
        utc = gps_unix - leap_seconds_at_gps(gps_unix)
        out.write("%.3f %d %s %s %s\n" % (utc, len(rows), dops[0], dops[1], dops[2]))


if __name__ == "__main__":
    main()
