"""A stand-in for pravikd's remote-control API, for the console's browser tests.

It serves the console's files with the service's Content-Security-Policy and
answers the API as the contract describes it: tokens and roles, the refusals
(401, 403, 404, 405, 409, 429), jobs that step screen by screen, the event
stream, the plan, the content folder with its pictures, uploads and the audit
log. A test drives what the boards do through its methods (hold a job, let it
step, make a board fall silent, drop the event streams); nothing waits on the
wall clock except the stream's keep-alive.
"""

import datetime
import email.parser
import json
import queue
import struct
import threading
import time
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from pathlib import Path
from zoneinfo import ZoneInfo

CSP = ("default-src 'none'; script-src 'self'; style-src 'self'; "
       "img-src 'self' blob: data:; connect-src 'self'; base-uri 'none'; "
       "form-action 'none'; frame-ancestors 'none'")
STATIC = {"/": "index.html", "/app.js": "app.js", "/app.css": "app.css", "/favicon.svg": "favicon.svg"}
TYPES = {".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8",
         ".css": "text/css; charset=utf-8", ".svg": "image/svg+xml"}
ZONE = ZoneInfo("Europe/Berlin")
TIMEOUT_MESSAGE = "超时: 请检查线路"

# ---- Pictures of what a board shows: LEDs on black -------------------------
DIGITS = ["111101101101111", "010110010010111", "111001111100111", "111001111001111",
          "101101111001001", "111100111001111", "111100111101111", "111001001001001",
          "111101111101111", "111101111001111"]
LED = [(0, 0, 0), (255, 40, 30), (40, 220, 60), (255, 200, 0)]


def screen_pixels(index, width=160, height=32):
    """Colour indexes of one screen: a frame and the screen's number in big digits."""
    colour = 1 + index % 3
    rows = [[0] * width for _ in range(height)]
    for x in range(width):
        rows[0][x] = rows[height - 1][x] = colour
    for y in range(height):
        rows[y][0] = rows[y][width - 1] = colour
    for n, digit in enumerate(str(index)):
        for cell, lit in enumerate(DIGITS[int(digit)]):
            if lit == "1":
                cx, cy = 8 + n * 16 + (cell % 3) * 4, 6 + (cell // 3) * 4
                for y in range(cy, cy + 3):
                    for x in range(cx, cx + 3):
                        rows[y][x] = colour
    for x in range(48, width - 8, 6):
        for y in range(10, 22, 6):
            rows[y][x] = rows[y][x + 1] = 1 + (x // 6 + index) % 3
    return rows


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(c for p in row for c in LED[p]) for row in rows)
    head = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def gif(frames):
    """An animated GIF, its LZW codes cleared before the table would grow."""
    width, height = len(frames[0][0]), len(frames[0])
    palette = b"".join(bytes(c) for c in LED)
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF1, 0, 0) + palette)
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for rows in frames:
        out += b"\x21\xf9\x04\x00" + struct.pack("<H", 100) + b"\x00\x00"
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02"
        bits, nbits, data = 0, 0, bytearray()
        pixels = [p for row in rows for p in row]
        codes = []
        for i, p in enumerate(pixels):
            if i % 2 == 0:
                codes.append(4)  # clear: every code stays 3 bits wide
            codes.append(p)
        codes.append(5)
        for code in codes:
            bits |= code << nbits
            nbits += 3
            while nbits >= 8:
                data.append(bits & 0xFF)
                bits >>= 8
                nbits -= 8
        if nbits:
            data.append(bits)
        for i in range(0, len(data), 255):
            block = data[i:i + 255]
            out += bytes([len(block)]) + block
        out += b"\x00"
    return bytes(out + b"\x3b")


def picture_names(display_file):
    """The picture column of a display file's records (list-input fields, nine a record)."""
    text = display_file.decode("cp936")
    lines = text.replace("\r\n", "\n").split("\n")
    fields = []
    for line in lines[lines.index("[Pics]") + 1:]:
        for field in line.split(","):
            if field.strip():
                fields.append(field.strip().strip('"'))
    return [fields[r + 1] for r in range(0, len(fields) - 1, 9)]


def iso(moment):
    return moment.astimezone(ZONE).isoformat(timespec="seconds") if moment else None


class StandInService:
    """Boards "a", "b", "c" showing the files of a small content folder."""

    def __init__(self, web_dir, tokens=None):
        self.web_dir = Path(web_dir)
        self.tokens = tokens or {"op-token": ("alice", "operator"), "view-token": ("victor", "viewer")}
        self.lock = threading.RLock()
        self.listeners = []
        self.streams = []
        self.failures = {}
        self.audit = []
        self.jobs = {}
        self.next_job = 1
        self.uploads = []
        self.plan_queries = []
        self.list_held = self.list_release = None
        self.held = set()
        self.steps = {}
        now = datetime.datetime.now(ZONE).replace(microsecond=0)
        self.content = {
            "lobby.lt": ["welcome.bmp", "exit.gif", "sale.pcx", "notice.txt"],
            "sale.lt": ["sale.pcx", "price.bmp"],
        }
        self.boards = {}
        for n, (name, file) in enumerate([("a", "lobby.lt"), ("b", "sale.lt"), ("c", "lobby.lt")]):
            self.boards[name] = {
                "board": name, "state": "ok", "lastContact": iso(now), "lastSuccess": iso(now),
                "lastFailure": None, "failuresInARow": 0,
                "shows": {"file": file, "range": {"start": 0, "count": 2} if name == "b" else None,
                          "content": "%08x" % zlib.crc32(file.encode()), "since": iso(now)},
                "nextChange": iso(now.replace(minute=0, second=0) + datetime.timedelta(hours=2)),
                "nextRetry": None, "clockSet": None, "clockOffset": 3600,
                "link": "udp:127.0.0.%d:1973" % (n + 2), "address": 1, "busy": False, "job": None}
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), self._handler())
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    # ---- life ----
    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.drop_streams()
        self.server.shutdown()
        self.server.server_close()

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.server.server_address[1]

    # ---- what a test makes the boards do ----
    def hold_jobs(self, board):
        """Jobs on `board` wait before each screen until step() lets them on."""
        with self.lock:
            self.held.add(board)
            self.steps[board] = threading.Semaphore(0)

    def step(self, board, screens=1):
        for _ in range(screens):
            self.steps[board].release()

    def go_silent(self, board, message=TIMEOUT_MESSAGE, state="offline"):
        """The board stops answering: the service marks it with the failure."""
        with self.lock:
            b = self.boards[board]
            now = datetime.datetime.now(ZONE).replace(microsecond=0)
            b.update(state=state, failuresInARow=b["failuresInARow"] + 3,
                     lastFailure={"code": 4, "message": message, "time": iso(now)},
                     nextRetry=iso(now + datetime.timedelta(minutes=5)))
            self.emit("state", dict(b))

    def hold_board_list(self):
        """The next board list is read at once but answered only on release_board_list()."""
        self.list_held = threading.Event()
        self.list_release = threading.Event()

    def release_board_list(self):
        self.list_release.set()

    def drop_streams(self):
        with self.lock:
            streams, self.streams = self.streams, []
        for s in streams:
            s.put(None)

    def stream_count(self):
        with self.lock:
            return len(self.streams)

    # ---- events ----
    def emit(self, kind, data):
        with self.lock:
            for s in self.streams:
                s.put((kind, data))

    # ---- jobs ----
    def start_job(self, board, kind, what, screens):
        with self.lock:
            b = self.boards[board]
            if b["busy"]:
                return None
            job = {"id": self.next_job, "board": board, "kind": kind, "what": what, "state": "queued",
                   "screen": -1, "screens": screens, "failure": None, "started": None, "ended": None}
            self.next_job += 1
            self.jobs[job["id"]] = job
            b.update(busy=True, job=job["id"])
            self.emit("state", dict(b))
        threading.Thread(target=self._run, args=(job,), daemon=True).start()
        return job["id"]

    def _run(self, job):
        board = job["board"]
        with self.lock:
            job.update(state="running", started=iso(datetime.datetime.now(ZONE)))
            self.emit("job", dict(job))
        for screen in range(job["screens"]):
            if board in self.held:
                self.steps[board].acquire()
            with self.lock:
                if job["state"] == "stopped":
                    break
                job["screen"] = screen
                self.emit("progress", {"job": job["id"], "board": board, "screen": screen,
                                       "screens": job["screens"]})
        with self.lock:
            if job["state"] != "stopped":
                job["state"] = "done"
            job["ended"] = iso(datetime.datetime.now(ZONE))
            b = self.boards[board]
            b.update(busy=False, job=None, lastContact=job["ended"])
            if job["state"] == "done" and job["kind"].startswith("send"):
                b["shows"] = dict(b["shows"], file=job["what"].split(",")[0], range=None, since=job["ended"])
            self.emit("job", dict(job))
            self.emit("state", dict(b))

    # ---- the plan ----
    def plan(self, start, hours):
        until = start + datetime.timedelta(hours=hours)
        rows = []
        for n, name in enumerate(sorted(self.boards)):
            segments, t = [], start
            day = start.replace(hour=0, minute=0, second=0)
            cuts = []
            while day < until:
                cuts += [day + datetime.timedelta(hours=h + n) for h in (7, 12, 19)]
                day += datetime.timedelta(days=1)
            for cut in [c for c in cuts if start < c < until] + [until]:
                file = ["lobby.lt", "sale.lt", "lobby.lt"][len(segments) % 3]
                rng = {"start": 0, "count": 2} if len(segments) % 3 == 2 else None
                text = file + (", screens 0-1" if rng else "")
                segments.append({"from": iso(t), "until": iso(cut), "file": file, "range": rng, "text": text})
                t = cut
            rows.append({"board": name, "segments": segments})
        return {"zone": str(ZONE), "from": iso(start), "until": iso(until), "boards": rows}

    def content_json(self, name):
        return {"file": name, "width": 160, "height": 32, "type": 2, "screens": [
            {"index": i, "picture": p, "entry": "向右展开", "stay": "画面停留", "exit": "向上移动"}
            for i, p in enumerate(self.content[name])]}

    def _handler(self):
        service = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def do_GET(self):
                self.dispatch("GET")

            def do_POST(self):
                self.dispatch("POST")

            def do_DELETE(self):
                self.dispatch("DELETE")

            def send(self, status, body, kind="application/json", headers=()):
                if isinstance(body, (dict, list)):
                    body = json.dumps(body, ensure_ascii=False).encode()
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                self.send_header("X-Content-Type-Options", "nosniff")
                for k, v in headers:
                    self.send_header(k, v)
                self.end_headers()
                self.wfile.write(body)

            def error(self, status, text):
                self.send(status, {"error": text, "code": status})
                return status

            def dispatch(self, method):
                url = urllib.parse.urlsplit(self.path)
                self.body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                if not url.path.startswith("/api/"):
                    name = STATIC.get(url.path)
                    if method != "GET" or not name or not (service.web_dir / name).exists():
                        return self.error(404, "not found")
                    return self.send(200, (service.web_dir / name).read_bytes(), TYPES[Path(name).suffix],
                                     [("Content-Security-Policy", CSP), ("Referrer-Policy", "no-referrer")])
                address = self.client_address[0]
                with service.lock:
                    blocked = service.failures.get(address, 0) >= 10
                auth = self.headers.get("Authorization", "")
                who = service.tokens.get(auth[7:]) if auth.startswith("Bearer ") else None
                if blocked:
                    return self.error(429, "too many failed attempts")
                if not who:
                    with service.lock:
                        service.failures[address] = service.failures.get(address, 0) + 1
                    return self.error(401, "no or unknown token")
                route = url.path[len("/api/v1"):]
                if route == "/events" and method == "GET":
                    return self.events()
                status, outcome = self.api(method, route, dict(urllib.parse.parse_qsl(url.query)), who)
                with service.lock:
                    service.audit.append({"time": iso(datetime.datetime.now(ZONE)), "token": who[0],
                                          "address": address, "method": method, "route": url.path,
                                          "status": status, "outcome": outcome})

            def api(self, method, route, query, who):
                parts = [urllib.parse.unquote(p) for p in route.strip("/").split("/")]
                if method != "GET" and who[1] != "operator":
                    return self.error(403, "this token may only read"), "refused"
                if route == "/me":
                    return self.send(200, {"token": who[0], "role": who[1]}) or 200, ""
                if route == "/boards":
                    with service.lock:
                        boards = [dict(b) for b in service.boards.values()]
                        held, service.list_held = service.list_held, None
                    if held:
                        held.set()
                        service.list_release.wait(10)
                    return self.send(200, {"boards": boards}) or 200, ""
                if parts[0] == "boards" and len(parts) >= 2:
                    return self.board(method, parts[1], parts[2:])
                if parts[0] == "jobs" and len(parts) == 2 and parts[1].isdigit():
                    job = service.jobs.get(int(parts[1]))
                    return (self.send(200, job) or 200, "") if job else (self.error(404, "no such job"), "")
                if route == "/plan":
                    service.plan_queries.append(query)
                    start = datetime.datetime.fromisoformat(query["from"]) if "from" in query else \
                        datetime.datetime.now(ZONE)
                    return self.send(200, service.plan(start, int(query.get("hours", 24)))) or 200, ""
                if route == "/content" and method == "GET":
                    return self.send(200, {"files": [service.content_json(f) for f in service.content]}) or 200, ""
                if route == "/content" and method == "POST":
                    return self.upload()
                if parts[0] == "content" and len(parts) >= 3:
                    return self.picture("/".join(parts[1:-2]) if parts[-2] == "screens" else "/".join(parts[1:-1]),
                                        parts[-2:])
                if route == "/audit":
                    with service.lock:
                        return self.send(200, {"entries": service.audit[-int(query.get("lines", 100)):]}) or 200, ""
                return self.error(404, "no such route"), ""

            def board(self, method, name, rest):
                b = service.boards.get(name)
                if not b:
                    return self.error(404, "no such board: " + name), ""
                if not rest:
                    return self.send(200, dict(b)) or 200, ""
                body = json.loads(self.body or b"{}")
                action = rest[0]
                if action == "stop":
                    job = service.jobs.get(b["job"]) if b["busy"] else None
                    if not job:
                        return self.error(409, "nothing under way on " + name), ""
                    job["state"] = "stopped"
                    if name in service.held:
                        service.step(name, job["screens"])
                    return self.send(200, {"job": job["id"]}) or 200, "job %d" % job["id"]
                if action in ("send", "clock", "range"):
                    if action == "send" and body.get("file") not in service.content:
                        return self.error(404, "no such display file: %s" % body.get("file")), ""
                    if action == "send":
                        screens = len(service.content[body["file"]])
                        kind, what = ("send-all" if body.get("all") else "send"), "%s, screens 0-%d" % (
                            body["file"], screens - 1)
                    elif action == "clock":
                        screens, kind, what = 0, "clock", "clock"
                    else:
                        start, count = body.get("start", -1), body.get("count", 0)
                        if not (0 <= start <= 238 and 1 <= count <= 239 and start + count <= 239):
                            return self.error(400, "range out of bounds"), ""
                        screens, kind, what = 0, "range", "range %d+%d" % (start, count)
                    job = service.start_job(name, kind, what, screens)
                    if job is None:
                        return self.error(409, "board %s is busy" % name), ""
                    return self.send(202, {"job": job}) or 202, "job %d" % job
                return self.error(404, "no such route"), ""

            def picture(self, file, tail):
                if file not in service.content:
                    return self.error(404, "no such display file"), ""
                if tail == ["screens", tail[1]] and tail[1].endswith(".png"):
                    n = tail[1][:-4]
                    if not n.isdigit() or int(n) >= len(service.content[file]):
                        return self.error(404, "no such screen"), ""
                    return self.send(200, png(screen_pixels(int(n))), "image/png") or 200, ""
                if tail[-1] == "show.gif":
                    frames = [screen_pixels(i) for i in range(len(service.content[file]))]
                    return self.send(200, gif(frames), "image/gif") or 200, ""
                return self.error(404, "no such picture"), ""

            def upload(self):
                body = self.body
                head = ("Content-Type: %s\r\n\r\n" % self.headers.get("Content-Type")).encode()
                message = email.parser.BytesParser().parsebytes(head + body)
                parts = [(p.get_param("name", header="content-disposition"), p.get_filename(),
                          p.get_payload(decode=True)) for p in message.get_payload()]
                displays = [p for p in parts if p[0] == "display"]
                pictures = {p[1]: p[2] for p in parts if p[0] == "picture"}
                if len(displays) != 1:
                    return self.error(400, "one display part is needed"), ""
                names = picture_names(displays[0][2])
                missing = [n for n in names if n not in pictures]
                if missing:
                    return self.error(400, "missing picture: " + missing[0]), ""
                with service.lock:
                    service.uploads.append({"display": displays[0][1], "pictures": sorted(pictures)})
                    service.content[displays[0][1]] = names
                return self.send(201, {"file": displays[0][1]}) or 201, "stored " + displays[0][1]

            def events(self):
                stream = queue.Queue()
                with service.lock:
                    service.streams.append(stream)
                self.send_response(200)
                self.send_header("Content-Type", "text/event-stream")
                self.send_header("Cache-Control", "no-store")
                self.send_header("Connection", "close")
                self.end_headers()
                self.close_connection = True
                try:
                    while True:
                        try:
                            item = stream.get(timeout=15)
                        except queue.Empty:
                            self.wfile.write(b": keep-alive\n\n")
                            self.wfile.flush()
                            continue
                        if item is None:
                            break
                        kind, data = item
                        # CR LF lines cut between CR and LF, the data on
                        # several lines: what a careless reader misparses.
                        lines = json.dumps(data, ensure_ascii=False, indent=1).split("\n")
                        raw = ("event: %s\r\n" % kind + "".join("data: %s\r\n" % l for l in lines)
                               + "\r\n").encode()
                        cut = raw.index(b"\r\n") + 1
                        self.wfile.write(raw[:cut])
                        self.wfile.flush()
                        time.sleep(0.01)  # so the reader gets the halves apart
                        self.wfile.write(raw[cut:])
                        self.wfile.flush()
                except (BrokenPipeError, ConnectionResetError):
                    pass
                finally:
                    with service.lock:
                        if stream in service.streams:
                            service.streams.remove(stream)

        return Handler
