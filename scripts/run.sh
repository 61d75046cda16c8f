#!/usr/bin/env bash
# Builds Twinfind (release build) and runs it on the folders given (the home folder when
# none is given). Installs the Debian packages it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWINFIND_TESTS=OFF
cmake --build "$build"
exec "$build/cli/twinfind" "$@"
