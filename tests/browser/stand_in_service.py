"""A stand-in for pravikd's remote control, for the browser cases the service
itself cannot play on cue: its event stream dropped, and a board list held back
until an event has overtaken it.

It serves the console's files with the service's Content-Security-Policy and
answers the little of the API those cases need (who the token is, the board
list, the event stream); anything else is 404, which the console takes as
that part being empty. A test drives it through its methods.
"""

import datetime
import json
import queue
import threading
import time
import urllib.parse
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


def iso(moment):
    return moment.astimezone(ZONE).isoformat(timespec="seconds")


class StandInService:
    """Boards "a", "b", "c", all well, for one operator token."""

    OPERATOR = "op-token"

    def __init__(self, web_dir):
        self.web_dir = Path(web_dir)
        self.lock = threading.RLock()
        self.streams = []
        self.list_held = self.list_release = None
        now = iso(datetime.datetime.now(ZONE))
        self.boards = {name: {
            "board": name, "state": "ok", "lastContact": now, "lastSuccess": now, "lastFailure": None,
            "failuresInARow": 0, "shows": {"file": "lobby.lt", "range": None, "content": "1", "since": now},
            "nextChange": None, "nextRetry": None, "clockSet": None, "clockOffset": 3600,
            "link": "udp:127.0.0.%d:1973" % (n + 2), "address": 1, "busy": False, "job": None}
            for n, name in enumerate("abc")}
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), self._handler())
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    # ---- life ----
    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.drop_streams()
        if self.list_release:
            self.list_release.set()
        self.server.shutdown()
        self.server.server_close()

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.server.server_address[1]

    # ---- what a test makes the boards and the stream do ----
    def go_silent(self, board, message=TIMEOUT_MESSAGE):
        """The board stops answering: the service marks it offline with the failure."""
        with self.lock:
            b = self.boards[board]
            now = datetime.datetime.now(ZONE)
            b.update(state="offline", failuresInARow=b["failuresInARow"] + 5,
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

    def emit(self, kind, data):
        with self.lock:
            for s in self.streams:
                s.put((kind, data))

    def _handler(self):
        service = self

        class Handler(BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def log_message(self, *args):
                pass

            def send(self, status, body, kind="application/json", headers=()):
                if isinstance(body, dict):
                    body = json.dumps(body, ensure_ascii=False).encode()
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Cache-Control", "no-store")
                for k, v in headers:
                    self.send_header(k, v)
                self.end_headers()
                self.wfile.write(body)

            def do_GET(self):
                path = urllib.parse.urlsplit(self.path).path
                if not path.startswith("/api/"):
                    name = STATIC.get(path)
                    if not name or not (service.web_dir / name).exists():
                        return self.send(404, {"error": "not found", "code": 404})
                    return self.send(200, (service.web_dir / name).read_bytes(), TYPES[Path(name).suffix],
                                     [("Content-Security-Policy", CSP)])
                if self.headers.get("Authorization") != "Bearer " + StandInService.OPERATOR:
                    return self.send(401, {"error": "no or unknown token", "code": 401})
                if path == "/api/v1/me":
                    return self.send(200, {"token": "alice", "role": "operator"})
                if path == "/api/v1/boards":
                    with service.lock:
                        boards = [dict(b) for b in service.boards.values()]
                        held, service.list_held = service.list_held, None
                    if held:
                        held.set()
                        service.list_release.wait(10)
                    return self.send(200, {"boards": boards})
                if path == "/api/v1/events":
                    return self.events()
                return self.send(404, {"error": "no such route", "code": 404})

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
