#!/usr/bin/env bash
# "tarvo-host info" on the Tarvo3 module: the identity every host sees, the
# same on all three binaries; and a short play run, which must leave the
# output buffers silent (the plug-in makes no sound).
set -euo pipefail
. "$(dirname "$0")/run-host.sh"

[ -f "$PLUGIN" ] || fail "$PLUGIN does not exist"

status=0
run_host info "$PLUGIN" >info.json 2>info.err || status=$?
[ "$status" -eq 0 ] || fail "info exited with $status: $(head -n 5 info.err)"

/usr/bin/python3 - info.json <<'PY' || fail "info reported a wrong identity (see above)"
import json, sys
try:
    info = json.load(open(sys.argv[1], encoding="utf-8"))
except ValueError as error:
    sys.exit("info printed no valid JSON object: %s" % error)
expected = {
    "name": "Tarvo3", "vendor": "Quillfen", "product": "", "uniqueId": "Qfta",
    "version": 10000, "flags": "0x1139", "numParams": 101, "numPrograms": 6,
    "numInputs": 2, "numOutputs": 2, "category": 2, "vstVersion": 2400,
}
wrong = ["%s is %r, expected %r" % (k, info.get(k), v) for k, v in expected.items() if info.get(k) != v]
programs = ["- %d -" % n for n in range(1, 7)]
if info.get("programs") != programs:
    wrong.append("programs are %r, expected %r" % (info.get("programs"), programs))
params = info.get("params", [])
if [p.get("index") for p in params] != list(range(101)):
    wrong.append("params list %d entries, not indices 0..100" % len(params))
for p in params:
    if not isinstance(p.get("value"), float) or not 0.0 <= p["value"] <= 1.0:
        wrong.append("param %s has value %r, not a normalised number" % (p.get("index"), p.get("value")))
        break
for question in ("receiveVstMidiEvent", "sendVstMidiEvent", "receiveVstTimeInfo"):
    if info.get("canDo", {}).get(question) != 1:
        wrong.append("canDo %s answers %r, expected 1" % (question, info.get("canDo", {}).get(question)))
for line in wrong:
    print("tarvo_identity: " + line, file=sys.stderr)
sys.exit(1 if wrong else 0)
PY

status=0
run_host play "$PLUGIN" --blocks 8 --block 256 >play.json 2>play.err || status=$?
[ "$status" -eq 0 ] || fail "play exited with $status: $(head -n 5 play.err)"
/usr/bin/python3 - play.json <<'PY' || fail "play reported wrong totals (see above)"
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
wrong = []
if report.get("blocks") != 8 or report.get("samples") != 2048:
    wrong.append("ran %r blocks and %r samples, expected 8 and 2048" % (report.get("blocks"), report.get("samples")))
if report.get("outputPeak") != 0.0:
    wrong.append("output peak %r: the plug-in must write silence into its outputs" % report.get("outputPeak"))
for line in wrong:
    print("tarvo_identity: " + line, file=sys.stderr)
sys.exit(1 if wrong else 0)
PY
echo "tarvo_identity: $PLATFORM: Tarvo3 by Quillfen, Qfta, 101 params, 6 programs, flags 0x1139 (editor attached); silent outputs"
