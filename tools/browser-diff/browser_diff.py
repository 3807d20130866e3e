# SPDX-License-Identifier: MIT
"""Serves a folder of pages on loopback and diffs Chromium's body innerHTML with quorvel-page's."""

import argparse
import difflib
import functools
import http.server
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import threading


class PageHandler(http.server.SimpleHTTPRequestHandler):
    """Sends pages as text/html with no charset, so that both readers sniff the same bytes, and
    with scripts forbidden: the engine runs none, yet Chromium must keep scripting on so that it
    reads <noscript> as the pages' own browsers do."""

    def end_headers(self):
        self.send_header("Content-Security-Policy", "script-src 'none'")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def guess_type(self, path):
        return "text/html" if str(path).endswith(".html") else super().guess_type(path)

    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(PageHandler, directory=str(folder))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    # Chromium hangs up on answers it no longer wants (the favicon); that is no news.
    server.handle_error = lambda request, address: None
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def body_of_dom(dom):
    """document.body.innerHTML out of Chromium's --dump-dom serialization of the document."""
    start = re.search(r"</head>(?:\s|<!--.*?-->)*<body(?:\s[^>]*)?>", dom, re.S)
    if not start:
        raise ValueError("no body in Chromium's document")
    rest = dom[start.end():].rstrip()
    # After the body only comments (and the html end tag) can follow.
    if rest.endswith("</html>"):
        rest = rest[: -len("</html>")].rstrip()
    while not rest.endswith("</body>") and rest.endswith("-->"):
        rest = rest[: rest.rfind("<!--")].rstrip()
    if not rest.endswith("</body>"):
        raise ValueError("Chromium's document does not end with the body")
    return rest[: -len("</body>")]


def chromium_body(url, profile):
    command = ["chromium", "--headless", "--disable-gpu", "--no-first-run", "--user-data-dir=" + profile,
               "--timeout=10000", "--dump-dom", url]
    if os.geteuid() == 0:
        command.insert(1, "--no-sandbox")
    dom = subprocess.run(command, check=True, capture_output=True, timeout=60).stdout.decode("utf-8")
    return body_of_dom(dom)


def quorvel_body(url, tool):
    run = subprocess.run([tool, "--body", "--timeout", "30", url], capture_output=True, timeout=60)
    if run.returncode != 0:
        return "(quorvel-page failed: " + run.stderr.decode("utf-8", "replace").strip() + ")"
    return run.stdout.decode("utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("folder", type=pathlib.Path)
    parser.add_argument("--page", default="build/tools/page/quorvel-page", help="the quorvel-page program")
    parser.add_argument("--write-golden", action="store_true", help="store Chromium's innerHTML as NAME.body")
    options = parser.parse_args()

    pages = sorted(options.folder.glob("*.html"))
    if not pages:
        sys.exit("browser-diff: no *.html in " + str(options.folder))
    server = serve(options.folder)
    base = "http://127.0.0.1:%d/" % server.server_address[1]
    profile = tempfile.mkdtemp(prefix="browser-diff-")
    differing = 0
    try:
        for page in pages:
            url = base + page.name
            browser = chromium_body(url, profile)
            ours = quorvel_body(url, options.page)
            if options.write_golden:
                page.with_suffix(".body").write_bytes(browser.encode("utf-8"))
            if browser == ours:
                print("same    " + page.name)
                continue
            differing += 1
            print("DIFFERS " + page.name)
            sys.stdout.writelines(difflib.unified_diff(
                browser.splitlines(True), ours.splitlines(True), "chromium", "quorvel-page"))
            print()
    finally:
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    print("%d of %d pages differ" % (differing, len(pages)))
    sys.exit(1 if differing else 0)


if __name__ == "__main__":
    main()
