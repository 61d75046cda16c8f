#!/usr/bin/env bash
# Builds Twinfind (release build) and starts the desktop application, with the folders given
# as start folders. Without a display it runs the command line on them instead (the home
# folder when none is given). Installs the Debian packages it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${BUILD_DIR:-build-release}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWINFIND_TESTS=OFF
cmake --build "$build"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/twinfind-gui" "$@"
fi
echo "run.sh: no display; running the command line instead" >&2
exec "$build/cli/twinfind" "$@"
