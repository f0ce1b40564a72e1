"""pravikd with three simulated boards, for the console's browser tests.

Everything lives in a temporary folder: the content (the demo display file
with its pictures, and a second file written by pravik-cli), the fleet, the
schedule, the configuration and the service's state. The boards share one UDP
port number on 127.0.0.2, .3 and .4: "a" answers every frame after a short
pause, so that a send takes long enough to be watched screen by screen, "b"
answers at once and "c" never answers.

The service's clock starts at ten in the morning of today in Berlin, so that
what the schedule puts on the boards does not depend on when the tests run.
"""

import ctypes
import datetime
import json
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import urllib.request
from pathlib import Path
from zoneinfo import ZoneInfo

ZONE = "Europe/Berlin"
SCHEDULE = """\
default * demo.lt
window * daily 07:00-09:00 file sale.lt
window b daily 12:00-13:00 range 0 2
window c daily 19:00-22:00 file sale.lt
"""
SALE = {"settings": {"scrtype": 2, "scrwidth": 160, "scrhigh": 32},
        "screens": [{"picture": "pictures/sale.pcx", "entryEffect": "向右展开"},
                    {"picture": "pictures/exit.gif", "entryEffect": "向上移动"}]}
# Frames "a" takes for the demo file's five screens answer after this pause:
# about half a second a screen.
ECHO_DELAY_MS = 20


def ended_with_us():
    """In the child before it runs: SIGTERM when the test dies, however it dies."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def program(variable):
    path = os.environ.get(variable)
    if not path or not os.access(path, os.X_OK):
        raise RuntimeError("%s does not name the program to run" % variable)
    return path


class ServiceFleet:
    def __init__(self):
        self.folder = Path(tempfile.mkdtemp(prefix="pravik-console-"))
        self.sims = []
        self.service = None
        self.log = []
        self.logged = threading.Condition()
        self.url = self.operator = self.viewer = None

    # ---- life ----
    def start(self):
        try:
            self._write_content()
            port = self._start_boards()
            self.start_time = datetime.datetime.now(ZoneInfo(ZONE)).replace(
                hour=10, minute=0, second=0, microsecond=0)
            (self.folder / "fleet.txt").write_text(
                "".join("%s udp:127.0.0.%d:%s 1\n" % (name, 2 + n, port) for n, name in enumerate("abc")))
            (self.folder / "schedule.txt").write_text(SCHEDULE)
            (self.folder / "pravikd.conf").write_text(
                "fleet = fleet.txt\nschedule = schedule.txt\ncontent = content\nstate = state\n"
                "records = records\nzone = %s\nlisten = 127.0.0.1:0\n" % ZONE)
            # The service makes its token file in the state folder but not
            # the folder itself (systemd does, for the installed service).
            (self.folder / "state").mkdir()
            self._start_service()
        except BaseException:
            self.stop()
            raise
        return self

    def stop(self):
        # A service asked to stop first waits for the frames on the wire,
        # and the silent board's may take five seconds more.
        for process in ([self.service] if self.service else []) + self.sims:
            process.terminate()
            try:
                process.wait(1)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            for pipe in [process.stdout, process.stderr]:
                if pipe:
                    pipe.close()
        self.service = None
        self.sims = []
        shutil.rmtree(self.folder, ignore_errors=True)

    def _write_content(self):
        examples = Path(os.environ.get("PRAVIK_EXAMPLES", Path(__file__).resolve().parents[2] / "examples"))
        content = self.folder / "content"
        content.mkdir()
        shutil.copy(examples / "demo.lt", content / "demo.lt")
        shutil.copytree(examples / "pictures", content / "pictures")
        subprocess.run([program("PRAVIK_CLI"), "create", str(content / "sale.lt")],
                       input=json.dumps(SALE).encode(), check=True)

    def _sim(self, where, *options):
        sim = subprocess.Popen([program("LEDBOARD_SIM"), "--udp", where, "--type", "2", *options],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               preexec_fn=ended_with_us)
        self.sims.append(sim)
        return sim.stdout.readline().strip()

    def _start_boards(self):
        # The port is free on 127.0.0.2 but may be taken on the others by
        # someone else's board: then all three start again on another.
        for attempt in range(3):
            port = self._sim("127.0.0.2:0", "--echo-delay-ms", str(ECHO_DELAY_MS)).rpartition(":")[2]
            bound = [self._sim("127.0.0.3:" + port), self._sim("127.0.0.4:" + port, "--silent-after", "0")]
            if port and all(bound):
                return port
            for sim in self.sims:
                sim.kill()
                sim.wait()
            self.sims = []
        raise RuntimeError("the simulated boards found no common port")

    def _start_service(self):
        environment = dict(os.environ, PRAVIKD_TEST_CLOCK=self.start_time.isoformat())
        for unset in ["STATE_DIRECTORY", "CACHE_DIRECTORY", "NOTIFY_SOCKET", "WATCHDOG_USEC"]:
            environment.pop(unset, None)
        self.service = subprocess.Popen([program("PRAVIKD"), "--config", str(self.folder / "pravikd.conf")],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                                        env=environment, preexec_fn=ended_with_us)
        threading.Thread(target=self._read_log, args=(self.service.stderr,), daemon=True).start()
        line = self.wait_for_log(lambda l: l.startswith("remote control on "))
        self.url = "http://%s/" % line.rpartition(" ")[2]
        self.operator = (self.folder / "state" / "initial-token").read_text().strip()
        self.viewer = subprocess.run(
            [program("PRAVIKD"), "--config", str(self.folder / "pravikd.conf"), "--new-token", "victor", "--viewer"],
            check=True, capture_output=True, text=True).stdout.strip()

    def _read_log(self, stream):
        for line in stream:
            with self.logged:
                self.log.append(line.rstrip("\n"))
                self.logged.notify_all()

    def wait_for_log(self, matches, timeout=20):
        """The first line of the service's log that `matches`, waiting for it."""
        deadline = time.monotonic() + timeout
        with self.logged:
            while True:
                found = next((l for l in self.log if matches(l)), None)
                if found is not None:
                    return found
                if self.service.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError("pravikd did not log it:\n" + "\n".join(self.log))
                self.logged.wait(0.2)

    # ---- asking the service directly ----
    def api(self, path, method="GET"):
        request = urllib.request.Request(self.url + "api/v1" + path, method=method,
                                         headers={"Authorization": "Bearer " + self.operator})
        with urllib.request.urlopen(request, timeout=10) as answer:
            body = answer.read()
            return json.loads(body) if "json" in answer.headers.get("Content-Type", "") else body
