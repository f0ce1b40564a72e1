"""The web console of pravikd in a real browser (headless Chromium).

Every case starts a service of its own on loopback and a fresh browser
profile. After every case the browser's console must hold no policy violation
and no script error: the page's Content-Security-Policy forbids inline script
and style, and a breach shows only there.

Exit status 77 (skipped) when Chromium, its driver or Selenium is missing.
"""

import os
import shutil
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
WEB = Path(os.environ.get("PRAVIK_WEB_DIR", HERE.parent.parent / "service" / "web"))
SHOTS = Path(os.environ.get("PRAVIK_SCREENSHOTS", tempfile.gettempdir() + "/pravik-screenshots"))
CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
OPERATOR, VIEWER = "op-token", "view-token"
INVALID = "令牌无效/Invalid token"
TOO_MANY = "尝试过多，请稍后再试/Too many attempts, try again later"
SENT = "已发送/Sent"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

from stand_in_service import TIMEOUT_MESSAGE, StandInService

# The board states as the page colours them (CSS custom properties in app.css).
STATE_COLOURS = {"ok": "rgb(29, 122, 52)", "failing": "rgb(178, 86, 0)",
                 "offline": "rgb(179, 38, 30)", "unknown": "rgb(95, 99, 104)"}


def start_browser(width, height):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    profile = tempfile.mkdtemp(prefix="pravik-browser-")
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-quic",
                 "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height + 150), "--lang=zh-CN"]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.profile_dir = profile
    # The page's own size, whatever the window around it takes.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
    return driver


class ConsoleTest(unittest.TestCase):
    def setUp(self):
        self.service = StandInService(WEB).start()
        self.addCleanup(self.service.stop)
        self.browser = start_browser(1280, 800)
        self.addCleanup(self.close_browser)
        self.wait = WebDriverWait(self.browser, 10, poll_frequency=0.05)

    def close_browser(self):
        problems = [e["message"] for e in self.browser.get_log("browser")
                    if "Content Security Policy" in e["message"] or "Uncaught" in e["message"]]
        self.browser.quit()
        shutil.rmtree(self.browser.profile_dir, ignore_errors=True)
        self.assertEqual(problems, [])

    # ---- reading and driving the page ----
    def el(self, css):
        return self.browser.find_element(By.CSS_SELECTOR, css)

    def text_of(self, css):
        return self.el(css).text

    def until_text(self, css, text):
        self.wait.until(lambda d: text in d.find_element(By.CSS_SELECTOR, css).text,
                        "%r never showed %r" % (css, text))

    def sign_in(self, token, expect_console=True):
        self.browser.get(self.service.url)
        field = self.wait.until(lambda d: d.find_element(By.ID, "token"))
        field.clear()
        field.send_keys(token)
        self.el("#sign-in").click()
        if expect_console:
            self.wait.until(lambda d: d.find_element(By.ID, "tabs").is_displayed())
            self.wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#boards-body tr")) == 3)
            self.until_text("#live", "实时/Live")

    def row(self, board):
        """A board's row as one reading: the rows are drawn anew on every event."""
        return self.browser.execute_script(
            "const r = document.querySelector(`#boards-body tr[data-board='${arguments[0]}']`);"
            "return r && {state: r.className, text: r.innerText,"
            " colour: getComputedStyle(r.querySelector('.state')).backgroundColor}", board)

    def open_board(self, name):
        self.browser.execute_script("location.hash = arguments[0]", "#board/" + name)
        self.wait.until(lambda d: d.find_element(By.ID, "view-board").is_displayed())
        self.wait.until(lambda d: d.execute_script(
            "return [...document.querySelectorAll('#board-show img, #board-screens img')]"
            ".filter(i => i.complete && i.naturalWidth > 0).length")
            == 1 + len(self.service.content[self.service.boards[name]["shows"]["file"]]))

    def shot(self, name):
        SHOTS.mkdir(parents=True, exist_ok=True)
        self.browser.save_screenshot(str(SHOTS / ("%s.png" % name)))

    # ---- cases ----
    def test_wrong_token_is_refused_and_too_many_attempts_are_said_as_such(self):
        self.sign_in("not-a-token", expect_console=False)
        self.until_text("#sign-in-error", INVALID)
        self.assertFalse(self.el("#tabs").is_displayed())
        self.assertIsNone(self.browser.execute_script("return sessionStorage.getItem('pravikd.token')"))
        # Ten failures in all, then the address is refused even a right token.
        for token in ["x"] * 9 + [OPERATOR]:
            self.browser.execute_script("document.getElementById('sign-in-error').textContent = ''")
            self.el("#token").clear()
            self.el("#token").send_keys(token)
            self.el("#sign-in").click()
            self.wait.until(lambda d: d.find_element(By.ID, "sign-in-error").text)
        self.assertEqual(self.text_of("#sign-in-error"), TOO_MANY)
        self.assertFalse(self.el("#tabs").is_displayed())

    def test_three_boards_appear_in_their_colours_and_sign_out_forgets_the_token(self):
        self.service.go_silent("b", "无回应/No echo", state="failing")
        self.service.boards["c"]["state"] = "unknown"
        self.sign_in(OPERATOR)
        for board, state in [("a", "ok"), ("b", "failing"), ("c", "unknown")]:
            self.assertEqual(self.row(board)["colour"], STATE_COLOURS[state], board)
        self.assertIn("sale.lt [0–1]", self.row("b")["text"])
        self.assertIn("操作员/Operator", self.text_of("#who"))
        storage = self.browser.execute_script(
            "return [sessionStorage.getItem('pravikd.token'), localStorage.length, document.cookie]")
        self.assertEqual(storage, [OPERATOR, 0, ""])
        self.shot("boards-1280x800")
        self.el("#sign-out").click()
        self.assertTrue(self.el("#token").is_displayed())
        self.assertIsNone(self.browser.execute_script("return sessionStorage.getItem('pravikd.token')"))
        self.browser.refresh()
        self.wait.until(lambda d: d.find_element(By.ID, "token").is_displayed())
        self.shot("sign-in-1280x800")

    def test_a_send_shows_its_progress_and_ends_sent(self):
        self.service.hold_jobs("a")
        self.sign_in(OPERATOR)
        self.open_board("a")
        self.el("#send-all").click()
        self.wait.until(lambda d: d.find_element(By.ID, "job-progress").get_attribute("max") == "4")
        self.service.step("a", 2)
        self.wait.until(lambda d: d.find_element(By.ID, "job-progress").get_attribute("value") == "1")
        self.until_text("#job-result", "第 2 屏，共 4 屏/Screen 2 of 4")
        self.assertIn("lobby.lt, screens 0-3", self.text_of("#job-label"))
        self.shot("board-sending-1280x800")
        self.service.step("a", 2)
        self.until_text("#job-result", SENT)
        self.assertFalse(self.el("#job-progress").is_displayed())
        self.assertEqual([j["kind"] for j in self.service.jobs.values()], ["send-all"])
        self.shot("board-1280x800")

    def test_a_refused_command_shows_the_services_reason(self):
        self.sign_in(OPERATOR)
        self.open_board("b")
        self.el("#stop").click()
        self.until_text("#job-result", "nothing under way on b")
        self.el("#range-start").clear()
        self.el("#range-start").send_keys("230")
        self.el("#range-count").clear()
        self.el("#range-count").send_keys("10")
        self.el("#send-range").click()
        # Refused in the page: no request reaches the service.
        self.assertEqual(self.service.jobs, {})
        self.el("#range-count").clear()
        self.el("#range-count").send_keys("9")
        self.el("#send-range").click()
        self.until_text("#job-result", SENT)
        self.assertEqual([j["what"] for j in self.service.jobs.values()], ["range 230+9"])

    def test_a_silent_board_turns_red_with_its_message(self):
        self.sign_in(OPERATOR)
        self.service.go_silent("c")
        self.wait.until(lambda d: "state-offline" in self.row("c")["state"])
        self.assertEqual(self.row("c")["colour"],
                         STATE_COLOURS["offline"])
        self.assertIn(TIMEOUT_MESSAGE, self.row("c")["text"])
        self.assertIn("重试/Retry", self.row("c")["text"])
        self.assertEqual(self.row("a")["colour"],
                         STATE_COLOURS["ok"])
        self.shot("boards-offline-1280x800")

    def test_a_viewer_sees_no_control_that_changes_anything(self):
        self.sign_in(VIEWER)
        self.assertIn("查看者/Viewer", self.text_of("#who"))
        self.assertFalse(self.el('#tabs a[data-view="upload"]').is_displayed())
        self.open_board("a")
        visible = [b.text for b in self.browser.find_elements(By.CSS_SELECTOR, "main button, main input, select")
                   if b.is_displayed()]
        self.assertEqual(visible, [])

    def test_the_stream_is_read_again_after_a_drop(self):
        self.sign_in(OPERATOR)
        self.service.drop_streams()
        self.wait.until(lambda d: self.service.stream_count() == 1)
        self.until_text("#live", "实时/Live")
        self.service.go_silent("a", "无回应/No echo")
        self.wait.until(lambda d: "无回应/No echo" in self.row("a")["text"])

    def test_a_board_list_older_than_an_event_does_not_undo_it(self):
        self.sign_in(OPERATOR)
        self.service.hold_board_list()
        held = self.service.list_held
        self.service.drop_streams()  # the page reads the list again when the stream is back
        self.assertTrue(held.wait(10))
        self.wait.until(lambda d: self.service.stream_count() == 1)
        self.service.go_silent("a")
        self.wait.until(lambda d: "state-offline" in self.row("a")["state"])
        self.browser.execute_script("document.querySelector(\"tr[data-board='c']\").stale = true")
        self.service.release_board_list()
        self.wait.until(lambda d: d.execute_script(
            "return !document.querySelector(\"tr[data-board='c']\").stale"))
        self.assertIn("state-offline", self.row("a")["state"])

    def test_upload_names_missing_pictures_and_sends_names_as_the_file_writes_them(self):
        folder = Path(tempfile.mkdtemp(prefix="pravik-upload-"))
        self.addCleanup(shutil.rmtree, folder)
        record = '{n}\r\n"{pic}"\r\n"向右展开"\r\n"1"\r\n"画面停留"\r\n"3"\r\n"显示图片"\r\n"向上移动"\r\n"1"\r\n'
        display = ("[comm]\r\nPort =   0\r\nIP Port =    1973\r\nIP Address = 127.0.0.2\r\nAddress =  1\r\n"
                   "feedback =  1\r\nscrtype =  2\r\nscrwidth =  160\r\nscrhigh =  32\r\n[Pics]\r\n"
                   + record.format(n=0, pic="C:\\pics\\Welcome.bmp") + record.format(n=1, pic="art/sale.gif")
                   + "2,\"C:\\pics\\Welcome.bmp\",\"向右展开\",\"1\",\"画面停留\",\"3\",\"显示图片\",\"向上移动\",\"1\"\r\n")
        (folder / "shop.lt").write_bytes(display.encode("cp936"))
        (folder / "Welcome.bmp").write_bytes(b"BM-welcome")
        (folder / "sale.gif").write_bytes(b"GIF89a-sale")
        self.sign_in(OPERATOR)
        self.browser.execute_script("location.hash = '#upload'")
        picker = self.el("#upload-files")
        picker.send_keys("\n".join(str(folder / n) for n in ["shop.lt", "Welcome.bmp"]))
        self.until_text("#upload-message", "缺少图片/Missing pictures: art/sale.gif")
        self.assertFalse(self.el("#upload-send").is_enabled())
        self.shot("upload-missing-1280x800")
        picker.clear()
        picker.send_keys("\n".join(str(folder / n) for n in ["shop.lt", "Welcome.bmp", "sale.gif"]))
        self.wait.until(lambda d: d.find_element(By.ID, "upload-send").is_enabled())
        self.el("#upload-send").click()
        self.until_text("#upload-message", "已上传/Uploaded: shop.lt")
        self.assertEqual(self.service.uploads,
                         [{"display": "shop.lt", "pictures": ["C:\\pics\\Welcome.bmp", "art/sale.gif"]}])

    def test_the_plan_shows_a_bar_per_segment_from_the_services_midnight(self):
        self.sign_in(OPERATOR)
        self.browser.execute_script("location.hash = '#plan'")
        self.wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, ".plan-row")) == 3)
        self.until_text("#plan-range", "Europe/Berlin:")
        self.assertRegex(self.text_of("#plan-range"), r"^Europe/Berlin: (\d\d-\d\d )?00:00 – \d\d-\d\d 00:00$")
        for row in self.browser.find_elements(By.CSS_SELECTOR, ".plan-row"):
            bars = row.find_elements(By.CSS_SELECTOR, "svg.bar")
            segments = row.find_elements(By.CSS_SELECTOR, ".segments li")
            self.assertGreater(len(bars), 3)
            self.assertEqual(len(bars), len(segments))
        last = self.service.plan_queries[-1]
        self.assertEqual(last["hours"], "48")
        self.assertRegex(last["from"], r"^\d{4}-\d\d-\d\dT00:00:00\+0[12]:00$")
        self.shot("plan-1280x800")

    def test_the_audit_log_lists_requests_newest_first(self):
        self.sign_in(OPERATOR)
        self.open_board("a")
        self.el("#set-clock").click()
        self.until_text("#job-result", SENT)
        self.browser.execute_script("location.hash = '#audit'")
        self.wait.until(lambda d: "POST /api/v1/boards/a/clock" in d.find_element(By.ID, "audit-body").text)
        rows = [r.text for r in self.browser.find_elements(By.CSS_SELECTOR, "#audit-body tr")]
        clock = next(i for i, r in enumerate(rows) if "POST /api/v1/boards/a/clock" in r)
        self.assertRegex(rows[clock], r"alice 127\.0\.0\.1 POST /api/v1/boards/a/clock 202 job 1$")
        self.assertIn("GET /api/v1/me 200", rows[-1])
        self.shot("audit-1280x800")

    def test_every_view_fits_a_phone_without_scrolling_sideways(self):
        self.sign_in(OPERATOR)
        self.browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                     {"width": 375, "height": 812, "deviceScaleFactor": 1, "mobile": True})
        self.service.go_silent("c")
        self.wait.until(lambda d: "state-offline" in self.row("c")["state"])
        ready = {"#boards": "#boards-body tr", "#board/a": "#board-screens img", "#plan": ".plan-row svg",
                 "#audit": "#audit-body tr", "#upload": "#upload-files"}
        for view, shown in ready.items():
            self.browser.execute_script("location.hash = arguments[0]", view)
            if view == "#board/a":
                self.open_board("a")
            self.wait.until(lambda d: d.find_element(By.CSS_SELECTOR, shown).is_displayed())
            widths = self.browser.execute_script(
                "return [document.documentElement.scrollWidth, window.innerWidth]")
            self.assertLessEqual(widths[0], widths[1], view)
            self.browser.execute_script("window.scrollTo(0, 0)")
            self.shot("%s-375x812" % view.strip("#").replace("/", "-"))

    def test_the_first_load_is_small(self):
        self.browser.get(self.service.url)
        self.wait.until(lambda d: d.find_element(By.ID, "token").is_displayed())
        sizes = self.browser.execute_script(
            "return [performance.getEntriesByType('navigation')[0].encodedBodySize]"
            ".concat(performance.getEntriesByType('resource')"
            ".filter(r => /app\\.(js|css)$/.test(r.name)).map(r => r.encodedBodySize))")
        self.assertEqual(len(sizes), 3)
        print("first load: %d bytes (%s)" % (sum(sizes), sizes))
        self.assertLessEqual(sum(sizes), 100 * 1024)


if __name__ == "__main__":
    if webdriver is None or not CHROMIUM or not os.path.exists(DRIVER):
        print("skipped: chromium, chromedriver or python3-selenium is not installed")
        sys.exit(77)
    unittest.main()
