"""A real headless Chromium for the web page tests, driven by chromedriver
through Selenium, cut off from the network (every host name fails to
resolve except 127.0.0.1, where the tests serve their pages).

require_browser() ends the test with exit code 77 (skipped) where Chromium,
chromedriver or Selenium is missing; with the environment variable CI set,
a missing browser is a failure (exit 1) instead."""

import os
import sys

CHROMIUM = os.environ.get("ZEB_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("ZEB_CHROMEDRIVER", "/usr/bin/chromedriver")
SKIPPED = 77

# Collects, from the first moment of every page, what a page must never
# cause: refused loads (its content security policy) and uncaught errors.
_WATCH_SCRIPT = """
window.zebTestProblems = [];
document.addEventListener("securitypolicyviolation", (e) => {
  window.zebTestProblems.push("refused by the page's policy: " + e.violatedDirective + " " + e.blockedURI);
});
window.addEventListener("error", (e) => {
  window.zebTestProblems.push("uncaught error: " + e.message);
});
window.addEventListener("unhandledrejection", (e) => {
  window.zebTestProblems.push("unhandled rejection: " + e.reason);
});
"""


def what_is_missing():
    """The names of the programs and modules of the browser that this
    machine lacks."""
    missing = []
    if not os.access(CHROMIUM, os.X_OK):
        missing.append("chromium (" + CHROMIUM + ")")
    if not os.access(CHROMEDRIVER, os.X_OK):
        missing.append("chromedriver (" + CHROMEDRIVER + ")")
    try:
        import selenium  # noqa: F401
    except ImportError:
        missing.append("the Python module selenium (for " + sys.executable + ")")
    return missing


def require_browser(test_name):
    missing = what_is_missing()
    if not missing:
        return
    what = ", ".join(missing)
    if "CI" in os.environ:
        print(f"{test_name}: FAILED: {what} missing, and CI runs every browser test", flush=True)
        sys.exit(1)
    print(f"{test_name}: skipped: {what} missing", flush=True)
    sys.exit(SKIPPED)


def start(width=1200, height=900):
    """A new headless Chromium whose window is width by height pixels."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in (
        "--headless=new",
        "--no-sandbox",
        "--disable-gpu",
        "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--no-first-run",
        "--no-default-browser-check",
        "--hide-scrollbars",
        f"--window-size={width},{height}",
    ):
        options.add_argument(argument)
    # An alert stays open, for the test to find it.
    options.set_capability("unhandledPromptBehavior", "ignore")
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.set_page_load_timeout(30)
    driver.set_script_timeout(30)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": _WATCH_SCRIPT})
    return driver


def problems(driver):
    """What the page caused so far that it never should (see _WATCH_SCRIPT)."""
    return driver.execute_script("return window.zebTestProblems || []")


def set_window(driver, width, height):
    """The size of the window's viewport, as on a screen that wide."""
    driver.set_window_size(width, height)
    # The window's frame may take some of it: make the viewport itself the size.
    inner = driver.execute_script("return [window.innerWidth, window.innerHeight]")
    if inner != [width, height]:
        outer = driver.get_window_size()
        driver.set_window_size(outer["width"] + width - inner[0], outer["height"] + height - inner[1])


def emulate_media(driver, color_scheme="", media=""):
    """Emulates prefers-color-scheme ("light", "dark" or "" for the default)
    and the media type ("print", "screen" or "" for the default)."""
    features = [{"name": "prefers-color-scheme", "value": color_scheme}] if color_scheme else []
    driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": media, "features": features})
