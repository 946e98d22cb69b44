"""A report of one capture, as a page a person would rather look at than replay text.

    python3 -m tradewire.report CAPTURE -o DIR

writes DIR/report.html with three images beside it: each instrument's bid and ask with the
deals and orders marked, the delay from receive to dispatch over the session, and one line per
order from commit to dispatch of its reply; then a summary table.
"""

from __future__ import annotations

import argparse
import collections
import html
import os
import pathlib
import statistics
import sys
import warnings
from typing import Any

import matplotlib

matplotlib.use("Agg")
import matplotlib.dates as mdates  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402

from .capture import Capture, CaptureTruncated, read_capture  # noqa: E402

IMAGES = ("quotes.png", "delay.png", "orders.png")
DPI = 100


def percentile(values: list[float], share: float) -> float:
    ordered = sorted(values)
    index = min(len(ordered) - 1, max(0, round(share * (len(ordered) - 1))))
    return ordered[index]


def _clock(value: float, _: Any) -> str:
    # Sessions in a test last seconds: milliseconds keep the ticks apart.
    return mdates.num2date(value, tz=mdates.UTC).strftime("%H:%M:%S.%f")[:-3]


def _time_axis(axis: Any) -> None:
    axis.xaxis.set_major_formatter(plt.FuncFormatter(_clock))
    axis.xaxis.set_major_locator(mdates.AutoDateLocator(maxticks=8))
    axis.grid(True, alpha=0.3)


def plot_quotes(capture: Capture, path: pathlib.Path) -> None:
    quotes = capture.quotes(as_frame=False)
    deals = capture.deals(as_frame=False)
    orders = capture.orders(as_frame=False)
    symbols = sorted({q["symbol"] for q in quotes}) or ["(no quotes)"]
    figure, axes = plt.subplots(len(symbols), 1, figsize=(11, 2.4 * len(symbols)), squeeze=False,
                                sharex=True)
    for axis, symbol in zip(axes[:, 0], symbols):
        rows = [q for q in quotes if q["symbol"] == symbol]
        times = [q["time"] for q in rows]
        axis.plot(times, [q["bid"] for q in rows], color="tab:blue", label="bid", lw=1.2)
        axis.plot(times, [q["ask"] for q in rows], color="tab:orange", label="ask", lw=1.2)
        for deal in (d for d in deals if d["symbol"] == symbol):
            marker = "v" if deal["closing"] else "^"
            color = "tab:red" if deal["side"] == "sell" else "tab:green"
            axis.scatter([deal["time"]], [deal["price"]], marker=marker, s=90, color=color,
                         zorder=3, edgecolors="black",
                         label=("close " if deal["closing"] else "open ") + (deal["side"] or ""))
        for order in (o for o in orders if o["symbol"] == symbol):
            axis.axvline(order["time"], color="tab:red" if order["refused"] else "tab:gray",
                         ls=":", lw=1, label="refused" if order["refused"] else order["kind"])
        handles, labels = axis.get_legend_handles_labels()
        unique = dict(zip(labels, handles))
        axis.legend(unique.values(), unique.keys(), loc="upper left", fontsize=7, ncol=6)
        axis.set_ylabel(symbol)
        _time_axis(axis)
    axes[0, 0].set_title("Bid and ask by instrument, with deals (triangles) and orders (dotted)")
    axes[-1, 0].set_xlabel("UTC")
    figure.tight_layout()
    figure.savefig(path, dpi=DPI)
    plt.close(figure)


def plot_delay(capture: Capture, path: pathlib.Path) -> None:
    rows = [m for m in capture.messages(as_frame=False) if m["delay_ms"] is not None]
    figure, axis = plt.subplots(figsize=(11, 3.2))
    axis.plot([m["dispatched"] for m in rows], [m["delay_ms"] for m in rows], ".-",
              color="tab:purple", lw=0.8, ms=4)
    axis.set_title("Delay from receive to dispatch (a rising line is a backlog)")
    axis.set_ylabel("ms")
    axis.set_xlabel("UTC, at dispatch")
    axis.set_ylim(bottom=0)
    _time_axis(axis)
    figure.tight_layout()
    figure.savefig(path, dpi=DPI)
    plt.close(figure)


def plot_orders(capture: Capture, path: pathlib.Path) -> None:
    steps = capture.timeline(as_frame=False)
    figure, axis = plt.subplots(figsize=(11, 0.9 + 0.45 * max(1, len(steps))))
    stages = (("committed", "tab:gray"), ("sent", "tab:blue"), ("replied", "tab:orange"),
              ("dispatched", "tab:green"))
    labels = []
    for row, step in enumerate(steps):
        times = [step[name] for name, _ in stages if step[name] is not None]
        axis.plot(times, [row] * len(times), color="tab:red" if step["refused"] else "black",
                  lw=1.5)
        for name, color in stages:
            if step[name] is not None:
                axis.scatter([step[name]], [row], color=color, s=40, zorder=3,
                             label=name if row == 0 else None)
        labels.append(f"{step['internal_no']} {step['kind']} {step['symbol']}" +
                      (" (refused)" if step["refused"] else ""))
    axis.set_yticks(range(len(steps)), labels, fontsize=8)
    axis.set_ylim(len(steps) - 0.5, -0.5)
    axis.set_title("Each order: commit, send, the server's reply, its dispatch", pad=24)
    if steps:
        axis.legend(loc="lower center", bbox_to_anchor=(0.5, 1.0), fontsize=7, ncol=4,
                    frameon=False)
    _time_axis(axis)
    figure.tight_layout()
    figure.savefig(path, dpi=DPI)
    plt.close(figure)


def summary(capture: Capture) -> dict[str, Any]:
    messages = capture.messages(as_frame=False)
    delays = [m["delay_ms"] for m in messages if m["delay_ms"] is not None]
    kinds = collections.Counter(e.name for e in capture)
    timeline = capture.timeline(as_frame=False)
    return {
        "kinds": sorted(kinds.items(), key=lambda item: (-item[1], item[0])),
        "messages": len(messages),
        "deals": len(capture.deals(as_frame=False)),
        "refusals": [(t["internal_no"], t["kind"], t["symbol"], t["reason"]) for t in timeline
                     if t["refused"]],
        "delays": {name: percentile(delays, share) for name, share in
                   (("p50", 0.5), ("p90", 0.9), ("p99", 0.99), ("max", 1.0))} if delays else {},
        "mean_delay": statistics.fmean(delays) if delays else None,
    }


def _rows(cells: list[tuple[Any, ...]]) -> str:
    return "\n".join("<tr>" + "".join(f"<td>{html.escape(str(c))}</td>" for c in row) + "</tr>"
                     for row in cells)


PAGE = """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Tradewire session {title}</title>
<style>
body {{ font-family: sans-serif; margin: 2em; color: #222; max-width: 1150px; }}
h1 {{ font-size: 1.4em; }} h2 {{ font-size: 1.1em; margin-top: 1.6em; }}
table {{ border-collapse: collapse; margin: 0.5em 0; }}
td, th {{ border: 1px solid #ccc; padding: 3px 10px; text-align: left; }}
th {{ background: #f2f2f2; }} img {{ max-width: 100%; border: 1px solid #ddd; }}
.warning {{ background: #fff3cd; padding: 0.6em; border: 1px solid #e0c060; }}
</style></head>
<body>
<h1>Session {title}</h1>
<p>Server {server}, started {start} UTC, {messages} messages dispatched, {events} callbacks.</p>
{warning}
<h2>Quotes, deals and orders</h2><img src="quotes.png" alt="bid and ask by instrument">
<h2>Receive to dispatch</h2><img src="delay.png" alt="delay from receive to dispatch">
<h2>Orders</h2><img src="orders.png" alt="order timelines">
<h2>Summary</h2>
<table><tr><th>Deals</th><td>{deals}</td></tr>
<tr><th>Refusals</th><td>{refusal_count}</td></tr>
<tr><th>Delay (ms)</th><td>{delays}</td></tr></table>
<h2>Refusals</h2>
<table><tr><th>Order</th><th>Kind</th><th>Instrument</th><th>Reason</th></tr>
{refusals}</table>
<h2>Messages by kind</h2>
<table><tr><th>Callback</th><th>Count</th></tr>
{kinds}</table>
<script>
// Marks how many images loaded, for a browser check that needs no person.
window.addEventListener("load", function () {{
  var images = Array.from(document.images);
  var loaded = images.filter(function (i) {{ return i.complete && i.naturalWidth > 0; }});
  document.body.setAttribute("data-images", loaded.length + "/" + images.length);
}});
</script>
</body></html>
"""


def write_report(capture_path: str | os.PathLike[str], folder: str | os.PathLike[str]) -> pathlib.Path:
    """Writes report.html and its images into `folder`; returns the page's path."""
    out = pathlib.Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", CaptureTruncated)
        capture = read_capture(capture_path)
    plot_quotes(capture, out / IMAGES[0])
    plot_delay(capture, out / IMAGES[1])
    plot_orders(capture, out / IMAGES[2])
    facts = summary(capture)
    delays = ", ".join(f"{name} {value:.0f}" for name, value in facts["delays"].items()) or "none"
    warning = (f'<p class="warning">This capture is incomplete: {html.escape(capture.truncated)}'
               "</p>" if capture.truncated else "")
    page = PAGE.format(
        title=html.escape(pathlib.Path(capture.path).name),
        server=html.escape(capture.facts.get("server", "?")),
        start=capture.start.strftime("%Y-%m-%d %H:%M:%S"), messages=facts["messages"],
        events=len(capture), warning=warning, deals=facts["deals"],
        refusal_count=len(facts["refusals"]), delays=html.escape(delays),
        refusals=_rows(facts["refusals"]) or "<tr><td colspan=4>none</td></tr>",
        kinds=_rows(facts["kinds"]))
    target = out / "report.html"
    target.write_text(page, encoding="utf-8")
    return target


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(prog="python3 -m tradewire.report",
                                     description="Writes an HTML report of a capture.")
    parser.add_argument("capture", help="a .twcap file")
    parser.add_argument("-o", "--output", required=True, help="folder for report.html")
    args = parser.parse_args(argv)
    try:
        page = write_report(args.capture, args.output)
    except (OSError, ValueError) as error:
        print(f"tradewire.report: {error}", file=sys.stderr)
        return 1
    print(page)
    return 0


if __name__ == "__main__":
    sys.exit(main())
