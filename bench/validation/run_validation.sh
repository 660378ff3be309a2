#!/bin/sh
# Regenerates the validation table of the analytic power in the README:
# every design in designs/ is simulated (its 20,000 trials, one thread, one
# design at a time) with --json, and the simulated power of each statistic
# is set against the analytic power the same JSON holds (and against the
# analytic power at the critical values the engine's own recursion gives at
# the expected information). Prints a Markdown table on standard output.
#
#   bench/validation/run_validation.sh [build/gsdsim] > table.md
set -eu
here=$(cd "$(dirname "$0")" && pwd)
gsdsim=$(cd "$(dirname "${1:-build/gsdsim}")" && pwd)/$(basename "${1:-build/gsdsim}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "| design | statistic | simulated power (SE) | analytic power | difference | difference / SE | within 0.02 + 3 SE | analytic at the engine's critical values |"
echo "|---|---|---|---|---|---|---|---|"
for design in "$here"/designs/*.dsn; do
  name=$(basename "$design" .dsn)
  (cd "$work" && "$gsdsim" --threads 1 --json "$name.json" "$design" > /dev/null)
  python3 - "$work/$name.json" "$name" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
for sim, ana in zip(d["statistics"], d["analytic"]["statistics"]):
    p, se, a = sim["power"], sim["sd"], ana["power"]
    diff = a - p
    ok = "yes" if abs(diff) <= 0.02 + 3 * se else "no"
    ratio = diff / se if se > 0 else float("nan")
    print("| %s | FH(%g,%g) | %.4f (%.4f) | %.4f | %+.4f | %+.1f | %s | %.4f |"
          % (sys.argv[2], sim["rho"], sim["tau"], p, se, a, diff, ratio, ok,
             ana["power_at_engine_bounds"]))
PY
done
