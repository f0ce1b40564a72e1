"""Headless Chromium on the console, and the readings of its page that the
browser tests share.

After every case the browser's console must hold no policy violation and no
script error: the page's Content-Security-Policy forbids inline script and
style, and a breach shows only there.
"""

import os
import shutil
import tempfile
from pathlib import Path

SHOTS = Path(os.environ.get("PRAVIK_SCREENSHOTS", tempfile.gettempdir() + "/pravik-screenshots"))
CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
LIVE = "实时/Live"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = By = WebDriverWait = None

# The board states as the page colours them (CSS custom properties in app.css).
STATE_COLOURS = {"ok": "rgb(29, 122, 52)", "failing": "rgb(178, 86, 0)",
                 "offline": "rgb(179, 38, 30)", "unknown": "rgb(95, 99, 104)"}


def browser_missing():
    return webdriver is None or not CHROMIUM or not os.path.exists(DRIVER)


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


class ConsolePage:
    """Mixed into a TestCase whose setUp sets self.url and calls open_browser()."""

    def open_browser(self):
        self.browser = start_browser(1280, 800)
        self.addCleanup(self.close_browser)
        self.wait = WebDriverWait(self.browser, 10, poll_frequency=0.05)

    def close_browser(self):
        problems = [e["message"] for e in self.browser.get_log("browser")
                    if "Content Security Policy" in e["message"] or "Uncaught" in e["message"]]
        self.browser.quit()
        shutil.rmtree(self.browser.profile_dir, ignore_errors=True)
        self.assertEqual(problems, [])

    def el(self, css):
        return self.browser.find_element(By.CSS_SELECTOR, css)

    def text_of(self, css):
        return self.el(css).text

    def until_text(self, css, text, seconds=10):
        WebDriverWait(self.browser, seconds, poll_frequency=0.05).until(
            lambda d: text in d.find_element(By.CSS_SELECTOR, css).text, "%r never showed %r" % (css, text))

    def sign_in(self, token, expect_console=True):
        self.browser.get(self.url)
        field = self.wait.until(lambda d: d.find_element(By.ID, "token"))
        field.clear()
        field.send_keys(token)
        self.el("#sign-in").click()
        if expect_console:
            self.wait.until(lambda d: d.find_element(By.ID, "tabs").is_displayed())
            self.wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, "#boards-body tr")) == 3)
            self.until_text("#live", LIVE)

    def row(self, board):
        """A board's row as one reading: the rows are drawn anew on every event."""
        return self.browser.execute_script(
            "const r = document.querySelector(`#boards-body tr[data-board='${arguments[0]}']`);"
            "return r && {state: r.className, text: r.innerText,"
            " colour: getComputedStyle(r.querySelector('.state')).backgroundColor}", board)

    def until_row(self, board, state, seconds=10):
        WebDriverWait(self.browser, seconds, poll_frequency=0.05).until(
            lambda d: "state-" + state in (self.row(board) or {}).get("state", ""),
            "%s never turned %s" % (board, state))
        return self.row(board)

    def shot(self, name):
        SHOTS.mkdir(parents=True, exist_ok=True)
        self.browser.save_screenshot(str(SHOTS / ("%s.png" % name)))
