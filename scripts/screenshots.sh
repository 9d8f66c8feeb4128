#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the README's screenshots from the real game under Xvfb:
#   docs/intro.png    the title picture
#   docs/wave.png     a wave from the chase camera, with an explosion
#   docs/cockpit.png  the cockpit with the heads-up display
#   docs/bonus.png    the bonus tally after a wave
#   docs/gameover-scores.png  the game-over picture with a high-score table
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default: build; run make first)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
OUT="$ROOT/docs"
SIZE=640x480

if [ -z "${SCREENSHOT_X:-}" ]; then
    # The screen is the size of the game's first mode, so the root window is
    # the game's picture.
    exec env SCREENSHOT_X=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$BUILD"
fi

TMP=$(mktemp -d)
# SIGTERM only queues a quit event, which a screen that reads no events
# (a fade, the game-over wait) leaves alone: then SIGKILL.
stop_game() {
    kill "$GAME" 2>/dev/null || return 0
    for _ in $(seq 1 50); do kill -0 "$GAME" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$GAME" 2>/dev/null || true
}
trap 'stop_game; rm -rf "$TMP"' EXIT
mkdir -p "$OUT"
# The player's folders in the scratch folder, with a table of earlier games.
export XDG_DATA_HOME="$TMP/data" XDG_CONFIG_HOME="$TMP/config"
mkdir -p "$XDG_DATA_HOME/korvalend3d"
cat >"$XDG_DATA_HOME/korvalend3d/scores" <<'SCORES'
korvalend3d scores 1
48210 9 2026-11-02 mira -
35900 7 2026-11-14 jonas -
27150 6 2026-10-30 mira -
19800 5 2026-12-01 ansel -
12400 4 2026-11-20 jonas -
9850 3 2026-11-21 tove -
5200 2 2026-12-03 mira -
SCORES
(cd "$BUILD" && exec ./korvalend3d) 2>"$TMP/stderr.txt" &
GAME=$!

wait_for() {  # wait_for TEXT SECONDS
    for _ in $(seq 1 $(( $2 * 10 ))); do
        grep -qF "$1" "$TMP/stderr.txt" && return 0
        sleep 0.1
    done
    echo "screenshots: no \"$1\" from the game" >&2
    exit 1
}
grab() { import -window root "$TMP/$1.png"; }
keep() {  # keep SHOT NAME: scaled down into docs/
    convert "$TMP/$1.png" -resize "$SIZE" -strip "$OUT/$2.png"
    echo "docs/$2.png"
}
# Scores of a shot, measured in the middle band (the HUD rows left out):
# bright pixels (explosions), and the grey-brown of lit rock.
bright() {
    convert "$TMP/$1.png" -gravity center -crop 100%x80%+0+0 +repage -colorspace Gray \
        -fx "u>0.7 ? 1 : 0" -format "%[fx:round(mean*w*h)]" info:
}
rock() {
    convert "$TMP/$1.png" -gravity center -crop 100%x80%+0+0 +repage \
        -fx "(abs(r-b)<0.1 && abs(r-g)<0.1 && r>0.15 && r<0.7) ? 1 : 0" -format "%[fx:round(mean*w*h)]" info:
}
# best NAME SCORE STEPS: sweeps the ship round while firing, one shot a step,
# and keeps the one that SCORE rates highest as $TMP/NAME.png.
best() {
    local name=$1 score=$2 steps=$3 top=-1 i v
    for i in $(seq 1 "$steps"); do
        xdotool keydown Tab; sleep 0.25; xdotool keyup Tab
        xdotool mousemove_relative -- 25 4
        sleep 0.15
        grab "$name$i"
        v=$($score "$name$i")
        if [ "$v" -gt "$top" ]; then top=$v; cp "$TMP/$name$i.png" "$TMP/$name.png"; fi
    done
    echo "$name: best $score score $top"
}

wait_for "Intro screen!" 15
sleep 2.5
grab intro
keep intro intro

# The first wave from the chase camera, then from the cockpit.
wait_for "Play Game" 15
sleep 2
xdotool key F2
best wave bright 24
keep wave wave
xdotool key F1
best cockpit rock 12
keep cockpit cockpit

# The rest of the wave is cleared with the cheat keys (invincible, then
# novas until the rocks are gone), so the tally shows the CHEATER mark.
xdotool key grave
for _ in $(seq 1 8); do xdotool key n; sleep 0.7; done
wait_for "Bonus screen!" 20
sleep 4.5
grab bonus
keep bonus bonus

# The tally is cut short and the next wave's ships are lost at once (a cheat
# key), so the game over shows the table with this game apart, marked CHEATER.
for _ in $(seq 1 60); do
    grep -qF "Game over!" "$TMP/stderr.txt" && break
    xdotool key k
    sleep 0.5
done
wait_for "Game over!" 1
sleep 3
grab gameover
keep gameover gameover-scores
