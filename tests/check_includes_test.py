#!/usr/bin/env python3
"""scripts/check-includes: passes the tree as it is, and fails a copy of the
rules' files with each kind of forbidden include added."""
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

root = Path(__file__).resolve().parent.parent
check = root / "scripts" / "check-includes"


def run(tree):
    return subprocess.run([sys.executable, str(check), "--root", str(tree)],
                          capture_output=True, text=True)


def copy_of_tree(to):
    shutil.copy(root / "CMakeLists.txt", to / "CMakeLists.txt")
    for folder in ("app", "base", "commands", "settings", "transcript"):
        shutil.copytree(root / folder, to / folder)


# Each breach: a file and a line put at its top; the check must name that file.
breaches = [
    ("transcript/FindModel.h", "#include <windows.h>"),
    ("transcript/SelectionModel.cpp", '#include "transcript/ChatListState.h"'),  # Windows, once removed
    ("settings/SettingParsers.cpp", "#include <winbase.h>"),
    ("base/ReplacementFile.cpp", '#include "app/AppState.h"'),
    ("transcript/ChatListMouse.cpp", '#include "commands/Find.h"'),
    ("transcript/access/ChatListAccessible.cpp", '#include "app/AppState.h"'),
    ("transcript/ChatListPaint.cpp", '#include "settings/Settings.h"'),
    ("transcript/ChatList.cpp", '#include "transcript/access/ChatListAutomation.h"'),
]

failures = 0
result = run(root)
if result.returncode != 0:
    print("the tree itself breaks the rules:\n" + result.stdout)
    failures += 1
for name, line in breaches:
    with tempfile.TemporaryDirectory() as temp:
        tree = Path(temp)
        copy_of_tree(tree)
        target = tree / name
        target.write_text(line + "\n" + target.read_text())
        result = run(tree)
        if result.returncode != 1 or name not in result.stdout:
            print(f"not caught: {line} in {name}\n{result.stdout}")
            failures += 1
# A file of the chat line operations may include the application's headers.
with tempfile.TemporaryDirectory() as temp:
    tree = Path(temp)
    copy_of_tree(tree)
    target = tree / "transcript/ChatLines.cpp"
    target.write_text('#include "app/MainWindow.h"\n' + target.read_text())
    if run(tree).returncode != 0:
        print("ChatLines.cpp was refused an include of app/")
        failures += 1
print(f"{len(breaches) + 2 - failures} passed, {failures} failed")
sys.exit(1 if failures else 0)
