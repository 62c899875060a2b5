#!/usr/bin/python3
"""The guide's controls table, and its check.

    controls-table.py CONTROLS EXPLAINED [--markdown OUT.md]
    controls-table.py CONTROLS EXPLAINED --check --images resources/make_images.py --editor src/TarvoGui.cpp

CONTROLS is what tools/tarvo-controls prints (every editor control, the host
parameter behind it, its range and default, read from the plug-in's own
parameter table); EXPLAINED is docs/guide/controls-explained.txt, the
musical explanations written by hand, keyed by parameter name.

--markdown writes the table as markdown (families of parameters that share an
explanation share a row). --check fails (exit 1) when a host parameter has no
place in the editor table, a control has no explanation or an explanation no
control, an editor-only control is missing, or a label differs from what the
editor draws: the background's labels in make_images.py (by parameter for the
knobs and buttons it lists) and the texts of the editor's code.
"""
import argparse
import ast
import re
import sys

HOST_PARAMETERS = 101
# Controls without a host parameter that the table must always list.
EDITOR_CONTROLS = [
    "editor:cells", "editor:obstacle-palette", "editor:rover-palette", "editor:slow-rover-palette",
    "editor:step-levels", "editor:step-locks", "editor:step-mutes", "editor:pattern-panel",
    "editor:sequencer-panel", "editor:load-scale", "editor:load-scene", "editor:save-scene",
    "editor:timeline-lock",
]


def read_controls(path):
    rows = []
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if not line:
            continue
        key, section, label, where, control, index, value_range, default = line.split("\t")
        rows.append(dict(key=key, section=section, label=label, where=where, control=control, index=int(index),
                         range=value_range, default=default))
    return rows


def read_explanations(path):
    """{key: (family keys, text)}; an entry is 'KEY [KEY...]: text' with indented continuations."""
    entries = {}
    current = None
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        if line.startswith("#") or not line.strip():
            current = None
            continue
        if line[0] in " \t":
            if current is None:
                raise SystemExit("%s:%d: continuation without an entry" % (path, number))
            current["text"] += " " + line.strip()
            continue
        match = re.match(r"^((?:[\w-]+(?::[\w-]+)? )*[\w-]+(?::[\w-]+)?): (.*)$", line.rstrip("\n"))
        if not match:
            raise SystemExit("%s:%d: expected 'KEY: text'" % (path, number))
        keys = match.group(1).split(" ")
        current = {"keys": keys, "text": match.group(2).strip()}
        for key in keys:
            if key in entries:
                raise SystemExit("%s:%d: %s explained twice" % (path, number, key))
            entries[key] = current
    return entries


def drawn_texts(images_path, editor_path):
    """Every text the background script draws, the labels of its knob and command tables by
    parameter, and the string literals of the editor's code."""
    tree = ast.parse(open(images_path, encoding="utf-8").read())
    texts, by_parameter = set(), {}
    for node in ast.walk(tree):
        if isinstance(node, ast.Call) and getattr(node.func, "id", "") in ("draw_text", "draw_label", "program_text", "text_button"):
            for arg in node.args:
                if isinstance(arg, ast.Constant) and isinstance(arg.value, str):
                    texts.add(arg.value)
        if isinstance(node, ast.Assign) and len(node.targets) == 1 and getattr(node.targets[0], "id", "") in (
                "KNOBS", "COMMANDS", "TRANSFORM_LABELS", "SCENE_BUTTONS"):
            for item in ast.literal_eval(node.value):
                texts.add(item[-1])
                if isinstance(item[0], str):
                    by_parameter[item[0]] = item[-1]
    code = open(editor_path, encoding="utf-8").read()
    texts.update(re.findall(r'"((?:[^"\\]|\\.)*)"', code))
    return texts, by_parameter


def check(rows, explanations, images, editor):
    problems = []
    keys = [row["key"] for row in rows]
    for row in rows:
        if row["section"] == "?":
            problems.append("host parameter %s (index %d) has no place in the controls table (tools/tarvo-controls)"
                            % (row["key"], row["index"]))
    host = {row["index"] for row in rows if row["index"] >= 0}
    if host != set(range(HOST_PARAMETERS)):
        problems.append("host parameters listed: %d of %d (missing indices %s)" % (
            len(host), HOST_PARAMETERS, sorted(set(range(HOST_PARAMETERS)) - host)[:10]))
    for row in rows:
        if not row["key"].startswith("editor:") and row["index"] < 0:
            problems.append("%s is no host parameter of the plug-in" % row["key"])
    for key in EDITOR_CONTROLS:
        if key not in keys:
            problems.append("the editor control %s is missing from the controls table" % key)
    for key in keys:
        if key not in explanations:
            problems.append("%s has no explanation in the guide's controls-explained.txt" % key)
    for key in explanations:
        if key not in keys:
            problems.append("controls-explained.txt explains %s, which is no control" % key)
    texts, by_parameter = drawn_texts(images, editor)
    for row in rows:
        label = row["label"]
        drawn = by_parameter.get(row["key"])
        if drawn is not None and drawn != label:
            problems.append("%s: the table says '%s', the editor draws '%s'" % (row["key"], label, drawn))
        if label and label not in texts:
            problems.append("%s: the label '%s' is drawn nowhere in the editor" % (row["key"], label))
    return problems


def escape(text):
    return text.replace("|", "\\|")


def markdown(rows, explanations):
    """One row per family of controls with one explanation, grouped by section."""
    out = []
    section = None
    i = 0
    while i < len(rows):
        row = rows[i]
        family = [row]
        entry = explanations.get(row["key"])
        while (i + len(family) < len(rows) and entry is not None and len(entry["keys"]) > 1
               and explanations.get(rows[i + len(family)]["key"]) is entry):
            family.append(rows[i + len(family)])
        i += len(family)
        if row["section"] != section:
            section = row["section"]
            out += ["", "#### " + section, "",
                    "| In the editor | Host parameter | Values | Default | What it does |",
                    "|---|---|---|---|---|"]
        names = [r["key"] for r in family if not r["key"].startswith("editor:")]
        if len(names) > 2:
            host = "`%s` ... `%s`" % (names[0], names[-1])
        else:
            host = ", ".join("`%s`" % n for n in names) or "(editor only)"
        label = ("**%s**" % row["label"]) if row["label"] else ""
        wheres = [r["where"] for r in family]
        where = wheres[0] if len(set(wheres)) == 1 else (
            "; ".join(wheres) if len(wheres) <= 4 else wheres[0] + "; ... (one per slot)")
        place = (label + ", " + where) if label else where[0].upper() + where[1:]
        out.append("| %s | %s | %s | %s | %s |" % (escape(place), host, escape(row["range"]),
                                                  escape(row["default"]), escape(entry["text"] if entry else "")))
    return "\n".join(out).lstrip("\n") + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("controls")
    parser.add_argument("explained")
    parser.add_argument("--markdown")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--images")
    parser.add_argument("--editor")
    args = parser.parse_args()
    rows = read_controls(args.controls)
    explanations = read_explanations(args.explained)
    if args.markdown:
        with open(args.markdown, "w", encoding="utf-8") as f:
            f.write(markdown(rows, explanations))
    if args.check:
        if not args.images or not args.editor:
            parser.error("--check needs --images and --editor")
        problems = check(rows, explanations, args.images, args.editor)
        for p in problems:
            print("controls-table: " + p, file=sys.stderr)
        if problems:
            return 1
        print("controls-table: %d controls, all %d host parameters, every one explained and labelled as drawn"
              % (len(rows), HOST_PARAMETERS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
