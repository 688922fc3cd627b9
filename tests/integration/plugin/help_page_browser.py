#!/usr/bin/env python3
"""The help page of the built bundle, opened in headless Chromium as the help
button opens it: every gallery thumbnail must decode (naturalWidth > 0) and
the page must log nothing to the console. Takes a screenshot of the gallery.

usage: help_page_browser.py BUNDLE SCREENSHOT.png
Exits 77 (skipped) where Debian's chromium is not installed.
"""
import html
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
# Thumbnails load from local files; this is ample on a loaded machine.
BUDGET_MS = "20000"
# What the gallery may add to the bundle.
GALLERY_LIMIT = 5 * 1024 * 1024

# Runs inside the harness page: the help page is in a frame, so its images
# can be asked once every one has loaded or failed.
HARNESS = """<!DOCTYPE html>
<html><body>
<iframe id="help" src="{page}" width="1200" height="900"></iframe>
<script>
document.getElementById("help").onload = function () {{
  const images = Array.from(this.contentDocument.images);
  const broken = images.filter(i => !(i.complete && i.naturalWidth > 0)).map(i => i.getAttribute("src"));
  const out = document.createElement("pre");
  out.id = "result";
  out.textContent = JSON.stringify({{images: images.length, broken: broken}});
  document.body.appendChild(out);
}};
</script>
</body></html>
"""

# The gallery as a user scrolled to it sees it: a fragment in the page's own
# address is not scrolled to in a headless screenshot, in a frame it is.
SHOT = """<!DOCTYPE html>
<html><body style="margin: 0">
<iframe src="{page}#gallery" width="1280" height="1600" style="border: 0"></iframe>
</body></html>
"""


def chromium_command():
    for name in ("chromium", "chromium-browser"):
        found = shutil.which(name)
        if found:
            # Root (a container) needs --no-sandbox; there is no display.
            return [found, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    "--no-first-run", "--allow-file-access-from-files"]
    return None


def main():
    bundle, screenshot = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]).resolve()
    chromium = chromium_command()
    if chromium is None:
        print("skipped: chromium is not installed (Debian package chromium, scripts/install-deps.sh)")
        return SKIPPED
    resources = bundle / "Contents" / "Resources"
    page = resources / "help.html"
    gallery_bytes = sum(f.stat().st_size for f in (resources / "gallery").iterdir())
    if gallery_bytes > GALLERY_LIMIT:
        print(f"the gallery takes {gallery_bytes} bytes, over {GALLERY_LIMIT}")
        return 1
    expected = len(re.findall(r"<img ", page.read_text(encoding="utf-8")))

    with tempfile.TemporaryDirectory(prefix="tonemill-help-page-") as scratch:
        harness = pathlib.Path(scratch) / "harness.html"
        harness.write_text(HARNESS.format(page=html.escape(page.as_uri())), encoding="utf-8")
        run = subprocess.run(chromium + [f"--user-data-dir={scratch}/profile", "--enable-logging=stderr", "--v=0",
                                         f"--virtual-time-budget={BUDGET_MS}", "--dump-dom", harness.as_uri()],
                             capture_output=True, text=True, timeout=180)
        found = re.search(r'<pre id="result">(.*?)</pre>', run.stdout, re.S)
        if not found:
            print("the harness reported nothing; chromium said:\n" + run.stderr[-4000:])
            return 1
        result = json.loads(html.unescape(found.group(1)))
        # Console messages of the page (errors, failed loads) are logged as CONSOLE lines.
        console = [line for line in run.stderr.splitlines() if "CONSOLE" in line and "help.html" in line]

        framed = pathlib.Path(scratch) / "gallery.html"
        framed.write_text(SHOT.format(page=html.escape(page.as_uri())), encoding="utf-8")
        shot = subprocess.run(chromium + [f"--user-data-dir={scratch}/profile2", "--window-size=1280,1600",
                                          f"--screenshot={screenshot}", framed.as_uri()],
                              capture_output=True, text=True, timeout=180)

    failures = []
    if result["images"] != expected or expected == 0:
        failures.append(f"the page holds {expected} <img> elements, the browser saw {result['images']}")
    if result["broken"]:
        failures.append(f"{len(result['broken'])} thumbnails did not decode, such as {result['broken'][:5]}")
    if console:
        failures.append("console messages:\n  " + "\n  ".join(console[:10]))
    if shot.returncode != 0 or not screenshot.exists():
        failures.append("no screenshot: " + shot.stderr[-2000:])
    if failures:
        print("\n".join(failures))
        return 1
    print(f"{result['images']} thumbnails decoded, no console messages; screenshot {screenshot}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
