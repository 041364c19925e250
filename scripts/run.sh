#!/usr/bin/env bash
# Builds Varnolde and runs its main job. With a display and no FILE: starts
# the program on a new scale file made from the bundled DefaultScaler.SetupScl
# (it asks for the new file's name). Otherwise, headless with varnolde-cli: a
# load from the setup file to the reports.
#
# Usage: scripts/run.sh [FILE...]
#   no FILE        with a display ($DISPLAY set and reachable, and
#                  VARNOLDE_HEADLESS unset): the program, as above; without
#                  one, the bundled demo loads (data/demo/*.txt): each becomes
#                  a new scale file made from the bundled DefaultScaler.SetupScl,
#                  imported, audited, finalized and reported
#   FILE.txt       a load in the import text format: the same road as the demos
#   FILE.SetupScl  the demo 3P load on a scale file made from this setup file
#   FILE.scl       an existing scale file: audited, finalized and reported in place
# New scale files and their reports go to build/main-job/ (a file of the same
# name from an earlier run, and its reports, are replaced).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVARNOLDE_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
echo "Built in build/."

cli=$root/build/bin/varnolde-cli
program=$root/build/bin/varnolde
setup=$root/build/bin/DefaultScaler.SetupScl

if [ $# -eq 0 ] && [ -z "${VARNOLDE_HEADLESS:-}" ] && [ -n "${DISPLAY:-}" ] &&
  xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "Starting Varnolde on a new scale file made from $setup."
  exec "$program" "$setup"
fi
out=$root/build/main-job
mkdir -p "$out"

abs() { case "$1" in /*) echo "$1" ;; *) echo "$root/$1" ;; esac; }

# The road of one scale file after it has its load: audit, finalize, reports.
finish() {
  local scl=$1
  "$cli" audit "$scl"
  "$cli" finalize --pdf "$scl"
  "$cli" report --pdf "$scl"
  "$cli" totals "$scl" | tr -d '\r'
}

# A new scale file from setup $1 with the load text $2, named $3.
new_load() {
  local setup=$1 text=$2 scl=$out/$3.scl
  rm -f "$out/$3".{scl,cmp,clg,bva,csv,audit,cmp.pdf,clg.pdf,audit.pdf}
  echo
  echo "== $(basename "$text") -> $scl"
  if [ -n "$setup" ]; then "$cli" create --setup "$setup" "$scl"; else "$cli" create "$scl"; fi
  "$cli" import "$scl" "$text"
  finish "$scl"
}

if [ $# -eq 0 ]; then
  set -- data/demo/demo-3p-cubic.txt data/demo/demo-100-board.txt
fi
folders=()
for arg in "$@"; do
  file=$(abs "$arg")
  case "$file" in
    *.scl) echo; echo "== $file"; finish "$file"; where=$(dirname "$file") ;;
    *.SetupScl) new_load "$file" "$root/data/demo/demo-3p-cubic.txt" "$(basename "$file" .SetupScl)"; where=$out ;;
    *) new_load "" "$file" "$(basename "${file%.*}")"; where=$out ;;
  esac
  [[ " ${folders[*]} " == *" $where "* ]] || folders+=("$where")
done

echo
echo "Done. Scale files (.scl), comprehensive reports (.cmp), log reports (.clg),"
echo "Brevanta exports (.bva) and audit reports (.audit), the reports' PDF copies"
echo "(.cmp.pdf, .clg.pdf, .audit.pdf) are in:"
printf '  %s\n' "${folders[@]}"
echo
echo "On a display, start the program with: $program $setup"
echo "(or run scripts/run.sh there without arguments)."
