#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes xdotool scripts of random play: presses, holds and releases of
every key the game binds (but the quit key), mouse motion and buttons.
Usage: random_play.py SEED CHUNKS DIR [fixed-mode]
Writes DIR/NNNN.xdo, each about five seconds of play that ends with every
key and button released, and DIR/NNNN.events with its number of events.
With "fixed-mode" the keys that change the video mode are left out, so that
memory can be compared over the run."""
import os
import random
import sys

seed, chunks, out = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
fixed_mode = len(sys.argv) > 4 and sys.argv[4] == "fixed-mode"
rng = random.Random(seed)
CHUNK_SECONDS = 5.0

HELD = ["Tab", "space", "KP_0", "KP_4", "KP_6", "KP_7", "KP_9", "KP_8", "KP_5"]
COMMANDS = ["F1", "F2", "F3", "F9", "F10", "comma", "period", "bracketleft",
            "bracketright", "backslash", "apostrophe", "Return"]
MODE_KEYS = ["F11", "F12", "alt+Return"]
CHEATS = [str(d) for d in range(10)] + ["grave", "a", "i", "l", "m", "t", "f", "s", "n"]


def chunk():
    lines, held, now = [], {}, 0.0
    events = 0

    def emit(line):
        nonlocal events
        lines.append(line)
        events += 1

    def hold(name, up):
        if name in held:
            return
        emit(("keydown " if up.startswith("key") else "mousedown ") + name)
        held[name] = (now + rng.uniform(0.05, 2.5), up)

    def release(until):
        for name, (when, up) in sorted(held.items(), key=lambda kv: kv[1][0]):
            if when <= until:
                emit(up)
                del held[name]

    while now < CHUNK_SECONDS:
        r = rng.random()
        if r < 0.32:
            k = rng.choice(HELD)
            if rng.random() < 0.5:
                hold(k, "keyup " + k)
            else:
                emit("key " + k)
        elif r < 0.54:
            emit("mousemove_relative -- %d %d" % (rng.randint(-80, 80), rng.randint(-80, 80)))
        elif r < 0.62:
            b = rng.choice("123")
            if rng.random() < 0.5:
                hold(b, "mouseup " + b)
            else:
                emit("click " + b)
        elif r < 0.74:
            emit("key " + rng.choice(COMMANDS))
        elif r < 0.755:
            if not fixed_mode:
                emit("key " + rng.choice(MODE_KEYS))
        elif r < 0.965:
            emit("key " + rng.choice(CHEATS))
        elif r < 0.98:
            # Losing ships ends games, so that many are played.
            emit("key k")
        elif r < 0.99:
            # Novas at the centre break every rock: waves get cleared.
            for _ in range(4):
                emit("key n")
                lines.append("sleep 0.3")
        else:
            # A pause with input going on underneath, then play again.
            emit("key Escape")
            for _ in range(rng.randint(0, 6)):
                emit("key " + rng.choice(HELD + CHEATS + ["F1", "F2", "F3"]))
            lines.append("sleep %.2f" % rng.uniform(0.2, 2.0))
            emit("key Escape")
        step = rng.uniform(0.02, 0.35)
        release(now + step)
        lines.append("sleep %.3f" % step)
        now += step
    release(float("inf"))
    return lines, events


os.makedirs(out, exist_ok=True)
for i in range(chunks):
    lines, events = chunk()
    with open(os.path.join(out, "%04d.xdo" % i), "w") as f:
        f.write("\n".join(lines) + "\n")
    with open(os.path.join(out, "%04d.events" % i), "w") as f:
        f.write("%d\n" % events)
