#!/usr/bin/env python3
"""The HTML page of `gsdsim --html` for every example design and the given
test designs: it parses as XML, refers to nothing outside itself, every figure
marked with data-json equals the JSON results of the same run, the console and
the report are those of the run without options, and headless Chromium renders
it without an error in its log to a screenshot that is not blank and shows the
charts' colours, and prints it to a PDF of several pages.

usage: html_page_test.py GSDSIM CHROMIUM DESIGN [DESIGN...]
CHROMIUM may be "" (or not found): the browser part is then skipped (exit 77)
after the other checks passed. A DESIGN prefixed with "browser:" is also
rendered in the browser; one prefixed with "sweep:" (a keyed design) is swept
over accrual.subjects and treatment.hazard_ratio with --html and --json, and
its sweep page checked the same way (rendered too); one prefixed with "size:"
(a keyed design) is sized for power 0.8 with --html and the page of the
sizing checked against its console (rendered too).
"""

import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

SKIP = 77
# References to anything outside the file: remote or local URLs, scripts,
# style sheets, images, frames, fonts.
EXTERNAL = re.compile(
    r"https?:|ftp:|file:|//|\bsrc\s*=|\bhref\s*=|@import|@font-face|url\((?!#)|"
    r"<script|<link|<img|<iframe|<object|<embed|xlink:",
    re.IGNORECASE)
# The charts' dark blue and orange (styles 1 and 3 of the chart module).
CHART_COLOURS = [(0x1F, 0x4E, 0x99), (0xE6, 0x9F, 0x00)]

failures = []


def fail(design, message):
    failures.append(f"{design}: {message}")


def run(args, cwd, stdin=None):
    return subprocess.run(args, cwd=cwd, stdin=stdin, capture_output=True, timeout=300)


def json_at(document, path):
    value = document
    for part in path.split("."):
        value = value[int(part)] if isinstance(value, list) else value[part]
    return value


def check_page(design, page_text, results):
    name = os.path.basename(design)
    try:
        root = ET.fromstring(page_text)
    except ET.ParseError as error:
        fail(name, f"the page is not well-formed: {error}")
        return
    for match in EXTERNAL.finditer(page_text):
        start = max(0, match.start() - 40)
        fail(name, f"reference outside the file: ...{page_text[start:match.end() + 20]!r}")
    marked = [e for e in root.iter() if "data-json" in e.attrib]
    paths = set()
    for element in marked:
        path = element.attrib["data-json"]
        paths.add(path)
        try:
            expected = json_at(results, path)
        except (KeyError, IndexError, ValueError):
            fail(name, f"data-json {path} is not in the JSON results")
            continue
        shown = element.attrib["data-value"]
        if float(shown) != float(expected):
            fail(name, f"{path}: page {shown}, JSON {expected}")
    # The figures that must be on the page.
    required = ["design.seed", "design.sim_count", "calibration.subject_count"]
    for i, look in enumerate(results["looks"]):
        for key in ["time", "trials_reached", "mean_subjects", "mean_events"]:
            required.append(f"looks.{i}.{key}")
        # Event-driven looks: the target and the look's time over the trials.
        if "target_events" in look:
            for key in ["target_events", "mean_time", "min_time", "max_time"]:
                required.append(f"looks.{i}.{key}")
    for j, statistic in enumerate(results["statistics"]):
        for key in ["power", "sd", "average_stopping_time", "rejections"]:
            required.append(f"statistics.{j}.{key}")
        for i in range(len(statistic["looks"])):
            required += [f"statistics.{j}.looks.{i}.stopped", f"statistics.{j}.looks.{i}.rejected"]
    # The analytic figures, where the run could compute them.
    analytic = results.get("analytic", {})
    for j, statistic in enumerate(analytic.get("statistics", [])):
        required.append(f"analytic.statistics.{j}.power")
        for i in range(len(statistic["looks"])):
            required.append(f"analytic.statistics.{j}.looks.{i}.reject_probability")
    for path in required:
        if path not in paths:
            fail(name, f"the page lacks {path}")
    keyed = root.find(".//pre[@class='keyed']")
    if keyed is None or "[looks]" not in (keyed.text or ""):
        fail(name, "the page lacks the design's keyed form")
    charts = page_text.count("<svg ")
    expected_charts = 3 + 2 * len(results["statistics"])
    if charts < expected_charts:
        fail(name, f"{charts} charts, expected at least {expected_charts}")
    for figure in root.iter("figure"):
        if figure.find("figcaption") is None or not (figure.find("figcaption").text or "").strip():
            fail(name, f"a chart without caption: {figure.attrib.get('id')}")
    return charts


def png_pixels(path):
    """Width, height and rows of RGB(A) tuples of an 8-bit RGB or RGBA PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6):
                raise ValueError(f"unexpected PNG format depth {depth} colour {colour}")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        filter_type = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if filter_type == 1:
                line[x] = (line[x] + a) & 255
            elif filter_type == 2:
                line[x] = (line[x] + b) & 255
            elif filter_type == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif filter_type == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, channels, rows


def check_browser(chromium, design, page, work, charts, colours=CHART_COLOURS):
    name = os.path.basename(design)
    flags = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--hide-scrollbars", "--enable-logging=stderr", "--v=0"]
    url = "file://" + page
    dom = run(flags + ["--user-data-dir=" + os.path.join(work, "profile-dom"), "--dump-dom", url],
              work)
    log = dom.stderr.decode(errors="replace")
    shot = os.path.join(work, "page.png")
    picture = run(flags + ["--user-data-dir=" + os.path.join(work, "profile-shot"),
                           "--screenshot=" + shot, "--window-size=800,2000", url], work)
    log += picture.stderr.decode(errors="replace")
    # Printed: the print style sheet gives a document of several pages.
    pdf = os.path.join(work, "page.pdf")
    printed = run(flags + ["--user-data-dir=" + os.path.join(work, "profile-pdf"),
                           "--no-pdf-header-footer", "--print-to-pdf=" + pdf, url], work)
    log += printed.stderr.decode(errors="replace")
    if printed.returncode != 0 or not os.path.exists(pdf):
        fail(name, f"no printed PDF (status {printed.returncode})")
    else:
        document = open(pdf, "rb").read()
        pages = len(re.findall(rb"/Type\s*/Page[^s]", document))
        if not document.startswith(b"%PDF") or pages < 2:
            fail(name, f"the printed PDF has {pages} pages")
    # Messages of the page itself (console errors, blocked or failed loads);
    # the browser's own complaints about the missing system bus are not the page's.
    for line in log.splitlines():
        if re.search(r"CONSOLE|Uncaught|Refused|net::ERR|Failed to load|Not allowed to load", line):
            fail(name, "browser log: " + line.strip())
    text = dom.stdout.decode(errors="replace")
    if dom.returncode != 0 or "<svg" not in text:
        fail(name, f"--dump-dom failed (status {dom.returncode})")
    elif text.count("<svg") != charts:
        fail(name, f"the browser's DOM holds {text.count('<svg')} charts, the page {charts}")
    if picture.returncode != 0 or not os.path.exists(shot):
        fail(name, f"no screenshot (status {picture.returncode})")
        return
    width, height, channels, rows = png_pixels(shot)
    total, ink, grey_levels = 0, 0, set()
    colours_found = [False] * len(colours)
    for row in rows[::3]:
        for x in range(0, width * channels, channels * 3):
            r, g, b = row[x], row[x + 1], row[x + 2]
            total += 1
            if r < 235 or g < 235 or b < 235:
                ink += 1
            grey_levels.add((r * 3 + g * 6 + b) // 40)
            for k, (cr, cg, cb) in enumerate(colours):
                if abs(r - cr) + abs(g - cg) + abs(b - cb) < 30:
                    colours_found[k] = True
    share = ink / total
    if not 0.01 < share < 0.6:
        fail(name, f"screenshot {width}x{height}: {share:.3f} of the pixels are not white")
    if len(grey_levels) < 8:
        fail(name, f"screenshot shows only {len(grey_levels)} grey levels")
    if not all(colours_found):
        fail(name, f"the charts' colours are missing from the screenshot: {colours_found}")


# The grid of the sweep pages: two keys, two and three values.
SWEEP = ["--sweep", "accrual.subjects=200:400:100", "--sweep", "treatment.hazard_ratio=0.7,0.8"]


def check_sweep_page(design, page_text, results):
    name = "sweep of " + os.path.basename(design)
    try:
        root = ET.fromstring(page_text)
    except ET.ParseError as error:
        fail(name, f"the page is not well-formed: {error}")
        return 0
    for match in EXTERNAL.finditer(page_text):
        fail(name, f"reference outside the file: {page_text[match.start():match.end() + 20]!r}")
    paths = set()
    for element in root.iter():
        if "data-json" not in element.attrib:
            continue
        path = element.attrib["data-json"]
        paths.add(path)
        try:
            expected = json_at(results, path)
        except (KeyError, IndexError, ValueError):
            fail(name, f"data-json {path} is not in the JSON results")
            continue
        if expected is None or float(element.attrib["data-value"]) != float(expected):
            fail(name, f"{path}: page {element.attrib['data-value']}, JSON {expected}")
    for n, scenario in enumerate(results["scenarios"]):
        for r, row in enumerate(scenario["statistics"]):
            for key in ["power", "sd"] + (["analytic_power"] if row["analytic_power"] is not None
                                          else []):
                if f"scenarios.{n}.statistics.{r}.{key}" not in paths:
                    fail(name, f"the page lacks scenarios.{n}.statistics.{r}.{key}")
    charts = page_text.count("<svg ")
    expected_charts = len(results["keys"]) * len(results["scenarios"][0]["statistics"])
    if charts != expected_charts:
        fail(name, f"{charts} charts, expected {expected_charts}")
    return charts


def run_sweep_case(gsdsim, chromium, design):
    with tempfile.TemporaryDirectory(prefix="gsdsim_sweep_html_") as work:
        plain = run([gsdsim, "--threads", "2"] + SWEEP + [design], work)
        paged = run([gsdsim, "--threads", "2"] + SWEEP +
                    ["--html", "page.html", "--json", "results.json", design], work)
        if paged.returncode != 0:
            fail(design, f"sweep status {paged.returncode}: {paged.stdout!r}")
            return False
        if paged.stdout != plain.stdout:
            fail(design, "the sweep's console differs from the sweep without --html")
        page = os.path.join(work, "page.html")
        charts = check_sweep_page(design, open(page, encoding="utf-8").read(),
                                  json.load(open(os.path.join(work, "results.json"))))
        if chromium and charts:
            # Two curves per chart: the first two styles (black, dark blue).
            check_browser(chromium, "sweep of " + design, page, work, charts, CHART_COLOURS[:1])
            return True
    return False


def run_size_case(gsdsim, chromium, design):
    """The page of --size-for-power 0.8: well-formed, self-contained, one
    point per simulation of the console's list with its figures, the target
    and the answer marked; the console that of the sizing without it."""
    name = "sizing of " + os.path.basename(design)
    with tempfile.TemporaryDirectory(prefix="gsdsim_size_html_") as work:
        sizing = ["--threads", "2", "--size-for-power", "0.8"]
        plain = run([gsdsim] + sizing + [design], work)
        paged = run([gsdsim] + sizing + ["--html", "page.html", design], work)
        if paged.returncode != 0 or plain.returncode != 0:
            fail(name, f"sizing status {paged.returncode}: {paged.stdout!r}")
            return False
        if paged.stdout != plain.stdout:
            fail(name, "the sizing's console differs from the sizing without --html")
        console = plain.stdout.decode()
        listed = sorted((int(n), float(p), float(sd)) for n, p, sd in
                        re.findall(r"^ +(\d+) +([0-9.]+) +([0-9.]+)$", console, re.M))
        answer = re.search(r"subjects needed: (\d+)", console).group(1)
        page_text = open(os.path.join(work, "page.html"), encoding="utf-8").read()
        try:
            root = ET.fromstring(page_text)
        except ET.ParseError as error:
            fail(name, f"the page is not well-formed: {error}")
            return False
        for match in EXTERNAL.finditer(page_text):
            fail(name, f"reference outside the file: {page_text[match.start():match.end() + 20]!r}")
        values = {e.attrib["data-json"]: float(e.attrib["data-value"])
                  for e in root.iter() if "data-json" in e.attrib}
        if not listed or f"scenarios.{len(listed)}.subjects" in values:
            fail(name, f"{len(listed)} simulations listed, the page has others")
        for n, (subjects, power, sd) in enumerate(listed):
            at = f"scenarios.{n}."
            if (values.get(at + "subjects") != subjects
                    or abs(values.get(at + "statistics.0.power", -1) - power) > 5e-5
                    or abs(values.get(at + "statistics.0.sd", -1) - sd) > 5e-6
                    or at + "statistics.0.analytic_power" not in values):
                fail(name, f"simulation {subjects}: the page differs from the console")
        for mark in ("target 0.80", "answer " + answer):
            if mark not in page_text:
                fail(name, f"the page lacks the mark {mark!r}")
        charts = page_text.count("<svg ")
        if chromium and charts:
            # The search's few points lie close together: too little of the
            # curve's colour for the sampled screenshot check, so none asked.
            check_browser(chromium, name, os.path.join(work, "page.html"), work, charts, [])
            return True
    return False


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    gsdsim, chromium = sys.argv[1], sys.argv[2]
    if chromium and not os.path.isabs(chromium):
        chromium = shutil.which(chromium) or ""
    browser_ran = False
    for argument in sys.argv[3:]:
        if argument.startswith("sweep:"):
            browser_ran = run_sweep_case(gsdsim, chromium, os.path.abspath(argument[6:])) or browser_ran
            continue
        if argument.startswith("size:"):
            browser_ran = run_size_case(gsdsim, chromium, os.path.abspath(argument[5:])) or browser_ran
            continue
        in_browser = argument.startswith("browser:")
        design = os.path.abspath(argument[len("browser:"):] if in_browser else argument)
        with tempfile.TemporaryDirectory(prefix="gsdsim_html_") as work:
            plain_dir = os.path.join(work, "plain")
            page_dir = os.path.join(work, "page")
            os.mkdir(plain_dir)
            os.mkdir(page_dir)
            plain = run([gsdsim, "--threads", "2", design], plain_dir)
            with_page = run([gsdsim, "--threads", "2", "--html", "page.html", "--json",
                             "results.json", design], page_dir)
            if with_page.returncode != 0:
                fail(design, f"status {with_page.returncode}: {with_page.stdout!r}")
                continue
            if with_page.stdout != plain.stdout:
                fail(design, "the console differs from the run without options")
            plain_files = sorted(os.listdir(plain_dir))
            if len(plain_files) != 1:
                fail(design, f"the plain run wrote {plain_files}")
                continue
            report = plain_files[0]
            if open(os.path.join(plain_dir, report), "rb").read() != open(
                    os.path.join(page_dir, report), "rb").read():
                fail(design, "the report differs from the run without options")
            left = sorted(set(os.listdir(page_dir)) - {report, "page.html", "results.json"})
            if left:
                fail(design, f"files left behind: {left}")
            page = os.path.join(page_dir, "page.html")
            page_text = open(page, encoding="utf-8").read()
            results = json.load(open(os.path.join(page_dir, "results.json")))
            charts = check_page(design, page_text, results)
            if in_browser and chromium and charts:
                check_browser(chromium, design, page, work, charts)
                browser_ran = True
    for message in failures:
        print("FAIL", message)
    if failures:
        return 1
    if not browser_ran:
        print("chromium not found: the browser checks were skipped")
        return SKIP
    print("all pages passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
