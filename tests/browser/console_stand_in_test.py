"""The web console in headless Chromium against a stand-in for pravikd, for what
the service itself does not do on cue: its event stream dropped, and a board
list that arrives after a newer event. Everything else runs against the
service in console_test.py.

Exit status 77 (skipped) when Chromium, its driver or Selenium is missing.
"""

import os
import sys
import unittest
from pathlib import Path

from console_page import ConsolePage, LIVE, browser_missing
from stand_in_service import StandInService

WEB = Path(os.environ.get("PRAVIK_WEB_DIR", Path(__file__).resolve().parents[2] / "service" / "web"))


class StandInConsoleTest(ConsolePage, unittest.TestCase):
    def setUp(self):
        self.service = StandInService(WEB).start()
        self.addCleanup(self.service.stop)
        self.url = self.service.url
        self.open_browser()

    def test_the_stream_is_read_again_after_a_drop(self):
        self.sign_in(StandInService.OPERATOR)
        self.service.drop_streams()
        self.wait.until(lambda d: self.service.stream_count() == 1)
        self.until_text("#live", LIVE)
        self.service.go_silent("a", "无回应/No echo")
        self.wait.until(lambda d: "无回应/No echo" in self.row("a")["text"])

    def test_a_board_list_older_than_an_event_does_not_undo_it(self):
        self.sign_in(StandInService.OPERATOR)
        self.service.hold_board_list()
        held = self.service.list_held
        self.service.drop_streams()  # the page reads the list again when the stream is back
        self.assertTrue(held.wait(10))
        self.wait.until(lambda d: self.service.stream_count() == 1)
        self.service.go_silent("a")
        self.until_row("a", "offline")
        self.browser.execute_script("document.querySelector(\"tr[data-board='c']\").stale = true")
        self.service.release_board_list()
        self.wait.until(lambda d: d.execute_script(
            "return !document.querySelector(\"tr[data-board='c']\").stale"))
        self.assertIn("state-offline", self.row("a")["state"])


if __name__ == "__main__":
    if browser_missing():
        print("skipped: chromium, chromedriver or python3-selenium is not installed")
        sys.exit(77)
    unittest.main()
