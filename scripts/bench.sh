#!/bin/bash
# Builds the benchmarks of the default preset, runs every benchmark program and
# prints one table: each operation at 1,000, 10,000 and 100,000 items, how its time
# grows (10k/1k, 100k/10k; linear growth gives about 10) and its target.
# Each benchmark runs BENCH_REPETITIONS times (3 unless set) and the table shows
# the medians, since fsync times on a shared disk vary from run to run. Extra
# arguments go to every benchmark program, e.g. --benchmark_filter=backup.
# Build and progress messages go to standard error, the table to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run >&2
if ! command -v python3 >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq python3-minimal >/dev/null
fi

build=build/default
cmake --preset default >/dev/null
mapfile -t targets < <(cmake --build "$build" --target help | sed -nE 's/^(zorvan_[a-z_]*_bench):.*/\1/p' | sort -u)
if ((${#targets[@]} == 0)); then
    echo "no benchmark targets (configured with ZORVAN_BUILD_BENCH=OFF?)" >&2
    exit 1
fi
nice cmake --build "$build" -j2 --target "${targets[@]}" >&2

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
# The window benchmark, when there is one, needs no display.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
for target in "${targets[@]}"; do
    program=$(find "$build" -type f -perm -u+x -name "$target" | head -1)
    if [[ -z "$program" ]]; then
        echo "$target: built but not found, skipped" >&2
        continue
    fi
    echo "running $target ..." >&2
    if ! "$program" --benchmark_format=json --benchmark_repetitions="${BENCH_REPETITIONS:-3}" \
        "$@" >"$results/$target.json"; then
        echo "$target ended with an error; its results may be incomplete" >&2
    fi
done

python3 - "$results"/*.json <<'PY'
import json, re, statistics, sys
from collections import OrderedDict

SIZES = [1000, 10000, 100000]
# (operation, layout or None for every layout) -> {items: limit}; ms, or MiB for peak_rss.
TARGETS = {
    ("group_load", "onegroup"): {10000: 150},
    # The window's own benchmark (zorvan_window_bench): a group switch, list included.
    ("group_switch", "onegroup"): {10000: 150},
    ("startup", None): {10000: 150, 100000: 1500},
    ("window_peak_rss", None): {100000: 150},
    ("csv_import", None): {10000: 1000, 100000: 10000},
    ("csv_export", "onegroup"): {10000: 200},
    ("password_change", None): {100000: 3000},
    ("backup", None): {100000: 1000},
    ("item_store", None): {100000: 20},
    ("item_delete", None): {100000: 20},
    ("item_use", None): {100000: 20},
    ("peak_rss", None): {100000: 150},
    # The protected format: opening includes the key derivation (0.5 s by default).
    ("protected_open", None): {100000: 1500},
    ("protected_item_edit", None): {100000: 150},
    # One keystroke in the find box, over the whole vault.
    ("search_query", None): {100000: 16},
    ("search_query_edited", None): {100000: 16},
}
# Above this a tenfold size costs far more than tenfold. Linear work gives about 10,
# sorting (n log n) about 12.5, and at 100k the item file (11 MB) leaves the
# processor's caches, which adds a few more; a quadratic cost would give 100.
MAX_RATIO = 25.0
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

rows = OrderedDict()
errors = []
for path in sys.argv[1:]:
    try:
        with open(path) as f:
            data = json.load(f)
    except (OSError, ValueError) as e:
        errors.append(f"{path}: no results ({e})")
        continue
    for b in data.get("benchmarks", []):
        if b.get("run_type", "iteration") != "iteration":
            continue
        m = re.fullmatch(r"([^/]+)/([^/]+)/(\d+)(?:/.*)?", b.get("run_name", b["name"]))
        if not m:
            continue
        op, layout, items = m.group(1), m.group(2), int(m.group(3))
        if b.get("error_occurred"):
            errors.append(f"{b['name']}: {b.get('error_message', 'failed')}")
            continue
        value = b["max_rss_mb"] if "max_rss_mb" in b else b["real_time"] * TO_MS[b["time_unit"]]
        rows.setdefault((op, layout), {}).setdefault(items, []).append(value)
        # The window's benchmark reports the process's peak memory with each size open.
        if "peak_rss_mb" in b and op == "startup":
            rows.setdefault(("window_peak_rss", layout), {}).setdefault(items, []).append(
                b["peak_rss_mb"])
rows = OrderedDict((key, {n: statistics.median(v) for n, v in values.items()})
                   for key, values in rows.items())

def target_for(op, layout):
    return TARGETS.get((op, layout)) or TARGETS.get((op, None)) or {}

def fmt(value, unit):
    if value is None:
        return "-"
    if unit == "MiB":
        return f"{value:.0f} MiB"
    return f"{value:.3g} ms" if value < 10 else f"{value:.0f} ms"

def short(items):
    return f"{items // 1000}k"

header = ["operation", "layout", "1k", "10k", "100k", "10k/1k", "100k/10k", "target", "result"]
table = [header]
failures = 0
for (op, layout), values in rows.items():
    unit = "MiB" if op.endswith("peak_rss") else "ms"
    cells = [values.get(n) for n in SIZES]
    ratios = []
    for small, big in ((0, 1), (1, 2)):
        if cells[small] and cells[big] is not None:
            ratios.append(cells[big] / cells[small])
        else:
            ratios.append(None)
    limits = target_for(op, layout)
    problems = []
    for items, limit in limits.items():
        if values.get(items) is None:
            problems.append(f"no {short(items)} figure")
        elif values[items] > limit:
            problems.append(f"{short(items)} over target")
    if unit == "ms" and any(r is not None and r > MAX_RATIO for r in ratios):
        problems.append("worse than linear")
    failures += bool(problems)
    target = ", ".join(f"<= {fmt(limit, unit)} @{short(n)}" for n, limit in limits.items()) or "-"
    table.append([op, layout] + [fmt(c, unit) for c in cells] +
                 [f"{r:.1f}" if r is not None else "-" for r in ratios] +
                 [target, "FAIL: " + "; ".join(problems) if problems else "pass"])

widths = [max(len(r[i]) for r in table) for i in range(len(header))]
right = {2, 3, 4, 5, 6}
def line(r):
    return "| " + " | ".join(c.rjust(w) if i in right else c.ljust(w)
                             for i, (c, w) in enumerate(zip(r, widths))) + " |"
print(line(table[0]))
print("|" + "|".join(("-" * (w + 1) + ":") if i in right else ("-" * (w + 2))
                     for i, w in enumerate(widths)) + "|")
for r in table[1:]:
    print(line(r))
for e in errors:
    print("error:", e)
print(f"\n{len(table) - 1 - failures} passed, {failures} failed")
sys.exit(1 if failures or errors else 0)
PY
