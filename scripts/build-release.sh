#!/usr/bin/env bash
# Configures and builds the release tree (build/release) that ./run starts and ./package packs:
# the given targets, or everything when none is given. Installs what the build needs.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/deps.sh
source scripts/deps.sh
qf_install_packages "${QF_BUILD_PACKAGES[@]}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQF_BUILD_TESTS=OFF -DQF_BUILD_BENCH=OFF >/dev/null
targets=()
[ $# -eq 0 ] || targets=(--target "$@")
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" "${targets[@]}"
