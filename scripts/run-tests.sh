#!/usr/bin/env bash
# Builds everything with the given preset (default: "default") and runs every test, once with an English
# locale and once with the C locale, since sorting and case rules must hold in both.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

bash scripts/install-dependencies.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
LANG=en_US.UTF-8 LC_ALL= ctest --preset "$preset"
LANG=C LC_ALL=C ctest --preset "$preset"
