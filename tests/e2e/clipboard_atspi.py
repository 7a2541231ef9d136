"""Starts the window with one file, puts texts on the clipboard from another X client (xclip)
and reads the status line, the code fields and the viewer through AT-SPI, as a screen reader
would."""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

CONTENT = b"The quick brown fox jumps over the lazy dog"
CRC = "414FA339"
MD5 = "9E107D9D372BB6826BD81D3542A419D6"

CASES = [
    ("the MD5 in lower case", "sample.bin  " + MD5.lower() + "\n", "ＭＤ５が一致しました"),
    ("both codes", CRC.lower() + " " + MD5 + " *sample.bin\n", "ＣＲＣとＭＤ５が一致しました"),
    ("an unrelated text", "nothing to see here 0123456789\n", "クリップボードに一致したコードは有りません"),
]


def wait_for(what, probe, timeout=20.0):
    end = time.time() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.time() > end:
            raise SystemExit("timed out waiting for " + what)
        time.sleep(0.1)


def find_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "quenvarlith":
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def fresh(node):
    # Names change under us; never trust a cached one.
    node.clearCache()
    return node


def by_role(app, role, description=None):
    for node in walk(fresh(app)):
        if node.getRole() == role and (description is None or node.description == description):
            return node
    return None


def name_of(node):
    return fresh(node).name


def put_on_clipboard(text):
    # xclip stays behind as the selection's owner until the next one takes over.
    subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode(), check=True)


def main(program):
    pyatspi.Registry.getDesktop(0)  # starts the accessibility bus before the program looks for it
    work = tempfile.mkdtemp(prefix="qv-e2e-")
    home = os.path.join(work, "home")
    os.mkdir(home)
    sample = os.path.join(work, "sample.bin")
    with open(sample, "wb") as f:
        f.write(CONTENT)
    ready = os.path.join(work, "ready")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QUENVARLITH_HOME=home,
               QUENVARLITH_READY_FILE=ready)
    proc = subprocess.Popen([program, sample], env=env)
    failures = []
    try:
        wait_for("the start-up and the first file", lambda: os.path.exists(ready), 60)
        app = wait_for("the program on the accessibility bus", find_app)
        status = wait_for("the status bar", lambda: by_role(app, pyatspi.ROLE_STATUS_BAR))
        crc = wait_for("the CRC field", lambda: by_role(app, pyatspi.ROLE_LABEL, "CRC32"))
        md5 = wait_for("the MD5 field", lambda: by_role(app, pyatspi.ROLE_LABEL, "MD5"))
        viewer = wait_for("the clip viewer", lambda: by_role(app, pyatspi.ROLE_TEXT))
        for what, text, expected in CASES:
            put_on_clipboard(text)
            try:
                wait_for(expected, lambda: name_of(status) == expected, 10)
            except SystemExit:
                failures.append("%s: status %r, expected %r" % (what, name_of(status), expected))
                continue
            shown = (name_of(crc), name_of(md5))
            if shown != (CRC, MD5):
                failures.append("%s: code fields %r" % (what, shown))
            viewer_text = fresh(viewer).queryText()
            body = viewer_text.getText(0, viewer_text.characterCount)
            if body.replace("\r", "").replace("\u2029", "\n").strip() != text.strip():
                failures.append("%s: viewer holds %r" % (what, body))
    finally:
        proc.terminate()
        try:
            proc.wait(20)
        except subprocess.TimeoutExpired:
            proc.kill()
    for f in failures:
        print("FAIL", f)
    if failures:
        return 1
    print("ok: %d clipboard texts checked through AT-SPI" % len(CASES))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
