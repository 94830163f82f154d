#!/usr/bin/env python3
"""UI stall benchmark: the longest time the dashboard's UI thread stayed away
from its event loop, per scenario of the soak run.

    benchmarks/app/ui_stall.py [--seconds S] [--build DIR] [--only KIND,...]

Each scenario is a soak run (scripts/soak.py) of its own with only that kind
of injection, on a display of its own, with the dashboard's stall probe on
(stretches from 0.5 ms).
Stretches are counted from the moment the dashboard reports its device ready
to the end of the scenario; the start-up before it (the start-up picture,
the device search) is reported on a line of its own. Prints a table and
ends with status 1 when a scenario's longest stretch reaches the goal
(16 ms), so that a change that brings a stall back is seen.
"""

import argparse
import json
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOAK = os.path.join(ROOT, "scripts", "soak.py")
GOAL_MS = 16.0
PROBE_MIN_US = 500
SCENARIOS = ["signal", "network", "sms-stored", "sms-direct", "sms-parts", "report", "call", "silence",
             "garbage", "send", "send-many", "pullout"]


def stretches(path):
    out = []
    with open(path) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            start, duration = line.split()
            out.append((int(start), int(duration)))
    return out


def run_scenario(kind, seconds, build, folder):
    probe = os.path.join(folder, kind + ".stalls")
    report = os.path.join(folder, kind + ".json")
    # Stretches from half a millisecond on, so that the table shows how far
    # under the goal each scenario stays.
    env = dict(os.environ, EVDO_STALL_PROBE_MIN_US=str(PROBE_MIN_US))
    done = subprocess.run([sys.executable, SOAK, "--seconds", str(seconds), "--seed", "7", "--only", kind,
                           "--build", build, "--stall-probe", probe, "--report", report],
                          capture_output=True, text=True, env=env)
    if done.returncode != 0:
        sys.stdout.write(done.stdout)
        raise SystemExit(f"ui_stall: the soak run of {kind} failed")
    with open(report) as f:
        timeline = json.load(f)["timeline"]
    # Start-up: from each start to its "ready"; the scenario: everything else.
    startup, scenario = [], []
    windows, begun = [], None
    for t, what in timeline:
        if what == "startup":
            begun = t
        elif what == "ready" and begun is not None:
            windows.append((begun, t))
            begun = None
    for start, duration in stretches(probe) if os.path.exists(probe) else []:
        in_startup = any(a <= start <= b for a, b in windows)
        (startup if in_startup else scenario).append(duration / 1000.0)
    return max(scenario, default=0.0), sum(1 for d in scenario if d >= 2.0), max(startup, default=0.0)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--build", default=os.environ.get("EVDO_BUILD_DIR", os.path.join(ROOT, "build", "release")))
    parser.add_argument("--only", help="these scenarios (comma-separated)")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    kinds = args.only.split(",") if args.only else SCENARIOS
    over = []
    startup_longest = 0.0
    with tempfile.TemporaryDirectory(prefix="evdo-ui-stall-") as folder:
        print(f"{'scenario':<12} {'longest ms':>10} {'stretches >= 2 ms':>18}")
        for kind in kinds:
            longest, count, startup = run_scenario(kind, args.seconds, args.build, folder)
            startup_longest = max(startup_longest, startup)
            shown = f"{longest:.1f}" if longest else f"< {PROBE_MIN_US / 1000}"
            print(f"{kind:<12} {shown:>10} {count:>18}", flush=True)
            if longest >= GOAL_MS:
                over.append(kind)
    print(f"{'(start-up)':<12} {startup_longest:>10.1f}   before the device is ready; not a scenario")
    if over:
        print(f"ui_stall: at or over {GOAL_MS:.0f} ms: {', '.join(over)}")
        return 1
    print(f"ui_stall: every scenario under {GOAL_MS:.0f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
