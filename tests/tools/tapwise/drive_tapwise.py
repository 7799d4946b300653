#!/usr/bin/env python3
"""Drives the built tapwise program on the definition files under tests/data.

Usage: drive_tapwise.py TAPWISE DATA_DIR CASE, where CASE is one of check, format, eval,
errors, plot, help, run (which runs the controllers of the examples beside the tests).
Exits 0 when every expectation of the case holds.
"""

import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def run(tool, *args, stdin=b""):
    done = subprocess.run([tool, *args], capture_output=True, timeout=120, input=stdin)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


def succeeds(tool, *args):
    code, out, err = run(tool, *args)
    expect(code == 0 and err == "", f"{args}: status {code}, stderr {err!r}")
    return out


def case_check(tool, data):
    out = succeeds(tool, "check", os.path.join(data, "demo.fzl"))
    lines = out.splitlines()
    expect(lines[0].endswith("demo.fzl: 3 variables"), lines[0])
    expect("  outTemp: range 5 to 65, units Celcius, 3 terms" in lines, out)
    expect("    OK (pi 36.0000 2.0000)" in lines, out)
    expect("  outFlow: range 0 to 100, units liters/minute, 3 terms" in lines, out)
    expect("  change_vc: range -1 to 1, no units, 7 terms" in lines, out)
    expect("    NB ((-0.5000 1.0000) (-0.2500 0.0000) )" in lines, out)


def case_format(tool, data):
    for name in ("demo.fzl", "shapes.fzl"):
        first = succeeds(tool, "format", os.path.join(data, name))
        with tempfile.TemporaryDirectory() as scratch:
            path = os.path.join(scratch, name)
            with open(path, "w", encoding="utf-8", newline="") as written:
                written.write(first)
            expect(succeeds(tool, "format", path) == first, f"{name}: formatting is not stable")
            # The formatted text describes the same variables as the file (whose check warns
            # of shapes.fzl's variable defined twice).
            code, out, err = run(tool, "check", os.path.join(data, name))
            expect(code == 0, f"{name}: status {code}, {err!r}")
            original = out.split("\n", 1)[1]
            again = succeeds(tool, "check", path).split("\n", 1)[1]
            expect(original == again, f"{name}: formatted text reads back differently")


def case_eval(tool, data):
    out = succeeds(tool, "eval", os.path.join(data, "demo.fzl"), "change_vc", "NB or Z")
    expect(out == "name: NB or Z\nexpression: NB or Z\n(-0.5000 1.0000)\n(-0.2500 0.0000)\n"
           "(-0.0500 0.0000)\n(0.0000 1.0000)\n(0.0500 0.0000)\ncog: -0.6327\nmom: -0.2500\n",
           out)


def case_errors(tool, data):
    # An error in a file shows its source line and a caret under the place.
    for args in (("check", os.path.join(data, "bad-range.fzl")),
                 ("format", os.path.join(data, "bad-unclosed.fzl"))):
        code, out, err = run(tool, *args)
        expect(code == 1 and out == "", f"{args}: status {code}, printed {out!r}")
        expect(err.startswith("tapwise: ") and err.count("\n") == 3, f"{args}: {err!r}")
    for args in (("eval", os.path.join(data, "demo.fzl"), "outTemp", "warm"),
                 ("plot", os.path.join(data, "demo.fzl"), "--var", "nothing", "-o", "-"),
                 ("check", os.path.join(data, "no-such-file.fzl")),
                 ("frobnicate",)):
        code, out, err = run(tool, *args)
        expect(code == 1, f"{args}: status {code}")
        expect(out == "", f"{args}: printed {out!r}")
        expect(err.startswith("tapwise: ") and err.count("\n") == 1, f"{args}: {err!r}")
    code, out, err = run(tool, "check", os.path.join(data, "bad-range.fzl"))
    expect(err.endswith(':2:10: Parsing Error, Expected number in ParseFuzzyVariable at line 2: '
                        '"( deffuzzy outTemp ( range x "\n  (range x 65))\n         ^\n'), err)


def case_plot(tool, data):
    with tempfile.TemporaryDirectory() as scratch:
        path = os.path.join(scratch, "demo.svg")
        code, out, err = run(tool, "plot", os.path.join(data, "demo.fzl"), "-o", path)
        expect(code == 0 and out == "" and err == "", f"status {code}, {err!r}")
        root = ET.parse(path).getroot()
    expect(root.tag == SVG + "svg", root.tag)
    panels = {g.get("data-variable"): [p.get("data-term") for p in g.iter(SVG + "polyline")]
              for g in root.iter(SVG + "g") if g.get("class") == "variable"}
    expect(panels == {"outTemp": ["cold", "OK", "hot"], "outFlow": ["low", "OK", "strong"],
                      "change_vc": ["NB", "NM", "NS", "Z", "PS", "PM", "PB"]}, panels)
    expect(len(list(root.iter(SVG + "polyline"))) == 13, "a polyline that is no term")
    for polyline in root.iter(SVG + "polyline"):
        points = [tuple(map(float, p.split(","))) for p in polyline.get("points").split()]
        expect(len(points) >= 2, polyline.get("data-term"))
        xs = [x for x, _ in points]
        expect(xs == sorted(xs), f"{polyline.get('data-term')} runs backwards")
    texts = {t.text for t in root.iter(SVG + "text")}
    expect({"Celcius", "liters/minute", "(no units)", "cold", "PB", "60"} <= texts, texts)

    # Crowded terms get labels that stay in their panel and do not sit on one another.
    code, out, err = run(tool, "plot", os.path.join(data, "shapes.fzl"), "-o", "-")
    expect(code == 0, err)
    for panel in ET.fromstring(out).iter(SVG + "g"):
        labels = [(float(t.get("x")), float(t.get("y")), len(t.text) * 7)
                  for t in panel.iter(SVG + "text") if t.get("class") == "term-label"]
        expect(all(y >= 20 for _, y, _ in labels), f"a label leaves its panel: {labels}")
        for i, (x1, y1, w1) in enumerate(labels):
            for x2, y2, w2 in labels[i + 1:]:
                expect(abs(x1 - x2) >= (w1 + w2) / 2 or abs(y1 - y2) >= 13,
                       f"labels at ({x1}, {y1}) and ({x2}, {y2}) overlap")


def case_run(tool, data):
    tipping = os.path.join(data, "..", "..", "examples", "tipping.fzl")
    out = succeeds(tool, "run", tipping, "quality=6.5", "service=9.8")
    expect(out == "tip = 19.8578\n", out)
    code, out, err = run(tool, "table", tipping, "-", stdin=b"service quality\n9.8 6.5\n0 0\n")
    expect(code == 0 and out == "quality\tservice\ttip\n6.500000\t9.800000\t19.857759\n"
           "0.000000\t0.000000\t4.333333\n", f"status {code}, {out!r}, {err!r}")
    code, out, err = run(tool, "run", tipping, "quality=6.5")
    expect(code == 1 and out == "" and err == "tapwise: run: no value given for service "
           "(the inputs are: quality, service)\n", err)


def case_help(tool, data):
    expect(succeeds(tool, "--help").startswith("Usage: tapwise COMMAND"), "tool help")
    for command in ("check", "format", "eval", "plot", "run", "table"):
        out = succeeds(tool, command, "--help")
        expect(out.startswith("Usage: tapwise " + command), out)


CASES = {"check": case_check, "format": case_format, "eval": case_eval,
         "errors": case_errors, "plot": case_plot, "help": case_help, "run": case_run}

if __name__ == "__main__":
    tool_path, data_dir, case = sys.argv[1:4]
    try:
        CASES[case](tool_path, data_dir)
    except AssertionError as failure:
        print(f"FAILED {case}: {failure}", file=sys.stderr)
        sys.exit(1)
    print(f"passed {case}")
