"""The web console in headless Chromium against pravikd itself, keeping three
simulated boards ("a" slow to answer, "b" quick, "c" silent; service_fleet.py).

The service and its boards are started once for the module; a case that leaves
them unfit for the next one (an address shut out, a board driven offline)
hands them back spent, and the next case gets fresh ones. Each case also runs
alone, as CTest runs them.

Exit status 77 (skipped) when Chromium, its driver or Selenium is missing.
"""

import datetime
import shutil
import sys
import tempfile
import unittest
import urllib.parse
from pathlib import Path
from zoneinfo import ZoneInfo

from console_page import STATE_COLOURS, By, ConsolePage, WebDriverWait, browser_missing
from service_fleet import ZONE, ServiceFleet

INVALID = "令牌无效/Invalid token"
TOO_MANY = "尝试过多，请稍后再试/Too many attempts, try again later"
SENT = "已发送/Sent"
NO_ECHO = "超时: 请检查线路"
FLEET = None


def fleet():
    global FLEET
    if FLEET is None:
        FLEET = ServiceFleet().start()
    return FLEET


def spent():
    global FLEET
    if FLEET is not None:
        FLEET.stop()
        FLEET = None


def tearDownModule():
    spent()


class ConsoleTest(ConsolePage, unittest.TestCase):
    def setUp(self):
        self.fleet = fleet()
        self.url = self.fleet.url
        self.open_browser()

    def open_board(self, name, pictures=1 + 5):
        """The board's page, with its show and every screen's picture loaded."""
        self.browser.execute_script("location.hash = arguments[0]", "#board/" + name)
        self.wait.until(lambda d: d.find_element(By.ID, "view-board").is_displayed())
        self.wait.until(lambda d: d.execute_script(
            "return [...document.querySelectorAll('#board-show img, #board-screens img')]"
            ".filter(i => i.complete && i.naturalWidth > 0).length") == pictures)

    def set_range(self, start, count):
        for field, value in [("#range-start", start), ("#range-count", count)]:
            self.el(field).clear()
            self.el(field).send_keys(str(value))
        self.el("#send-range").click()

    def fact(self, term):
        return self.browser.execute_script(
            "const t = [...document.querySelectorAll('#board-facts dt')].find(t => t.textContent === arguments[0]);"
            "return t && t.nextElementSibling.textContent", term)

    def audited(self, route):
        return [e for e in self.fleet.api("/audit?lines=1000")["entries"] if e.get("route") == route]

    # ---- cases ----
    def test_wrong_token_is_refused_and_too_many_attempts_are_said_as_such(self):
        self.addCleanup(spent)  # 127.0.0.1 stays shut out for a minute
        self.sign_in("not-a-token", expect_console=False)
        self.until_text("#sign-in-error", INVALID)
        self.assertFalse(self.el("#tabs").is_displayed())
        self.assertIsNone(self.browser.execute_script("return sessionStorage.getItem('pravikd.token')"))
        # Ten failures within the minute, then the address is refused even a
        # right token.
        for token in ["x"] * 9 + [self.fleet.operator]:
            self.browser.execute_script("document.getElementById('sign-in-error').textContent = ''")
            self.el("#token").clear()
            self.el("#token").send_keys(token)
            self.el("#sign-in").click()
            self.wait.until(lambda d: d.find_element(By.ID, "sign-in-error").text)
        self.assertEqual(self.text_of("#sign-in-error"), TOO_MANY)
        self.assertFalse(self.el("#tabs").is_displayed())

    def test_three_boards_appear_in_their_colours_and_sign_out_forgets_the_token(self):
        self.sign_in(self.fleet.operator)
        self.until_row("c", "failing", seconds=20)
        for board, state in [("a", "ok"), ("b", "ok"), ("c", "failing")]:
            self.assertEqual(self.row(board)["colour"], STATE_COLOURS[state], board)
            self.assertIn("demo.lt" if state == "ok" else "—", self.row(board)["text"], board)
        # The times are the service's wall clock: its day began at ten, the
        # next change is tomorrow's window at seven.
        tomorrow = self.fleet.start_time + datetime.timedelta(days=1)
        self.assertRegex(self.row("a")["text"], r"\t10:00:\d\d\tdemo\.lt\t%s 07:00\t—$" % tomorrow.strftime("%m-%d"))
        self.assertIn(NO_ECHO, self.row("c")["text"])
        self.assertIn("admin · 操作员/Operator", self.text_of("#who"))
        storage = self.browser.execute_script(
            "return [sessionStorage.getItem('pravikd.token'), localStorage.length, document.cookie]")
        self.assertEqual(storage, [self.fleet.operator, 0, ""])
        self.shot("boards-1280x800")
        self.el("#sign-out").click()
        self.assertTrue(self.el("#token").is_displayed())
        self.assertIsNone(self.browser.execute_script("return sessionStorage.getItem('pravikd.token')"))
        self.browser.refresh()
        self.wait.until(lambda d: d.find_element(By.ID, "token").is_displayed())
        self.shot("sign-in-1280x800")

    def test_a_send_shows_its_progress_and_ends_sent(self):
        self.fleet.wait_for_log(lambda line: line == "a: shows demo.lt")
        self.sign_in(self.fleet.operator)
        self.open_board("a")
        # Every state the job's part of the page is drawn in, as drawn.
        self.browser.execute_script("""
            const p = document.getElementById('job-progress'), r = document.getElementById('job-result');
            const label = document.getElementById('job-label');
            window.drawn = [];
            new MutationObserver(() => {
              const now = [label.textContent, r.textContent, p.hidden ? null : p.max, p.hidden ? null : p.value];
              if (JSON.stringify(now) !== JSON.stringify(drawn[drawn.length - 1])) drawn.push(now);
            }).observe(document.getElementById('job'), {subtree: true, childList: true, attributes: true});""")
        self.el("#send-all").click()
        self.wait.until(lambda d: d.execute_script("return drawn.some(s => s[3] >= 2)"))
        self.shot("board-sending-1280x800")
        self.until_text("#job-result", SENT, seconds=20)
        drawn = self.browser.execute_script("return drawn")
        self.assertEqual([s for s in drawn if "屏" in s[1]],
                         [["发送中/Sending: demo.lt", "第 %d 屏，共 5 屏/Screen %d of 5" % (n + 1, n + 1), 5, n]
                          for n in range(5)])
        self.assertEqual(drawn[-1], ["demo.lt", SENT, None, None])
        self.shot("board-1280x800")

    def test_a_refused_command_shows_the_services_reason(self):
        self.sign_in(self.fleet.operator)
        self.open_board("b")
        self.el("#stop").click()
        self.until_text("#job-result", "b has no job under way")
        # Refused in the page: the service hears only the second range.
        self.set_range(230, 10)
        self.assertEqual(self.el("#range-count").get_attribute("validationMessage"),
                         "起始加数量不能超过239/Start plus count must not exceed 239")
        self.set_range(1, 2)
        self.until_text("#job-result", SENT)
        self.assertEqual([(e["status"], e["outcome"][:4]) for e in self.audited("/api/v1/boards/b/range")],
                         [(202, "job ")])
        self.wait.until(lambda d: self.fact("正在显示/Showing") == "demo.lt [1–2]")

    def test_a_silent_board_turns_red_with_its_message(self):
        self.addCleanup(spent)  # "c" is left offline
        self.sign_in(self.fleet.operator)
        failing = self.until_row("c", "failing", seconds=20)
        self.assertEqual(failing["colour"], STATE_COLOURS["failing"])
        self.assertIn(NO_ECHO, failing["text"])
        self.assertIn("重试/Retry", failing["text"])
        # The fifth failure in a row makes a board offline. The schedule's own
        # retries, 15, 30, 60 and 120 s apart, would take four minutes: the
        # operator's Set Clock tries the silent board sooner, and each of its
        # time-outs counts as one of those failures.
        self.open_board("c", pictures=0)  # it never showed anything

        def failures():
            return int(self.fact("连续故障/Failures in a row"))

        while failures() < 5:
            before = failures()
            # Not while the schedule's own retry is under way.
            self.wait.until(lambda d: "发送中/Sending" not in self.row("c")["text"])
            self.el("#set-clock").click()
            WebDriverWait(self.browser, 20, poll_frequency=0.1).until(lambda d: failures() > before)
        self.until_text("#job-result", NO_ECHO)
        self.browser.execute_script("location.hash = '#boards'")
        offline = self.until_row("c", "offline")
        self.assertEqual(offline["colour"], STATE_COLOURS["offline"])
        self.assertIn(NO_ECHO, offline["text"])
        self.assertIn("重试/Retry", offline["text"])
        self.assertEqual(self.row("a")["colour"], STATE_COLOURS["ok"])
        self.shot("boards-offline-1280x800")

    def test_a_viewer_sees_no_control_that_changes_anything(self):
        self.sign_in(self.fleet.viewer)
        self.assertIn("victor · 查看者/Viewer", self.text_of("#who"))
        self.assertFalse(self.el('#tabs a[data-view="upload"]').is_displayed())
        self.open_board("a")
        controls = self.browser.find_elements(By.CSS_SELECTOR, "main button, main input, select")
        self.assertEqual([c.text for c in controls if c.is_displayed()], [])

    def test_upload_names_missing_pictures_and_sends_names_as_the_file_writes_them(self):
        folder = Path(tempfile.mkdtemp(prefix="pravik-upload-"))
        self.addCleanup(shutil.rmtree, folder)
        record = '{n}\r\n"{pic}"\r\n"向右展开"\r\n"1"\r\n"画面停留"\r\n"3"\r\n"显示图片"\r\n"向上移动"\r\n"1"\r\n'
        display = ("[comm]\r\nPort =   0\r\nIP Port =    1973\r\nIP Address = 127.0.0.2\r\nAddress =  1\r\n"
                   "feedback =  1\r\nscrtype =  2\r\nscrwidth =  160\r\nscrhigh =  32\r\n[Pics]\r\n"
                   + record.format(n=0, pic="C:\\pics\\Welcome.bmp") + record.format(n=1, pic="art/sale.gif")
                   + '2,"C:\\pics\\Welcome.bmp","向右展开","1","画面停留","3","显示图片","向上移动","1"\r\n')
        (folder / "shop.lt").write_bytes(display.encode("cp936"))
        pictures = self.fleet.folder / "content" / "pictures"
        shutil.copy(pictures / "welcome.bmp", folder / "Welcome.bmp")
        shutil.copy(pictures / "exit.gif", folder / "sale.gif")
        self.sign_in(self.fleet.operator)
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
        # The service keeps the pictures beside the file, under its name.
        shop = next(f for f in self.fleet.api("/content")["files"] if f["file"] == "shop.lt")
        self.assertEqual([s["picture"] for s in shop["screens"]],
                         ["shop/Welcome.bmp", "shop/sale.gif", "shop/Welcome.bmp"])
        self.assertEqual(self.fleet.api("/content/shop.lt/screens/1.png")[:8], b"\x89PNG\r\n\x1a\n")

    def test_the_plan_shows_a_bar_per_segment_from_the_services_midnight(self):
        self.sign_in(self.fleet.operator)
        self.browser.execute_script("location.hash = '#plan'")
        self.wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, ".plan-row")) == 3)
        self.assertRegex(self.text_of("#plan-range"), r"^Europe/Berlin: 00:00 – \d\d-\d\d 00:00$")
        midnight = datetime.datetime.now(ZoneInfo(ZONE)).replace(hour=0, minute=0, second=0, microsecond=0)
        plan = self.fleet.api("/plan?hours=48&from=" + urllib.parse.quote(midnight.isoformat()))
        for row, board in zip(self.browser.find_elements(By.CSS_SELECTOR, ".plan-row"), plan["boards"]):
            bars = row.find_elements(By.CSS_SELECTOR, "svg.bar")
            self.assertEqual(len(bars), len(board["segments"]), board["board"])
            self.assertEqual(row.find_element(By.CSS_SELECTOR, "svg.timeline").get_attribute("aria-label"),
                             "; ".join(s["text"] for s in board["segments"]))
        # Two days of the schedule: b's range at noon, c's evening file.
        self.assertEqual([len(b["segments"]) for b in plan["boards"]], [5, 9, 9])
        self.shot("plan-1280x800")

    def test_the_audit_log_lists_requests_newest_first(self):
        self.fleet.wait_for_log(lambda line: line == "a: shows demo.lt")
        self.sign_in(self.fleet.operator)
        self.open_board("a")
        self.el("#stop").click()
        self.until_text("#job-result", "a has no job under way")
        self.el("#set-clock").click()
        self.until_text("#job-result", SENT)
        self.browser.execute_script("location.hash = '#audit'")
        self.wait.until(lambda d: "POST /api/v1/boards/a/clock" in d.find_element(By.ID, "audit-body").text)
        rows = self.browser.execute_script(
            "return [...document.querySelectorAll('#audit-body tr')].map(r => [r.className, r.innerText])")
        # Newest first; the schedule's own lines may come between.
        ours = [r for r in rows if "/api/v1/boards/a/" in r[1]]
        self.assertEqual(len(ours), 2)
        self.assertRegex(ours[0][1], r"^10:0\d:\d\d\tadmin\t127\.0\.0\.1\tPOST /api/v1/boards/a/clock\t202\tjob \d+$")
        self.assertRegex(ours[1][1], r"^10:0\d:\d\d\tadmin\t127\.0\.0\.1\tPOST /api/v1/boards/a/stop\t409\t"
                                     r"a has no job under way$")
        self.assertEqual([r[0] for r in ours], ["", "refused"])
        self.shot("audit-1280x800")

    def test_every_view_fits_a_phone_without_scrolling_sideways(self):
        self.sign_in(self.fleet.operator)
        self.browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                     {"width": 375, "height": 812, "deviceScaleFactor": 1, "mobile": True})
        self.until_row("c", "failing", seconds=20)
        self.fleet.api("/boards/b/clock", method="POST")  # a line for the audit log
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


if __name__ == "__main__":
    if browser_missing():
        print("skipped: chromium, chromedriver or python3-selenium is not installed")
        sys.exit(77)
    unittest.main()
