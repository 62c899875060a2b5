#!/usr/bin/env bash
# Builds the three release archives into dist/:
#   Tarvo3-1.0.0-linux-x86_64.tar.gz   Tarvo3.so
#   Tarvo3-1.0.0-windows-x64.zip       Tarvo64.dll
#   Tarvo3-1.0.0-windows-x86.zip       Tarvo32.dll
# each holding one folder Tarvo3/ with the plug-in, Tarvo3.ini,
# TarvoMidiMap.txt, Scales/, Scenes/ (the factory scenes), the musician's
# guide Tarvo3-Guide.html and README.txt.
#
# Usage: scripts/package.sh [--no-build]
#   It builds what it needs first (the three plug-ins, the Linux host and
#   tools, the factory scenes), then the guide, then the archives;
#   --no-build compiles nothing and packs what the build folders hold.
# Environment: TARVO_DIST_DIR (dist/) where the archives go; TARVO_LINUX_DIR,
#   TARVO_WIN32_DIR, TARVO_WIN64_DIR (build/linux, build/win32, build/win64)
#   the build folders to pack from.
#
# The archives are reproducible: the same binaries give byte-identical
# archives (entries sorted, every time stamp SOURCE_DATE_EPOCH, by default
# the commit time of HEAD; owner root, fixed permissions), and the builds
# themselves carry no build time or build path (see CMakeLists.txt).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
started=$(date +%s)
version=1.0.0
say() { echo "== package: $*"; }

build=1
case "${1:-}" in
    --no-build) build=0 ;;
    "") ;;
    *) echo "usage: scripts/package.sh [--no-build]" >&2; exit 2 ;;
esac

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)
fi
export SOURCE_DATE_EPOCH

dist="${TARVO_DIST_DIR:-$root/dist}"
linux="${TARVO_LINUX_DIR:-$root/build/linux}"
win32="${TARVO_WIN32_DIR:-$root/build/win32}"
win64="${TARVO_WIN64_DIR:-$root/build/win64}"

if [ "$build" = 1 ]; then
    say "building the plug-ins, tools and factory scenes"
    TARVO_BUILD_TARGETS="Tarvo3 tarvo-host tarvo-editor-snapshot tarvo-controls factory_scenes" scripts/build.sh linux
    TARVO_BUILD_TARGETS="Tarvo3 tarvo-host" scripts/build.sh win32 win64
fi
for f in "$linux/Tarvo3.so" "$win64/Tarvo64.dll" "$win32/Tarvo32.dll"; do
    [ -f "$f" ] || { echo "package: $f is missing (run without --no-build)" >&2; exit 1; }
done
ls "$linux"/Scenes/*.fxp >/dev/null 2>&1 || { echo "package: $linux/Scenes holds no scene" >&2; exit 1; }

say "the guide"
/usr/bin/python3 scripts/make-guide.py --build "$linux" -o "$linux/Tarvo3-Guide.html" >/dev/null

mkdir -p "$dist"
/usr/bin/python3 - "$root" "$version" "$dist" "$linux" "$win32" "$win64" <<'PY'
import gzip, io, os, sys, tarfile, time, zipfile

root, version, dist, linux, win32, win64 = sys.argv[1:7]
epoch = int(os.environ["SOURCE_DATE_EPOCH"])
package = os.path.join(root, "resources", "package")

def folder_files(folder, into):
    for name in sorted(os.listdir(folder)):
        yield os.path.join(folder, name), into + "/" + name

def contents(plugin):
    """(archive path, source file) for every file, sorted by archive path."""
    files = [(plugin, "Tarvo3/" + os.path.basename(plugin))]
    for name in ("Tarvo3.ini", "TarvoMidiMap.txt", "README.txt"):
        files.append((os.path.join(package, name), "Tarvo3/" + name))
    files.append((os.path.join(linux, "Tarvo3-Guide.html"), "Tarvo3/Tarvo3-Guide.html"))
    files += folder_files(os.path.join(package, "Scales"), "Tarvo3/Scales")
    files += sorted((p, a) for p, a in folder_files(os.path.join(linux, "Scenes"), "Tarvo3/Scenes")
                    if p.endswith(".fxp"))
    return sorted(((a, p) for p, a in files))

def folders(entries):
    return sorted({"/".join(a.split("/")[:i]) for a, _ in entries for i in range(1, a.count("/") + 1)})

def mode(archive_path):
    return 0o755 if archive_path.endswith((".so", ".dll")) else 0o644

def write_tar(path, entries):
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode="w", format=tarfile.GNU_FORMAT) as tar:
        items = [(d + "/", None) for d in folders(entries)] + entries
        for archive_path, source in sorted(items):
            info = tarfile.TarInfo(archive_path.rstrip("/"))
            info.mtime, info.uid, info.gid, info.uname, info.gname = epoch, 0, 0, "root", "root"
            if source is None:
                info.type, info.mode = tarfile.DIRTYPE, 0o755
                tar.addfile(info)
            else:
                data = open(source, "rb").read()
                info.size, info.mode = len(data), mode(archive_path)
                tar.addfile(info, io.BytesIO(data))
    with open(path + ".part", "wb") as out:
        with gzip.GzipFile(filename="", mode="wb", fileobj=out, compresslevel=9, mtime=epoch) as gz:
            gz.write(raw.getvalue())
    os.replace(path + ".part", path)

def write_zip(path, entries):
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip dates start in 1980
    with zipfile.ZipFile(path + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        items = [(d + "/", None) for d in folders(entries)] + entries
        for archive_path, source in sorted(items):
            info = zipfile.ZipInfo(archive_path, date_time=stamp)
            info.create_system = 3  # Unix, so that the permissions below hold
            if source is None:
                info.external_attr = (0o40755 << 16) | 0x10
                z.writestr(info, b"")
            else:
                info.external_attr = (0o100000 | mode(archive_path)) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                z.writestr(info, open(source, "rb").read(), compresslevel=9)
    os.replace(path + ".part", path)

write_tar(os.path.join(dist, "Tarvo3-%s-linux-x86_64.tar.gz" % version), contents(os.path.join(linux, "Tarvo3.so")))
write_zip(os.path.join(dist, "Tarvo3-%s-windows-x64.zip" % version), contents(os.path.join(win64, "Tarvo64.dll")))
write_zip(os.path.join(dist, "Tarvo3-%s-windows-x86.zip" % version), contents(os.path.join(win32, "Tarvo32.dll")))
PY

for f in "$dist/Tarvo3-$version-linux-x86_64.tar.gz" "$dist/Tarvo3-$version-windows-x64.zip" "$dist/Tarvo3-$version-windows-x86.zip"; do
    say "$f: $(stat -c %s "$f") bytes, sha256 $(sha256sum "$f" | cut -c1-16)"
done
say "done in $(( $(date +%s) - started )) s"
