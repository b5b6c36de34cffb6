#!/usr/bin/env python3
"""scripts/check-map: passes the tree as it is, and fails a copy of it with a
program file the map does not name, added or dropped from the map."""
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

root = Path(__file__).resolve().parent.parent
check = root / "scripts" / "check-map"
FOLDERS = ("app", "base", "commands", "settings", "transcript", "resources")


def run(tree):
    return subprocess.run([sys.executable, str(check), "--root", str(tree)],
                          capture_output=True, text=True)


def copy_of_tree(to):
    shutil.copy(root / "DEVELOPERS.md", to / "DEVELOPERS.md")
    for folder in FOLDERS:
        shutil.copytree(root / folder, to / folder)


def missed(plant, names):
    """The names the check does not report in a copy of the tree changed by `plant`."""
    with tempfile.TemporaryDirectory() as temp:
        tree = Path(temp)
        copy_of_tree(tree)
        plant(tree)
        result = run(tree)
        return [n for n in names if result.returncode != 1 or n not in result.stdout]


def new_room(tree):
    (tree / "transcript/access/ChatListNewRoom.cpp").write_text("// a room\n")


def rows_dropped(tree):
    developers = tree / "DEVELOPERS.md"
    text = developers.read_text()
    for name in ("`base/ScopedHandles.h`", "`transcript/FindModel.*`"):
        assert name in text, f"the map no longer names {name}: choose another"
        text = text.replace(name, "")
    developers.write_text(text)


problems = []
if run(root).returncode != 0:
    problems.append("the map itself misses files:\n" + run(root).stdout)
# A new room no map row names; a file, and a header named with it by ".*",
# taken out of the map.
problems += missed(new_room, ["transcript/access/ChatListNewRoom.cpp"])
problems += missed(rows_dropped,
                   ["base/ScopedHandles.h", "transcript/FindModel.h", "transcript/FindModel.cpp"])
for p in problems:
    print("not caught:", p)
print("all caught" if not problems else f"{len(problems)} not caught")
sys.exit(1 if problems else 0)
