#!/usr/bin/env bash
# Builds Sorelka in build/ and measures it against the performance budgets:
# start-up to the first painted menu (against a bare window, same run), peak
# memory, PlayCue, the worst case of every problem draw, targeted draws and the
# recommender, the simulated class, the drill log on a file database, and the
# slowest event handler of every screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target sorelka startup_bench model_bench drill_bench report_bench mastery_bench random_use simulated_class >/dev/null
export QT_QPA_PLATFORM_PLUGIN_PATH="${QT_QPA_PLATFORM_PLUGIN_PATH:-}"
x() { xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@" 2>/dev/null; }

echo "== Start-up and memory (budgets: 2.5 x a bare window; 80 MiB)"
x build/bin/startup_bench | grep -v '^QStandardPaths'
echo
echo "== PlayCue through the real sound backend (budget: under 0.5 ms)"
x build/bin/startup_bench --playcue | grep PlayCue
echo
echo "== Problem draws, worst cases (budget: under 1 ms; CPU column)"
build/bin/model_bench --benchmark_min_time=0.05 \
  --benchmark_filter='AllFail|AllRejected|AllRetries|Worst|Fail' 2>/dev/null |
  awk 'NR > 3 && $1 ~ /^BM_/' | sort -k4 -g -r | head -8
echo
echo "== Targeted draws, the recommender's pick, mastery rebuilt (budgets: draw 1 ms, pick 5 ms worst of 1,000, rebuild of 400,000 answers 2 s)"
build/bin/model_bench --benchmark_filter='TargetedDraw|Recommend|RebuildMastery|OneAnswersMastery' 2>/dev/null |
  awk 'NR > 3 && $1 ~ /^BM_/'
echo
echo "== The simulated class: problems until each bug is gone and its skills are at A"
build/bin/simulated_class | tail -n +8
echo
echo "== Drill log and drill handlers on a file database (budget: median under 2 ms, worst under 20 ms)"
build/bin/drill_bench 2>/dev/null | grep -E 'median' | sed 's/_median//'
echo
echo "== Mastery on the 400,000-row record (budgets: rebuild 2 s, pick 5 ms worst of 1,000)"
build/bin/mastery_bench 2>/dev/null | awk '$1 ~ /^BM_/'
echo
echo "== Teacher's view and exports on 400,000 history rows (budgets: view 150 ms and 2 x sqlite3, CSV 1.5 s, PDF 3 s)"
build/bin/report_bench 2>/dev/null | grep -E 'median' | sed 's/_median//'
echo
echo "== Every screen's event handlers, driven by the random pupil (offscreen)"
build/bin/random_use --events 40000 --seed 1 --timings 2>/dev/null | grep -E '^(handler|random use)'
