"""Plants one fault: replaces the one product source line whose text (without
its indentation) is LINE by REPLACEMENT, indented alike ("\\n" separates
lines; "(deleted)" deletes the line). Prints the file it changed;
exits 1 when the line is not found exactly once."""
import pathlib
import subprocess
import sys

FOLDERS = ["foundation", "system", "engine", "ui", "installer", "uninstaller", "contract", "tools"]

line, replacement = sys.argv[1], sys.argv[2]
files = subprocess.run(["git", "ls-files", "--"] + FOLDERS, capture_output=True, text=True, check=True).stdout.split()
hits = []
for name in files:
    if not name.endswith((".cpp", ".h", ".c")):
        continue
    for number, text in enumerate(pathlib.Path(name).read_text().split("\n")):
        if text.strip() == line:
            hits.append((name, number))
if len(hits) != 1:
    print(f"{len(hits)} lines read '{line}'")
    sys.exit(1)
name, number = hits[0]
path = pathlib.Path(name)
lines = path.read_text().split("\n")
indent = lines[number][: len(lines[number]) - len(lines[number].lstrip())]
new = [] if replacement == "(deleted)" else [indent + part for part in replacement.split("\\n")]
lines[number : number + 1] = new
path.write_text("\n".join(lines))
print(name)
