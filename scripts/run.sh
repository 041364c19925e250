#!/usr/bin/env bash
# Builds Varnolde and runs its main job. Usage: scripts/run.sh [FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVARNOLDE_BUILD_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
echo "Built in build/."
