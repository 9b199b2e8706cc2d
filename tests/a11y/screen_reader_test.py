#!/usr/bin/python3
"""The real program as a screen reader sees it over the accessibility bus.

Starts the program (its path is the first argument) with scratch user folders,
finds its main window by name and the twelve topic buttons by their names, opens
the division practice through the button's own accessible action and reads the
names of the digit lists there. Every look-up is retried until a deadline, as
the program and the bus take a moment to show new windows.
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

TOPIC_BUTTONS = [
    f"{topic} {kind}"
    for topic in ("わり算", "小数のたし算", "小数のひき算", "計算のきまり", "分数の表し方", "小数のかけ算")
    for kind in ("練習問題", "ドリル")
]
DIGIT_LISTS = ["一の位の数字", "十の位の数字", "百の位の数字", "千の位の数字", "処理"]
DEADLINE_S = 30
program = None  # the running program, watched while waiting


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def walk(node, depth=0):
    """Every accessible object under node, skipping any that vanish meanwhile."""
    if node is None or depth > 30:
        return
    yield node
    try:
        count = node.childCount
    except Exception:
        return
    for i in range(count):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def name_of(node):
    try:
        return node.name or ""
    except Exception:
        return ""


def wait_for(what, find):
    """Calls find() until it returns something, or fails after the deadline."""
    end = time.monotonic() + DEADLINE_S
    while time.monotonic() < end:
        if program is not None and program.poll() is not None:
            fail(f"the program ended (status {program.returncode}) before {what} was found")
        try:
            found = find()
        except Exception:
            found = None
        if found:
            return found
        time.sleep(0.3)
    fail(f"{what} not found within {DEADLINE_S} s")


def program_app(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def main():
    global program
    exe = sys.argv[1]
    with tempfile.TemporaryDirectory() as home:
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=f"{home}/data",
                   XDG_CONFIG_HOME=f"{home}/config")
        program = subprocess.Popen([exe], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            check(program.pid)
        finally:
            program.terminate()
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
    print("the screen reader finds the menu, opens the division practice and reads its lists")


def check(pid):
    app = wait_for("the program on the accessibility bus", lambda: program_app(pid))
    main_window = wait_for(
        'the main window "Sorelka"',
        lambda: next((w for w in app if w is not None and name_of(w) == "Sorelka"
                      and any(name_of(n) == TOPIC_BUTTONS[0] for n in walk(w))), None))

    def buttons():
        found = {name_of(n): n for n in walk(main_window)
                 if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}
        return found if all(b in found for b in TOPIC_BUTTONS) else None

    found = wait_for("the ten topic buttons", buttons)
    division = found["わり算 練習問題"]
    actions = division.queryAction()
    if actions.nActions < 1:
        fail("the division button has no action")
    actions.doAction(0)

    def practice_lists():
        for window in app:
            if window is None or window == main_window:
                continue
            lists = [name_of(n) for n in walk(window) if n.getRole() == pyatspi.ROLE_LIST]
            if all(name in lists for name in DIGIT_LISTS):
                return lists
        return None

    lists = wait_for("the division practice's digit lists", practice_lists)
    print("lists heard: " + ", ".join(lists))


if __name__ == "__main__":
    main()
