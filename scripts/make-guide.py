#!/usr/bin/python3
"""Builds the musician's guide: one self-contained HTML file, pictures inside.

    make-guide.py [--build build/linux] [-o Tarvo3-Guide.html] [--work DIR]

The chapters are docs/guide/NN-*.md, joined in file name order and turned
into HTML with Debian's python3-markdown. Generated parts replace markers:

    <!-- controls-table -->      every control, from tools/tarvo-controls and
                                 docs/guide/controls-explained.txt
    <!-- factory-scenes -->      per factory scene its description, the editor
                                 as it starts and a piano roll of its first bars
    <!-- linux-requirements -->  the glibc and libstdc++ versions and the
                                 libraries the built Tarvo3.so needs (objdump)

and pictures are named in the chapters as
    ![text](obstacle:KIND)   an obstacle marker in its cell, from resources/img
    ![text](image:NAME)      an image of resources/img
    ![text](scene-editor:STEM)   the editor as the factory scene STEM.script starts
both enlarged without smoothing, as in the editor. Every picture ends up in
the HTML as a data URI. Needs the build folder's Tarvo3.so, tarvo-host,
tarvo-editor-snapshot, tarvo-controls and Scenes/ (the factory scenes).
"""
import argparse
import base64
import glob
import io
import os
import re
import runpy
import subprocess
import sys

import markdown
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
IMG = os.path.join(ROOT, "resources", "img")
OBSTACLE_IMAGES = ["nomark", "mirrhor", "mirrvert", "mirrup", "mirrdown", "pillar", "wedge_n", "wedge_e", "wedge_s",
                   "wedge_w", "bounce", "wormhole", "spin", "pause", "mirruptilt", "mirrdowntilt", "mirrhortilt",
                   "mirrverttilt", "slow", "fast", "togglepace"]
PICTURE_SCALE = 4
MARKER_SCALE = 6
# Bars of each factory scene in the piano roll.
ROLL_BARS = 4

CSS = """
body { font-family: "Liberation Sans", Arial, Helvetica, sans-serif; max-width: 60em; margin: 0 auto;
       padding: 1em 2em 4em; color: #1b1e22; line-height: 1.5; }
h1 { color: #23272c; border-bottom: 3px solid #e8b04a; padding-bottom: .2em; }
h2 { color: #23272c; border-bottom: 1px solid #c8cdd3; margin-top: 2.5em; }
h3 { margin-top: 1.8em; }
code { background: #eef0f2; padding: 0 .25em; border-radius: 3px; font-size: 92%; }
pre { background: #23272c; color: #e8ecef; padding: .8em 1em; border-radius: 5px; overflow-x: auto; }
pre code { background: none; color: inherit; padding: 0; }
table { border-collapse: collapse; margin: 1em 0; font-size: 92%; }
th, td { border: 1px solid #c8cdd3; padding: .3em .5em; vertical-align: top; text-align: left; }
th { background: #eef0f2; }
img { max-width: 100%; }
img.pixel { image-rendering: pixelated; image-rendering: crisp-edges; vertical-align: middle; }
.scene { border: 1px solid #c8cdd3; border-radius: 6px; padding: 0 1em 1em; margin: 1.5em 0; }
.toc ul { list-style: none; padding-left: 1.2em; }
.toc > ul { padding-left: 0; }
"""


def data_uri(png_bytes):
    return "data:image/png;base64," + base64.b64encode(png_bytes).decode("ascii")


def png_bytes(image):
    out = io.BytesIO()
    image.save(out, format="PNG", optimize=True)
    return out.getvalue()


def enlarged(image):
    return image.resize((image.width * PICTURE_SCALE, image.height * PICTURE_SCALE), Image.NEAREST)


def obstacle_picture(kind):
    """The obstacle palette's view of a kind: the marker in the middle of an empty cell, the
    cell's edge cropped so that the 5 x 5 marker can be seen at a glance."""
    cell = Image.open(os.path.join(IMG, "empty17.png")).convert("RGBA")
    marker = Image.open(os.path.join(IMG, OBSTACLE_IMAGES[kind] + ".png")).convert("RGBA")
    cell.alpha_composite(marker, (6, 6))
    middle = cell.crop((3, 3, 14, 14))
    return middle.resize((middle.width * MARKER_SCALE, middle.height * MARKER_SCALE), Image.NEAREST)


def image_picture(name):
    image = Image.open(os.path.join(IMG, name + ".png")).convert("RGBA")
    return enlarged(image) if image.width <= 32 else image


def run(command, **kwargs):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    if result.returncode != 0:
        raise SystemExit("make-guide: %s failed: %s" % (" ".join(command), result.stderr.decode()[:500]))
    return result.stdout.decode("utf-8")


def scene_headers():
    scenes = []
    for path in sorted(glob.glob(os.path.join(ROOT, "tools", "scenes", "factory", "*.script"))):
        header = {"script": path}
        for line in open(path, encoding="utf-8"):
            match = re.match(r"^# (name|description|tempo|scale|accents): (.+)$", line.rstrip("\n"))
            if match:
                header[match.group(1)] = match.group(2)
        scenes.append(header)
    return scenes


def factory_scenes(build, work):
    host = os.path.join(build, "tarvo-host")
    plugin = os.path.join(build, "Tarvo3.so")
    snapshot = os.path.join(build, "tarvo-editor-snapshot")
    roll = os.path.join(ROOT, "scripts", "piano-roll.py")
    out = []
    for scene in scene_headers():
        name = scene["name"]
        fxp = os.path.join(build, "Scenes", name + ".fxp")
        if not os.path.exists(fxp):
            raise SystemExit("make-guide: %s is missing (build the factory_scenes target)" % fxp)
        stem = os.path.basename(scene["script"])[:-len(".script")]
        editor_png = os.path.join(work, stem + "-editor.png")
        # Named after the scene: the piano roll takes its title from the file.
        events = os.path.join(work, name + ".events")
        roll_png = os.path.join(work, stem + "-roll.png")
        tempo = scene.get("tempo", "120")
        # A scene with accents shows the sequencer panel (PnlSeq, index 393), where they are drawn.
        panel = ["--param", "393=1"] if "accents" in scene else []
        run([snapshot, "--png", editor_png, "--", "--fxp-in", fxp, "--blocks", "1", "--at", "0 stop"] + panel)
        # Loaded while stopped, then played from 0, as in a host.
        run([host, "play", plugin, "--fxp-in", fxp, "--at", "0 stop", "--at", "1 play", "--tempo", tempo, "--bars",
             str(ROLL_BARS), "--events", events])
        run(["/usr/bin/python3", roll, events, "--tempo", tempo, "-o", roll_png, "--size", "1200x420"])
        out.append('<div class="scene" markdown="1">\n')
        out.append("### %s\n" % name)
        out.append("*%s*\n" % scene.get("description", ""))
        facts = ["file `Scenes/%s.fxp`" % name, "written for %s bpm" % tempo]
        if "scale" in scene:
            facts.append("scale file \"%s\"" % scene["scale"])
        sentence = ", ".join(facts)
        out.append(sentence[0].upper() + sentence[1:] + ".\n")
        about = []
        for line in open(scene["script"], encoding="utf-8"):
            if not line.startswith("#"):
                break
            text = line[1:].strip()
            if re.match(r"^(name|description|tempo|scale|accents):", text):
                continue
            if text.startswith("A Tarvo3 factory scene:"):
                break
            about.append(text)
        out.append(" ".join(t for t in about if t) + "\n")
        out.append("![The editor as %s starts](%s)\n" % (name, editor_png))
        out.append("![The first %d bars of %s](%s)\n" % (ROLL_BARS, name, roll_png))
        out.append("</div>\n")
    return "\n".join(out)


def linux_requirements(build):
    plugin = os.path.join(build, "Tarvo3.so")
    symbols = run(["objdump", "-T", plugin])
    headers = run(["objdump", "-p", plugin])

    def newest(prefix):
        versions = set(re.findall(r"\b%s_([0-9.]+)\b" % prefix, symbols))
        return max(versions, key=lambda v: [int(p) for p in v.split(".")]) if versions else None

    needed = re.findall(r"^\s*NEEDED\s+(\S+)", headers, re.M)
    lines = ["| What | Needed by the Linux build |", "|---|---|"]
    lines.append("| GNU C library (glibc) | %s or newer |" % newest("GLIBC"))
    lines.append("| GNU C++ library (libstdc++) | GLIBCXX %s, CXXABI %s or newer |" % (newest("GLIBCXX"),
                                                                                      newest("CXXABI")))
    lines.append("| Shared libraries | %s |" % ", ".join("`%s`" % n for n in needed))
    return "\n".join(lines) + "\n"


def controls_table(build):
    table = runpy.run_path(os.path.join(ROOT, "scripts", "controls-table.py"))
    rows_text = run([os.path.join(build, "tarvo-controls")])
    tsv = os.path.join(ARGS.work, "controls.tsv")
    with open(tsv, "w", encoding="utf-8") as f:
        f.write(rows_text)
    rows = table["read_controls"](tsv)
    explanations = table["read_explanations"](os.path.join(ROOT, "docs", "guide", "controls-explained.txt"))
    return table["markdown"](rows, explanations)


def embed_pictures(html):
    def replace(match):
        source = match.group(2)
        pixel = False
        if source.startswith("obstacle:"):
            data, pixel = data_uri(png_bytes(obstacle_picture(int(source.split(":")[1])))), True
        elif source.startswith("image:"):
            data, pixel = data_uri(png_bytes(image_picture(source.split(":")[1]))), True
        elif source.startswith("scene-editor:"):
            data = data_uri(open(os.path.join(ARGS.work, source.split(":")[1] + "-editor.png"), "rb").read())
        elif source.startswith("data:"):
            return match.group(0)
        else:
            data = data_uri(open(source, "rb").read())
        return match.group(1) + data + '"' + (' class="pixel"' if pixel else "")

    return re.sub(r'(<img[^>]*?src=")([^"]+)"', replace, html)


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("-o", "--output", default=None)
    parser.add_argument("--work", default=None, help="folder for the pictures made on the way")
    ARGS = parser.parse_args()
    build = os.path.abspath(ARGS.build)
    ARGS.output = ARGS.output or os.path.join(build, "Tarvo3-Guide.html")
    ARGS.work = ARGS.work or os.path.join(build, "guide")
    os.makedirs(ARGS.work, exist_ok=True)

    chapters = sorted(glob.glob(os.path.join(ROOT, "docs", "guide", "[0-9][0-9]-*.md")))
    text = "\n\n".join(open(c, encoding="utf-8").read() for c in chapters)
    generated = {
        "controls-table": lambda: controls_table(build),
        "factory-scenes": lambda: factory_scenes(build, ARGS.work),
        "linux-requirements": lambda: linux_requirements(build),
    }
    for marker, make in generated.items():
        if "<!-- %s -->" % marker in text:
            text = text.replace("<!-- %s -->" % marker, make())
    converter = markdown.Markdown(extensions=["tables", "fenced_code", "toc", "md_in_html", "attr_list"],
                                  extension_configs={"toc": {"toc_depth": "2-3"}})
    body = converter.convert(text)
    body = embed_pictures(body)
    toc = converter.toc
    html = ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Tarvo3: the musician's guide</title>\n<style>%s</style>\n</head>\n<body>\n"
            "<h1>Tarvo3: the musician's guide</h1>\n<nav class=\"toc\">%s</nav>\n%s\n</body>\n</html>\n"
            % (CSS, toc, body))
    temporary = ARGS.output + ".part"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(html)
    os.replace(temporary, ARGS.output)
    print("make-guide: %s (%d chapters, %d bytes)" % (ARGS.output, len(chapters), len(html)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
