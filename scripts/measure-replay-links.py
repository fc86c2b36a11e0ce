#!/usr/bin/env python3
"""Measures how long a #replay= link to a kept game is, for games of 1, 5 and 10 minutes at
level 5, played by a bot that types like a person: it sees a missile only after a reaction
time, types about four characters a second, aims at the lowest missile and mistypes now and
then. The bot plays through volarin-sim, one runner command at a time, and writes what it did
as the game writes a recording (seed, settings, size, commands, ticks, chars); the runner then
replays that recording to its final state line, as a saved game ends. The link's hash is the
recording compressed with deflate-raw (zlib, wbits=-15) in base64url without padding, as the
page makes it.

Usage: scripts/measure-replay-links.py VOLARIN_SIM [MINUTES...]
"""
import base64
import json
import random
import subprocess
import sys
import zlib

ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"  # the upper-case letters, the default mode
TICKS_A_MINUTE = 3840
STEP = 4  # ticks between the bot's looks at the field
FALLING, MIRV = 1, 2
CMD_LEVEL5, CMD_START = 40011, 40015
ADDRESS = "https://example.org/volarin/"  # a page address of typical length


class Recording:
    """The recorder's lines: runs of ticks as one line of at most 64, flushed before events."""

    def __init__(self, seed):
        self.lines = [f"seed {seed}", "settings none", "size 640 480"]
        self.pending = 0

    def tick(self, count):
        for _ in range(count):
            self.pending += 1
            if self.pending == 64:
                self.flush()

    def flush(self):
        if self.pending:
            self.lines.append(f"tick {self.pending}")
            self.pending = 0

    def event(self, line):
        self.flush()
        self.lines.append(line)

    def text(self):
        self.flush()
        return "\n".join(self.lines) + "\n"


def play(sim, minutes, seed):
    rng = random.Random(seed)
    runner = subprocess.Popen([sim], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                              encoding="latin-1")
    recording = Recording(seed)

    def send(line):
        runner.stdin.write(line + "\n")

    def look():
        send("dump")
        runner.stdin.flush()
        return json.loads(runner.stdout.readline())

    for line in ("seed %d" % seed, "size 640 480", f"command {CMD_LEVEL5}", f"command {CMD_START}"):
        send(line)
    recording.event(f"command {CMD_LEVEL5}")
    recording.event(f"command {CMD_START}")
    seen = {}  # slot -> the tick the bot first saw it falling
    next_key = 0
    over_since = None
    games = 1
    tick = 0
    while tick < minutes * TICKS_A_MINUTE:
        send(f"tick {STEP}")
        recording.tick(STEP)
        tick += STEP
        state = look()
        if state["gameOver"]:
            over_since = tick if over_since is None else over_since
            if tick - over_since >= 128:  # two seconds on the results, then F2
                send(f"command {CMD_START}")
                recording.event(f"command {CMD_START}")
                games += 1
                over_since = None
            continue
        targeted = {i[0] for i in state["interceptors"]}
        falling = [m for m in state["missiles"] if m[1] in (FALLING, MIRV)]
        for m in falling:
            seen.setdefault(m[0], tick)
        seen = {slot: t for slot, t in seen.items() if any(m[0] == slot for m in falling)}
        ready = [m for m in falling if tick - seen[m[0]] >= 20 and m[0] not in targeted]
        if tick < next_key or not ready:
            continue
        target = max(ready, key=lambda m: m[3])  # the lowest
        code = ord(ALPHABET[target[0] % 26]) if target[0] < 26 else ord("A")
        if rng.random() < 0.03:
            code = ord(rng.choice(ALPHABET))
        send(f"char {code}")
        recording.event(f"char {code}")
        next_key = tick + max(6, int(rng.gauss(15, 5)))
    runner.stdin.close()
    runner.wait()
    return recording.text() + "dump\n", games


def final_line(sim, text):
    out = subprocess.run([sim, "--replay"], input=text.encode("latin-1"), capture_output=True,
                         check=True)
    return out.stdout.decode("latin-1")


def main():
    sim = sys.argv[1]
    minutes_list = [int(m) for m in sys.argv[2:]] or [1, 5, 10]
    print("minutes  games  recording  deflated  #replay= hash  link with a 28-byte address")
    for minutes in minutes_list:
        text, games = play(sim, minutes, seed=20261208 + minutes)
        text += "# final " + final_line(sim, text)
        assert final_line(sim, text) == text[text.rindex("# final ") + 8:]
        packed = zlib.compressobj(9, zlib.DEFLATED, -15)
        deflated = packed.compress(text.encode("latin-1")) + packed.flush()
        hash_ = base64.urlsafe_b64encode(deflated).rstrip(b"=").decode()
        link = ADDRESS + "#replay=" + hash_
        print(f"{minutes:7}  {games:5}  {len(text):9}  {len(deflated):8}  {len(hash_):13}  "
              f"{len(link):10}")


if __name__ == "__main__":
    main()
