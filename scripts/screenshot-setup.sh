#!/usr/bin/env bash
# Pictures of the two search views for the README: docs/standard-view.png and
# docs/advanced-view.png, taken under a virtual X server (Xvfb). Builds the picture tool in
# BUILD_DIR (build-screenshots by default) first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-screenshots}
# The picture tool lives with the setup tests.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWINFIND_GUI=ON -DTWINFIND_TESTS=ON \
    >/dev/null
cmake --build "$build" --target setup_screenshot

# A sanitizer build's leak report at exit says nothing about the pictures.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p docs
for view in standard advanced; do
    xvfb-run -a -s "-screen 0 1600x1200x24" \
        "$build/tests/setup/setup_screenshot" --view "$view" --output "docs/$view-view.png"
    echo "docs/$view-view.png"
done
