#!/usr/bin/env bash
# Plays scripted stages in the real window under Xvfb for about 20 s and reports the
# CPU time the game used. Target: under 10 % of one core.
#   bench/window_cpu.sh [build/bin]
set -euo pipefail
bin=${1:-build/bin}
bin=$(cd "$bin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in CELL.DAT PATH.DAT Ralvo.CFG Ralvo.HLP Click.wav Crash.wav Bomb.wav Splash.wav Goal.wav; do
    cp "$bin/$f" "$work/"
done
# Three stages from Start to the end of the run, laying a cell now and then, then idle time.
{
    for _ in 1 2 3; do
        echo "menu MenuStart"
        echo "wait 1500"
        echo "mouse board 1 300 250"
        echo "wait 5000"
    done
    echo "wait 600"
} > "$work/script.txt"
cat > "$work/run.sh" <<RUN
TIMEFORMAT='%U %S %R'
{ time "$bin/ralvo" --dir "$work" --seed 11 --script "$work/script.txt" 2>/dev/null ; } 2> "$work/time.txt"
RUN
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/run.sh"
read -r user sys real < <(tail -n 1 "$work/time.txt")
awk -v u="$user" -v s="$sys" -v r="$real" 'BEGIN {
    cpu = u + s; pct = 100 * cpu / r
    printf "window run: %.1f s wall, %.2f s CPU (user %.2f, system %.2f) = %.1f %% of one core (target < 10 %%)\n", r, cpu, u, s, pct
    exit (pct < 10 ? 0 : 1)
}'
