#!/usr/bin/env python3
"""Draws the scaling curves measured by tapwise_scaling as SVG files and prints their fits.

Usage: plot_curves.py CSV_DIRECTORY SVG_DIRECTORY

Standard library only: the SVG is written by hand. Where the work grows linearly (rules,
text size) each series gets a dashed line of slope one through its middle point, so that a
curve that bends away from its line grows faster (or slower) than linearly; the printed fits
say by how much: the exponent k of a power law c * n^k and the cost per unit of a straight
line a + b * n, both least squares.
"""

import csv
import math
import os
import sys

WIDTH, HEIGHT = 800, 450
LEFT, RIGHT, TOP, BOTTOM = 90, 260, 50, 60
COLORS = ["#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd", "#8c564b"]


def read_rows(directory, name):
    path = os.path.join(directory, name)
    if not os.path.exists(path):
        return None
    with open(path, newline="") as file:
        return list(csv.DictReader(file))


def column(rows, x_name, y_name, scale=1.0):
    """(x, y) pairs of the rows where y was measured."""
    return [(float(row[x_name]), float(row[y_name]) * scale) for row in rows
            if row.get(y_name, "") != ""]


# ---- fits ----

def power_law_exponent(points):
    """k of the least-squares line through (log x, log y)."""
    logs = [(math.log(x), math.log(y)) for x, y in points if x > 0 and y > 0]
    if len(logs) < 2:
        return float("nan")
    mean_x = sum(x for x, _ in logs) / len(logs)
    mean_y = sum(y for _, y in logs) / len(logs)
    spread = sum((x - mean_x) ** 2 for x, _ in logs)
    return sum((x - mean_x) * (y - mean_y) for x, y in logs) / spread


def straight_line(points):
    """(a, b) of the least-squares line a + b * x."""
    if len(points) < 2:
        return float("nan"), float("nan")
    mean_x = sum(x for x, _ in points) / len(points)
    mean_y = sum(y for _, y in points) / len(points)
    spread = sum((x - mean_x) ** 2 for x, _ in points)
    slope = sum((x - mean_x) * (y - mean_y) for x, y in points) / spread
    return mean_y - slope * mean_x, slope


def print_fit(curve, label, points, unit, per):
    if len(points) < 2:
        return
    intercept, slope = straight_line(points)
    x_last, y_last = points[-1]
    print("%s, %s: power-law exponent %.2f; straight line %.4g %s + %.4g %s per %s; "
          "at %g: %.4g %s per %s" % (
              curve, label, power_law_exponent(points), intercept, unit, slope, unit, per,
              x_last, y_last / x_last, unit, per))


# ---- axes ----

def log_ticks(low, high):
    """Decades, with 2 and 5 between them when the range spans less than three decades."""
    first, last = math.floor(math.log10(low)), math.ceil(math.log10(high))
    steps = (1, 2, 5) if last - first < 3 else (1,)
    ticks = [m * 10 ** e for e in range(first, last + 1) for m in steps]
    return [t for t in ticks if low / 1.0001 <= t <= high * 1.0001]


def linear_ticks(low, high):
    raw = (high - low) / 6 or 1
    magnitude = 10 ** math.floor(math.log10(raw))
    step = min((m * magnitude for m in (1, 2, 5, 10) if m * magnitude >= raw))
    first = math.ceil(low / step) * step
    return [first + i * step for i in range(int((high - first) / step + 1.0001))]


def tick_label(value):
    for limit, suffix in ((1e9, "G"), (1e6, "M"), (1e3, "k")):
        if abs(value) >= limit:
            return "%g%s" % (value / limit, suffix)
    return "%g" % value


class Axis:
    def __init__(self, values, log, start, length, flip):
        low, high = min(values), max(values)
        if log:
            low, high = 10 ** math.floor(math.log10(low)), 10 ** math.ceil(math.log10(high))
            self.ticks = log_ticks(low, high)
        else:
            low = min(low, 0.0)
            high = high * 1.05 or 1.0
            self.ticks = linear_ticks(low, high)
            high = max(high, self.ticks[-1])
        self.low, self.high, self.log = low, high, log
        self.start, self.length, self.flip = start, length, flip

    def __call__(self, value):
        if self.log:
            share = (math.log10(value) - math.log10(self.low)) / (
                math.log10(self.high) - math.log10(self.low))
        else:
            share = (value - self.low) / (self.high - self.low)
        return self.start + (self.length * (1 - share) if self.flip else self.length * share)


def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def plot(path, title, x_label, y_label, series, x_log=True, y_log=True, references=()):
    """series: (label, points, dashed); references: (label, points) drawn grey and dashed."""
    series = [s for s in series if s[1]]
    everything = [p for _, points, _ in series for p in points] + [
        p for _, points in references for p in points]
    xs = Axis([x for x, _ in everything], x_log, LEFT, WIDTH - LEFT - RIGHT, False)
    ys = Axis([y for _, y in everything], y_log, TOP, HEIGHT - TOP - BOTTOM, True)
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
           'font-family="sans-serif" font-size="12">' % (WIDTH, HEIGHT),
           '<rect width="100%" height="100%" fill="white"/>',
           '<text x="%d" y="25" font-size="15" font-weight="bold">%s</text>' % (
               LEFT, escape(title))]
    bottom, right = HEIGHT - BOTTOM, WIDTH - RIGHT
    for tick in xs.ticks:
        x = xs(tick)
        out.append('<line x1="%.1f" y1="%d" x2="%.1f" y2="%d" stroke="#e4e4e4"/>' % (
            x, TOP, x, bottom))
        out.append('<text x="%.1f" y="%d" text-anchor="middle">%s</text>' % (
            x, bottom + 18, tick_label(tick)))
    for tick in ys.ticks:
        y = ys(tick)
        out.append('<line x1="%d" y1="%.1f" x2="%d" y2="%.1f" stroke="#e4e4e4"/>' % (
            LEFT, y, right, y))
        out.append('<text x="%d" y="%.1f" text-anchor="end">%s</text>' % (
            LEFT - 6, y + 4, tick_label(tick)))
    out.append('<rect x="%d" y="%d" width="%d" height="%d" fill="none" stroke="black"/>' % (
        LEFT, TOP, right - LEFT, bottom - TOP))
    out.append('<text x="%d" y="%d" text-anchor="middle">%s%s</text>' % (
        (LEFT + right) / 2, HEIGHT - 15, escape(x_label), " (log scale)" if x_log else ""))
    out.append('<text transform="translate(22 %d) rotate(-90)" text-anchor="middle">%s%s'
               '</text>' % ((TOP + bottom) / 2, escape(y_label),
                            " (log scale)" if y_log else ""))
    legend = []
    for label, points in references:
        line = " ".join("%.1f,%.1f" % (xs(x), ys(y)) for x, y in points)
        out.append('<polyline points="%s" fill="none" stroke="#999" stroke-width="1" '
                   'stroke-dasharray="2 4"/>' % line)
        legend.append((label, "#999", "2 4", False))
    for index, (label, points, dashed) in enumerate(series):
        color = COLORS[index % len(COLORS)]
        dash = "6 3" if dashed else ""
        line = " ".join("%.1f,%.1f" % (xs(x), ys(y)) for x, y in points)
        out.append('<polyline points="%s" fill="none" stroke="%s" stroke-width="2"%s/>' % (
            line, color, ' stroke-dasharray="%s"' % dash if dash else ""))
        for x, y in points:
            out.append('<circle cx="%.1f" cy="%.1f" r="3" fill="%s"/>' % (xs(x), ys(y), color))
        legend.append((label, color, dash, True))
    for index, (label, color, dash, marker) in enumerate(legend):
        y = TOP + 10 + 20 * index
        out.append('<line x1="%d" y1="%d" x2="%d" y2="%d" stroke="%s" stroke-width="2"%s/>' % (
            right + 12, y, right + 40, y, color,
            ' stroke-dasharray="%s"' % dash if dash else ""))
        if marker:
            out.append('<circle cx="%d" cy="%d" r="3" fill="%s"/>' % (right + 26, y, color))
        out.append('<text x="%d" y="%d">%s</text>' % (right + 46, y + 4, escape(label)))
    out.append("</svg>")
    with open(path, "w") as file:
        file.write("\n".join(out) + "\n")
    print("drew %s" % path)


def linear_reference(points):
    """The line of slope one (on log-log axes) through the middle point of `points`."""
    x_mid, y_mid = points[len(points) // 2]
    return [(x, y_mid * x / x_mid) for x in (points[0][0], points[-1][0])]


# ---- curves ----

def process_curves(source, target):
    for name, x_name, title, x_log in (
            ("rules", "rules", "Evaluation against rules (4 inputs of 10 terms)", True),
            ("inputs", "inputs", "Evaluation against inputs (10 rules, 10 terms each)", False),
            ("terms", "terms", "Evaluation against terms per input (2 inputs, 25 rules)", True)):
        rows = read_rows(source, "process_%s.csv" % name)
        if not rows:
            continue
        tapwise = column(rows, x_name, "tapwise_ns", 1e-3)
        peer = column(rows, x_name, "fuzzylite100_ns", 1e-3)
        fired = column(rows, x_name, "fired_per_tick")
        references = []
        if name == "rules":
            references = [("linear", linear_reference(tapwise))]
            print_fit("rules", "tapwise", tapwise, "us", "rule")
            print_fit("rules", "fuzzylite100", peer, "us", "rule")
        print("%s: rules fired per evaluation %s" % (
            name, ", ".join("%g: %.2f" % point for point in fired)))
        plot(os.path.join(target, "process-%s.svg" % name), title, x_name,
             "microseconds per evaluation",
             [("Tapwise", tapwise, False), ("fuzzylite, 100 points", peer, True)],
             x_log=x_log, y_log=True, references=references)


def parse_curves(source, target):
    rows = read_rows(source, "parse_size.csv")
    if not rows:
        return
    names = {"tapwise_rules": "Tapwise, rules", "tapwise_variables": "Tapwise, variables",
             "fuzzylite_variables": "fuzzylite FLL, variables"}
    series = {key: [row for row in rows if row["series"] == key] for key in names}
    times, memory = [], []
    for key, label in names.items():
        part = series[key]
        if not part:
            continue
        seconds = column(part, "bytes", "seconds")
        print_fit("parse", label, [(x / 1e6, y) for x, y in seconds], "s", "MB")
        times.append((label, seconds, key.startswith("fuzzylite")))
        memory.append((label + ", peak", column(part, "bytes", "peak_bytes"), False))
        memory.append((label + ", retained", column(part, "bytes", "retained_bytes"), True))
        for row in part[-1:]:
            print("parse, %s: at %s bytes peak %.1f and retained %.1f bytes per text byte" % (
                label, row["bytes"], float(row["peak_bytes"]) / float(row["bytes"]),
                float(row["retained_bytes"]) / float(row["bytes"])))
    if times:
        plot(os.path.join(target, "parse-time.svg"), "Reading time against text size",
             "text bytes", "seconds (CPU)", times,
             references=[("linear", linear_reference(times[0][1]))])
        sizes = [x for _, points, _ in memory for x, _ in points]
        plot(os.path.join(target, "parse-memory.svg"), "Heap bytes against text size",
             "text bytes", "heap bytes", memory,
             references=[("1 byte per text byte", [(min(sizes), min(sizes)),
                                                   (max(sizes), max(sizes))])])


def memory_curve(source, target):
    rows = read_rows(source, "memory_terms.csv")
    if not rows:
        return
    series = [("Tapwise controller", column(rows, "terms", "tapwise_controller_bytes_per_term"),
               False),
              ("Tapwise component", column(rows, "terms", "tapwise_component_bytes_per_term"),
               False),
              ("fuzzylite engine", column(rows, "terms", "fuzzylite_bytes_per_term"), True)]
    for label, points, _ in series:
        if points:
            print("memory, %s: %s bytes per term" % (
                label, ", ".join("%g terms: %.0f" % point for point in points)))
    plot(os.path.join(target, "memory-per-term.svg"),
         "Heap bytes per term (100 variables of triangles)", "terms per variable",
         "heap bytes per term", series, x_log=True, y_log=False)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = sys.argv[1:]
    os.makedirs(target, exist_ok=True)
    process_curves(source, target)
    parse_curves(source, target)
    memory_curve(source, target)


if __name__ == "__main__":
    main()
