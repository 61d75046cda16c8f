#!/usr/bin/env bash
# Opens a results window under Xvfb on a small made-up tree of photos and documents, lets the
# search finish, selects the first groups and one file, and saves a picture of the window.
#   scripts/screenshot-results.sh [OUTPUT.png]      (default docs/results-window.png)
# BUILD_DIR names the build folder to use (default build-screenshot). Needs xvfb-run.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-screenshot}"
output="${1:-$root/docs/results-window.png}"
case "$output" in /*) ;; *) output="$PWD/$output" ;; esac

cmake -S "$root" -B "$build" -G Ninja -DTWINFIND_GUI=ON -DTWINFIND_TESTS=ON >/dev/null
ninja -C "$build" results_screenshot >/dev/null

# A fixed scratch folder, so that the picture shows the same path on every machine.
scratch="/tmp/twinfind-screenshot"
rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
home="$scratch/home/ann"
export HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config"
export XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# In a sanitizer build the X11 session's D-Bus library keeps a buffer until exit.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# file RELATIVE SIZE DATE: SIZE bytes of one repeated letter, modified at DATE.
file() {
    mkdir -p "$(dirname "$home/$1")"
    head -c "$2" /dev/zero | tr '\0' 'x' >"$home/$1"
    touch -d "$3" "$home/$1"
}
file Pictures/Holiday/IMG_0412.JPG 3481220 "2024-07-14 10:02"
file Backup/Pictures/Holiday/IMG_0412.JPG 3481220 "2025-01-03 21:40"
file Desktop/IMG_0412.JPG 3481220 "2025-03-18 08:15"
file Pictures/Holiday/IMG_0413.JPG 2967104 "2024-07-14 10:05"
file Backup/Pictures/Holiday/IMG_0413.JPG 2967104 "2025-01-03 21:40"
file Documents/Taxes/return-2024.pdf 845312 "2025-04-02 17:30"
file Downloads/return-2024.pdf 845312 "2025-04-02 17:28"
file Music/Album/01-Overture.mp3 6553611 "2023-11-20 19:00"
file Backup/Music/01-Overture.mp3 6553611 "2024-02-09 12:12"
file Documents/notes.txt 4120 "2025-05-30 09:45"
file Backup/notes.txt 4120 "2025-02-11 14:20"
file Documents/Letters/lease.odt 21408 "2022-09-01 11:00"
file Downloads/lease.odt 21408 "2022-09-01 11:01"

mkdir -p "$(dirname "$output")"
xvfb-run -a -s "-screen 0 1280x800x24" \
    env QT_QPA_PLATFORM=xcb "$build/tests/results/results_screenshot" "$output" \
    "$home/Pictures" "$home/Backup" "$home/Desktop" "$home/Documents" "$home/Downloads" \
    "$home/Music"
echo "Saved $output"
