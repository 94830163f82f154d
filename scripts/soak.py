#!/usr/bin/env python3
"""Soak run: the dashboard against the simulated modem for a given time.

    scripts/soak.py [--minutes M | --seconds S] [--seed N] [--build DIR]
                    [--keep DIR] [--report FILE] [--stall-probe FILE]
                    [--only KIND[,KIND...]] [--trace]

The simulated modem injects, at random: signal and network changes, new
messages (stored on the device, delivered directly, in parts), delivery
reports, incoming calls, silence, garbage, messages sent from the dashboard
and, now and then, a pull-out with re-plug (the dashboard ends as it should,
its "Find device" box closed with the keyboard, and is started again as the
device's launcher would). The dashboard runs on a display of its own (Xvfb)
with a session bus and a notification daemon of its own. Every 10 s the
dashboard's resident memory, open descriptors and threads are sampled.

The run fails (exit status 1) on:
  - a crash: the dashboard ends when nothing pulled the device out, or ends
    with a status other than 0 after a pull-out;
  - a hang: no answer to "evdo-dashboard --status" within 5 s;
  - a lost message: a message the modem delivered that is not in the inbox
    (checked after every settling pause, before each pull-out and at the end);
  - growth: per run of the dashboard, against its sample 30 s after it was
    ready, more than 24 MB of resident memory, 8 descriptors or 4 threads.

Messages go to the device storage that the dashboard reads; its capacity is
raised so that a long run never fills it (a full storage is the modem's
refusal, not a lost message). Garbage is sent as whole lines: bytes without
an end of line run into the next line from the modem, as on a real line, and
may spoil a notification that nothing can recover.

--stall-probe FILE turns on the dashboard's stall probe (EVDO_STALL_PROBE);
the report (--report, JSON) holds the timeline of injections so that the UI
stall benchmark can tell which scenario each stall belongs to.
"""

import argparse
import json
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

STATUS_WAIT_S = 5          # an answer to --status within this is no hang
SAMPLE_EVERY_S = 10
STATUS_EVERY_S = 5
BASELINE_AFTER_S = 30      # the growth baseline: the sample this long after ready
RSS_BOUND_KB = 24 * 1024
FDS_BOUND = 8
THREADS_BOUND = 4
READY_WAIT_S = 90
EXIT_AFTER_PULL_S = 10     # the exit picture stays 2 s
SEND_WAIT_S = 300          # a send of one part whose every step times out
SETTLE_S = 12              # long enough for a read that timed out (5 s) to be tried again
CHECK_EVERY_S = 150        # a settling pause and an inbox check this often
INBOX_ROOM = 450           # the inbox keeps 500; stay below, so nothing is pushed out

# Injection kinds and their weights.
KINDS = {
    "signal": 12,
    "network": 8,
    "sms-stored": 8,
    "sms-direct": 6,
    "sms-parts": 5,
    "report": 5,
    "call": 3,
    "silence": 3,
    "garbage": 4,
    "send": 3,
    "send-many": 1,
}

WORDS = ("soak", "signal", "meeting", "tonight", "modem", "card", "hello", "station",
         "report", "later", "天气", "明天", "见面", "短信", "电话")


def log(text):
    print(f"soak: {text}", flush=True)


class Failure(Exception):
    pass


class Modem:
    """The simulated modem, with its control socket."""

    def __init__(self, build, work, trace):
        self.sock_path = os.path.join(work, "modemsim.sock")
        self.link = os.path.join(work, "modem")
        program = os.path.join(build, "tools", "modemsim", "evdo-modemsim")
        # Its errors (and with --trace the serial traffic) go to a file of the work folder.
        with open(os.path.join(work, "modemsim.log"), "w") as errors:
            self.process = subprocess.Popen([program, "--control", self.sock_path, "--link", self.link]
                                            + (["--trace"] if trace else []),
                                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=errors,
                                            text=True)
        first = self.process.stdout.readline().strip()
        if not first.startswith("/"):
            raise Failure(f"the simulated modem gave no port: {first!r}")
        # Its further output is not needed; keep the pipe from filling.
        self.process.stdout.close()
        deadline = time.monotonic() + 5
        while not os.path.exists(self.sock_path):
            if time.monotonic() > deadline:
                raise Failure("the simulated modem's control socket did not appear")
            time.sleep(0.05)
        self.control = socket.socket(socket.AF_UNIX)
        self.control.connect(self.sock_path)
        self.control.settimeout(10)
        self.pending = b""

    def command(self, line, refusal_ok=False):
        """The reply; a refusal fails the run unless refusal_ok (then None)."""
        self.control.sendall(line.encode("utf-8") + b"\n")
        reply = []
        while True:
            while b"\n" not in self.pending:
                chunk = self.control.recv(65536)
                if not chunk:
                    raise Failure("the simulated modem closed its control socket")
                self.pending += chunk
            raw, self.pending = self.pending.split(b"\n", 1)
            text = raw.decode("utf-8", "replace")
            if text == "OK":
                return "\n".join(reply)
            if text.startswith("ERROR"):
                if refusal_ok:
                    return None
                raise Failure(f"modem control {line!r}: {text}")
            reply.append(text)

    def stop(self):
        try:
            self.command("quit")
        except (Failure, OSError):
            pass
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Dashboard:
    """The dashboard started in its own data folder on the modem's link."""

    def __init__(self, build, work, link, desktop, stall_probe):
        self.build = build
        self.program = os.path.join(build, "app", "evdo-dashboard")
        self.data = os.path.join(work, "data")
        self.link = link
        runtime = os.path.join(work, "run")
        os.makedirs(self.data, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        for name, target in (("lang", os.path.join(build, "lang")), ("skin", os.path.join(ROOT, "skin"))):
            path = os.path.join(self.data, name)
            if not os.path.exists(path):
                os.symlink(target, path)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=runtime, **desktop.environment())
        if stall_probe:
            self.env["EVDO_STALL_PROBE"] = os.path.abspath(stall_probe)
        self.process = None
        self.runs = 0
        self.err_path = os.path.join(work, "dashboard.err")

    def start(self):
        self.runs += 1
        err = open(self.err_path, "a")
        err.write(f"--- run {self.runs}\n")
        err.flush()
        self.process = subprocess.Popen([self.program, "--port", self.link], cwd=self.data, env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=err)
        err.close()

    def error_tail(self):
        try:
            with open(self.err_path, encoding="utf-8", errors="replace") as f:
                return "".join(f.readlines()[-15:])
        except OSError:
            return ""

    def ask(self, args, timeout):
        """Runs a request to the running dashboard: (exit status, output)."""
        try:
            done = subprocess.run([self.program] + args, cwd=self.data, env=self.env, capture_output=True,
                                  text=True, timeout=timeout)
            return done.returncode, done.stdout
        except subprocess.TimeoutExpired:
            return None, ""

    def status(self):
        code, out = self.ask(["--status"], STATUS_WAIT_S + 3)
        if code is None or code == 4:
            raise Failure(f"hang: no answer to --status within {STATUS_WAIT_S} s")
        if code != 0:
            self.check_alive()
            raise Failure(f"--status ended with {code}")
        return json.loads(out)

    def check_alive(self):
        code = self.process.poll()
        if code is not None:
            raise Failure(f"crash: the dashboard ended with {code} while the device was plugged in\n"
                          + self.error_tail())

    def wait_ready(self):
        deadline = time.monotonic() + READY_WAIT_S
        while time.monotonic() < deadline:
            self.check_alive()
            code, out = self.ask(["--status"], STATUS_WAIT_S + 3)
            if code == 0 and json.loads(out).get("device_ready"):
                return
            time.sleep(0.5)
        raise Failure(f"the dashboard was not ready within {READY_WAIT_S} s")

    def sample(self):
        pid = self.process.pid
        rss = threads = None
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    rss = int(line.split()[1])
                elif line.startswith("Threads:"):
                    threads = int(line.split()[1])
        fds = len(os.listdir(f"/proc/{pid}/fd"))
        return {"rss_kb": rss, "fds": fds, "threads": threads}

    def inbox(self):
        code, out = self.ask(["--list-sms", "inbox"], 15)
        if code != 0:
            self.check_alive()
            raise Failure(f"--list-sms inbox ended with {code}")
        return json.loads(out)


class Desktop:
    """A display of its own (Xvfb) and a session bus with a notification daemon."""

    def __init__(self, work):
        self.processes = []
        number = next(n for n in range(150, 250)
                      if not os.path.exists(f"/tmp/.X{n}-lock") and not os.path.exists(f"/tmp/.X11-unix/X{n}"))
        self.display = f":{number}"
        self.processes.append(subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        deadline = time.monotonic() + 10
        while not os.path.exists(f"/tmp/.X11-unix/X{number}"):
            if time.monotonic() > deadline:
                raise Failure("Xvfb did not start")
            time.sleep(0.1)
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(bus)
        self.bus = bus.stdout.readline().strip()
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.bus)
        self.processes.append(subprocess.Popen([sys.executable, "-m", "dbusmock", "--template", "notification_daemon"],
                                               env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def environment(self):
        return {"DISPLAY": self.display, "DBUS_SESSION_BUS_ADDRESS": self.bus, "QT_QPA_PLATFORM": "xcb"}

    def stop(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()


class Soak:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.kinds = dict(KINDS)
        if args.only:
            wanted = args.only.split(",")
            unknown = [k for k in wanted if k not in KINDS and k != "pullout"]
            if unknown:
                raise SystemExit(f"soak: unknown kinds {unknown}; known: {sorted(KINDS)} and pullout")
            self.kinds = {k: v for k, v in KINDS.items() if k in wanted}
        self.pullouts_wanted = not args.only or "pullout" in args.only.split(",")
        self.delivered = []      # texts the modem delivered complete
        self.counts = {}
        self.timeline = []       # [monotonic ns, kind]
        self.samples = []        # per sample: time, run, figures
        self.serial = 0
        self.sends = []
        self.baseline = None
        self.ready_at = 0.0

    # ---- injections ----------------------------------------------------
    def text(self, words):
        self.serial += 1
        body = " ".join(self.rng.choice(WORDS) for _ in range(words))
        return f"S{self.serial:04d} {body}"

    def number(self):
        return "1380013" + "".join(self.rng.choice("0123456789") for _ in range(4))

    def inject(self, kind):
        m = self.modem
        if kind == "signal":
            m.command(f"devstatus signal {self.rng.choice([0, 3, 7, 12, 18, 25, 31, 99])}")
            m.command("devstatus emit rssi")
        elif kind == "network":
            choice = self.rng.randrange(4)
            if choice == 0:
                m.command(f"devstatus nwrat {self.rng.choice([0, 1, 2])} {self.rng.choice([0, 1, 2])}")
                m.command("devstatus emit netservice")
            elif choice == 1:
                m.command(f"devstatus roam {self.rng.choice([0, 1])}")
                m.command("devstatus emit roaming")
            elif choice == 2:
                m.command(f"devstatus srv {self.rng.choice([0, 1, 2])}")
                m.command("devstatus emit srv")
            else:
                m.command(f"devstatus netstatus {self.rng.choice([0, 1, 2])}")
                m.command("devstatus emit netstatus")
        elif kind in ("sms-stored", "sms-direct", "sms-parts"):
            if len(self.delivered) >= INBOX_ROOM:
                return
            if kind == "sms-stored":
                storage, text, parts = self.rng.choice(["ME", "SM"]), self.text(self.rng.randint(2, 12)), 1
            elif kind == "sms-direct":
                storage, text, parts = "direct", self.text(self.rng.randint(2, 12)), 1
            else:
                storage, parts = self.rng.choice(["ME", "direct"]), self.rng.randint(2, 4)
                text = self.text(30 * parts)
            option = f" --parts {parts}" if parts > 1 else ""
            m.command(f"sms deliver --storage {storage}{option} {self.number()} {text}")
            self.delivered.append(text)
        elif kind == "report":
            m.command(f"sms report {self.number()} {self.rng.choice([0, 0, 0, 96])}")
        elif kind == "call":
            # Refused while a call rings or is held: one call at a time.
            if m.command(f"call incoming {self.number()} --rings {self.rng.randint(1, 3)}", refusal_ok=True) is None:
                return
        elif kind == "silence":
            # At most two answers go missing at a time (a new silence replaces
            # the last): a new message's read is tried three times.
            m.command("fault clear")
            m.command(f"fault silent {self.rng.randint(1, 2)}")
        elif kind == "garbage":
            m.command(f"garbage {self.rng.randint(1, 3000)}")
            m.command("send \\r\\n")
        elif kind in ("send", "send-many"):
            # As the message window would: one number, or the most it takes
            # (ten numbers, five parts).
            if len([s for s in self.sends if s.poll() is None]) >= 2:
                return
            if kind == "send":
                numbers, text = self.number(), self.text(self.rng.randint(3, 40))
            else:
                numbers = ";".join(self.number() for _ in range(10))
                text = self.text(200)
                text = "".join(c for c in text if ord(c) < 128)[:700]
            self.sends.append(subprocess.Popen([self.dashboard.program, "--send-sms", numbers, text],
                                               cwd=self.dashboard.data, env=self.dashboard.env,
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        self.counts[kind] = self.counts.get(kind, 0) + 1
        self.timeline.append([time.monotonic_ns(), kind])

    # ---- checks --------------------------------------------------------
    def sample(self):
        figures = self.dashboard.sample()
        age = time.monotonic() - self.ready_at
        self.samples.append(dict(figures, t=round(time.monotonic() - self.started, 1),
                                 run=self.dashboard.runs))
        if self.baseline is None:
            if age >= BASELINE_AFTER_S:
                self.baseline = figures
            return
        grown = []
        if figures["rss_kb"] - self.baseline["rss_kb"] > RSS_BOUND_KB:
            grown.append(f"resident memory {self.baseline['rss_kb']} kB -> {figures['rss_kb']} kB")
        if figures["fds"] - self.baseline["fds"] > FDS_BOUND:
            grown.append(f"descriptors {self.baseline['fds']} -> {figures['fds']}")
        if figures["threads"] - self.baseline["threads"] > THREADS_BOUND:
            grown.append(f"threads {self.baseline['threads']} -> {figures['threads']}")
        if grown:
            raise Failure("growth beyond the bound: " + ", ".join(grown))

    def settle_and_check(self, why):
        """No injections for a while, then every delivered message must be in the inbox."""
        self.modem.command("fault clear")
        self.timeline.append([time.monotonic_ns(), "settle"])
        # A send holds the message link until it ends, up to a minute a step
        # when the modem left one unanswered; new messages are read after it.
        send_end = time.monotonic() + SEND_WAIT_S
        while any(s.poll() is None for s in self.sends):
            if time.monotonic() > send_end:
                raise Failure(f"a message send did not end within {SEND_WAIT_S} s")
            time.sleep(1)
            self.dashboard.check_alive()
        end = time.monotonic() + SETTLE_S
        while time.monotonic() < end:
            time.sleep(1)
            self.dashboard.check_alive()
        texts = [record.get("text", "") for record in self.dashboard.inbox()]
        missing = [t for t in self.delivered if texts.count(t) == 0]
        twice = sorted({t for t in self.delivered if texts.count(t) > 1})
        if missing:
            with open(os.path.join(self.work, "lost.txt"), "w") as f:
                f.write("inbox:\n" + "\n".join(texts) + "\nmodem history:\n" + self.modem.command("history")
                        + "\nME:\n" + self.modem.command("sms storage ME")
                        + "\nSM:\n" + self.modem.command("sms storage SM") + "\n")
            raise Failure(f"lost messages ({why}): {len(missing)} of {len(self.delivered)} not in the inbox, "
                          f"e.g. {missing[:3]}")
        if twice:
            raise Failure(f"messages stored twice ({why}): {twice[:3]}")
        log(f"{why}: all {len(self.delivered)} delivered messages are in the inbox")

    def pull_out_and_replug(self):
        self.settle_and_check("before the pull-out")
        self.timeline.append([time.monotonic_ns(), "pullout"])
        self.modem.command("hangup")
        # The exit picture for two seconds, then the "Find device" box that
        # the user closes; the program ends with it.
        process = self.dashboard.process
        end = time.monotonic() + EXIT_AFTER_PULL_S
        while process.poll() is None and time.monotonic() < end:
            time.sleep(0.5)
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid), "--name", "."],
                                   env=self.dashboard.env, capture_output=True, text=True)
            for window in found.stdout.split():
                subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "--clearmodifiers", "Return"],
                               env=self.dashboard.env, capture_output=True, timeout=10)
        if process.poll() is None:
            self.picture("not-ended")
            raise Failure(f"the dashboard did not end within {EXIT_AFTER_PULL_S} s of the pull-out")
        code = process.returncode
        if code != 0:
            raise Failure(f"the dashboard ended with {code} after the pull-out\n" + self.dashboard.error_tail())
        self.counts["pullout"] = self.counts.get("pullout", 0) + 1
        self.modem.command("replug")
        self.start_dashboard()
        log(f"pull-out and re-plug: run {self.dashboard.runs} ready")

    def picture(self, name):
        """With a display, a picture of the screen for the failure's report."""
        if shutil.which("import"):
            path = os.path.join(self.work, name + ".png")
            subprocess.run(["import", "-window", "root", path], env=self.dashboard.env, timeout=20,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            log(f"picture of the screen: {path}")

    def start_dashboard(self):
        self.timeline.append([time.monotonic_ns(), "startup"])
        self.dashboard.start()
        self.dashboard.wait_ready()
        self.timeline.append([time.monotonic_ns(), "ready"])
        self.ready_at = time.monotonic()
        self.baseline = None
        time.sleep(1)  # the notification handlers are in place once the device is ready

    # ---- the run -------------------------------------------------------
    def run(self):
        args = self.args
        seconds = args.seconds if args.seconds else args.minutes * 60
        work = args.keep or tempfile.mkdtemp(prefix="evdo-soak-")
        os.makedirs(work, exist_ok=True)
        self.work = work
        log(f"{seconds} s, seed {args.seed}, work folder {work}")
        self.desktop = Desktop(work)
        self.modem = Modem(args.build, work, args.trace)
        self.dashboard = Dashboard(args.build, work, self.modem.link, self.desktop, args.stall_probe)
        failure = None
        try:
            # A storage the dashboard reads new messages from never fills in a long run.
            for storage in ("ME", "SM"):
                self.modem.command(f"sms capacity {storage} 1000")
            self.started = time.monotonic()
            self.start_dashboard()
            deadline = self.started + seconds
            # Pull-outs: one in a short run (in its middle part), about one in ten minutes otherwise.
            pullouts = []
            if self.pullouts_wanted:
                count = max(1, round(seconds / 600))
                pullouts = sorted(self.started + self.rng.uniform(0.3, 0.7) * seconds * (i + 1) / count
                                  for i in range(count))
            next_sample = time.monotonic()
            next_status = time.monotonic()
            next_check = time.monotonic() + CHECK_EVERY_S
            names, weights = list(self.kinds), list(self.kinds.values())
            while time.monotonic() < deadline:
                now = time.monotonic()
                if pullouts and now >= pullouts[0]:
                    pullouts.pop(0)
                    self.pull_out_and_replug()
                    continue
                if now >= next_check and deadline - now > CHECK_EVERY_S / 2:
                    self.settle_and_check("settling pause")
                    next_check = time.monotonic() + CHECK_EVERY_S
                    continue
                if now >= next_status:
                    self.dashboard.check_alive()
                    self.dashboard.status()
                    next_status = now + STATUS_EVERY_S
                if now >= next_sample:
                    self.sample()
                    next_sample = now + SAMPLE_EVERY_S
                if names:
                    self.inject(self.rng.choices(names, weights)[0])
                time.sleep(self.rng.uniform(0.3, 2.5))
            self.settle_and_check("at the end")
            self.sample()
        except Failure as f:
            failure = str(f)
        finally:
            for send in self.sends:
                if send.poll() is None:
                    send.kill()
            if self.dashboard.process is not None and self.dashboard.process.poll() is None:
                self.dashboard.process.terminate()
                try:
                    self.dashboard.process.wait(5)
                except subprocess.TimeoutExpired:
                    self.dashboard.process.kill()
            self.modem.stop()
            self.desktop.stop()
        self.report(failure, work)
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
        return 1 if failure else 0

    def report(self, failure, work):
        runs = {}
        for s in self.samples:
            runs.setdefault(s["run"], []).append(s)
        log("injections: " + ", ".join(f"{k} {v}" for k, v in sorted(self.counts.items())))
        log(f"messages delivered: {len(self.delivered)}; dashboard runs: {self.dashboard.runs}")
        for run, samples in sorted(runs.items()):
            first, last = samples[0], samples[-1]
            peak = max(s["rss_kb"] for s in samples)
            log(f"run {run}: {len(samples)} samples; resident {first['rss_kb']} -> {last['rss_kb']} kB "
                f"(peak {peak}); descriptors {first['fds']} -> {last['fds']}; "
                f"threads {first['threads']} -> {last['threads']}")
        if self.args.report:
            with open(self.args.report, "w") as f:
                json.dump({"failure": failure, "counts": self.counts, "delivered": len(self.delivered),
                           "samples": self.samples, "timeline": self.timeline,
                           "runs": self.dashboard.runs}, f, indent=1)
        if failure:
            log(f"FAILED: {failure}")
            if not self.args.keep:
                log("(run again with --keep DIR and the same --seed to keep the work folder)")
        else:
            log("passed")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--minutes", type=float, default=2)
    parser.add_argument("--seconds", type=float)
    parser.add_argument("--seed", type=int, default=int(time.time()) % 100000)
    parser.add_argument("--build", default=os.environ.get("EVDO_BUILD_DIR", os.path.join(ROOT, "build", "release")))
    parser.add_argument("--keep", help="work in this folder and keep it")
    parser.add_argument("--report", help="write a JSON report here")
    parser.add_argument("--stall-probe", help="turn on the stall probe, writing to this file")
    parser.add_argument("--trace", action="store_true", help="the serial traffic into modemsim.log of the work folder")
    parser.add_argument("--only", help="only these injection kinds (comma-separated; 'pullout' too)")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)  # the dashboard runs in its data folder
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(2))
    return Soak(args).run()


if __name__ == "__main__":
    sys.exit(main())
