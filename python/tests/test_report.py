"""The report of a capture made in a test, opened in headless Chromium: every image loads and
the page is not blank."""

from __future__ import annotations

import os
import re
import shutil
import subprocess
import sys

import pytest

CHROMIUM = shutil.which("chromium")
BROWSER = [CHROMIUM or "chromium", "--headless", "--no-sandbox", "--disable-gpu",
           "--hide-scrollbars", "--virtual-time-budget=5000"]
# Under a sanitizer the tests' interpreter preloads its runtime; the browser must not get it.
BROWSER_ENV = {name: value for name, value in os.environ.items() if name != "LD_PRELOAD"}


@pytest.fixture(scope="module")
def report(session_capture, tmp_path_factory):
    folder = tmp_path_factory.mktemp("report")
    subprocess.run([sys.executable, "-m", "tradewire.report", str(session_capture[0]), "-o",
                    str(folder)], check=True, capture_output=True, timeout=120)
    return folder


def test_the_report_writes_its_page_and_three_images(report):
    assert sorted(p.name for p in report.iterdir()) == [
        "delay.png", "orders.png", "quotes.png", "report.html"]
    page = (report / "report.html").read_text()
    assert "lots must be between 0.01 and 100" in page  # the refusal's reason
    assert "p50" in page and "OnRealtimePrice" in page


@pytest.mark.skipif(CHROMIUM is None, reason="chromium is not installed")
def test_every_image_loads_in_chromium_and_the_page_is_not_blank(report, tmp_path):
    url = (report / "report.html").as_uri()
    dom = subprocess.run([*BROWSER, "--dump-dom", url], capture_output=True, text=True,
                         timeout=120, check=True, env=BROWSER_ENV).stdout
    assert re.search(r'data-images="3/3"', dom), "not every image loaded"
    shot = tmp_path / "shot.png"
    subprocess.run([*BROWSER, "--window-size=1200,2400", f"--screenshot={shot}", url],
                   capture_output=True, timeout=120, check=True, env=BROWSER_ENV)
    import matplotlib.image
    pixels = matplotlib.image.imread(shot)[:, :, :3]
    ink = (pixels < 0.9).any(axis=2).mean()
    colours = len({tuple(p) for p in (pixels[::7, ::7] * 255).astype(int).reshape(-1, 3)})
    assert ink > 0.01, f"only {ink:.1%} of the page is not white"
    assert colours > 20  # plotted lines, not a flat page
