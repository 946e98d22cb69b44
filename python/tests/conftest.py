"""Shared fixtures: the simulator on a free loopback port, and captures made against it.
ctest passes the built simulator in TRADEWIRE_SIM and the package in PYTHONPATH."""

from __future__ import annotations

import os
import pathlib
import subprocess
import time

import pytest

SIM = os.environ.get("TRADEWIRE_SIM", "")


class Simulator:
    def __init__(self, workdir: pathlib.Path, *extra: str) -> None:
        port_file = workdir / "port"
        pin_file = workdir / "pin"
        self.process = subprocess.Popen(
            [SIM, "--port", "0", "--port-file", str(port_file), "--pin-file", str(pin_file),
             "--seed", "7", "--quiet", *extra], stdin=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while not (port_file.exists() and port_file.read_text().strip()):
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.stop()
                raise RuntimeError("the simulator did not start")
            time.sleep(0.02)
        self.port = int(port_file.read_text().strip())
        self.pin = pin_file.read_text().strip()

    def stop(self) -> None:
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)


@pytest.fixture(scope="session")
def sim(tmp_path_factory: pytest.TempPathFactory) -> Simulator:
    if not SIM:
        pytest.skip("TRADEWIRE_SIM names no simulator")
    server = Simulator(tmp_path_factory.mktemp("sim"), "--tick-rate", "20")
    yield server
    server.stop()


def make_capture(sim: Simulator, folder: pathlib.Path, trade: bool = True):
    """A capture of a short session against the simulator (login, quotes, a deal, a refusal,
    a pending order, its deletion and the closing deal, then logout) and the live events."""
    import tradewire

    os.environ["TRADEWIRE_CAPTURE_DIR"] = str(folder)
    try:
        with tradewire.Connection("127.0.0.1", sim.port, pin=sim.pin) as conn:
            conn.login("demo", "demo")
            time.sleep(0.6)
            if trade:
                deal = conn.buy("EURUSD", 0.1)
                with pytest.raises(tradewire.OrderRefused):
                    conn.buy("EURUSD", 1000)
                bid = conn.quotes["EURUSD"].Bid
                order = conn.buy_limit("EURUSD", 0.2, round(bid * 0.9, 4))
                conn.delete_order(order)
                conn.close_position(deal)
            time.sleep(0.3)
            conn.logout()
    finally:
        del os.environ["TRADEWIRE_CAPTURE_DIR"]
    (path,) = folder.glob("tradewire-*.twcap")
    return path, list(conn.events(timeout=0))


@pytest.fixture(scope="session")
def session_capture(sim, tmp_path_factory: pytest.TempPathFactory):
    """(capture path, live events) of one traded session, shared by the capture tests."""
    return make_capture(sim, tmp_path_factory.mktemp("capture"))
