#!/usr/bin/env python3
# The synthesised sound effects: well-formed WAV files of the right lengths, clean at the edges.
# Usage: sound_files_test.py SOUND_GEN SOUND_DIR  (the generator, and the folder the build
# filled with its files)
import os
import struct
import subprocess
import sys
import tempfile

# Each effect's shortest and longest length in seconds.
LENGTHS = {'start.wav': (0.6, 0.9), 'bingo.wav': (0.15, 0.3), 'miss.wav': (0.15, 0.25),
           'flush.wav': (0.5, 0.8), 'gameover.wav': (1.0, 1.5)}
RATE = 22050
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def read(path):
    with open(path, 'rb') as file:
        return file.read()


# The generator writes the files the build holds, byte for byte: canonical mono 16-bit PCM of
# each effect's length, loud without clipping, silent at both edges (more than 1% there is
# heard as a click), and unlike every other effect. Where it cannot write it fails.
generator, built = sys.argv[1:3]
with tempfile.TemporaryDirectory() as folder:
    check(subprocess.run([generator, folder]).returncode == 0, 'the generator failed')
    check(sorted(os.listdir(folder)) == sorted(LENGTHS), f'it wrote {os.listdir(folder)}')
    for args in ([generator, '/nonexistent/sounds'], [generator]):
        status = subprocess.run(args, stderr=subprocess.DEVNULL).returncode
        check(status == 1, f'{args} ended with {status}')
    seen = set()
    for name, (shortest, longest) in LENGTHS.items():
        wav = read(os.path.join(folder, name))
        check(wav == read(os.path.join(built, name)), f"{name}: not the build's file")
        check(len(wav) >= 50 and len(wav) % 2 == 0, f'{name}: {len(wav)} bytes')
        header = struct.unpack('<4sI4s4sIHHIIHH4sI', wav[:44])
        check(header == (b'RIFF', len(wav) - 8, b'WAVE', b'fmt ', 16, 1, 1, RATE, 2 * RATE, 2, 16,
                         b'data', len(wav) - 44), f'{name}: header {header}')
        samples = [abs(s) for s in struct.unpack(f'<{(len(wav) - 44) // 2}h', wav[44:])]
        check(shortest * RATE <= len(samples) <= longest * RATE, f'{name}: {len(samples)} samples')
        check(max(samples[:3] + samples[-3:]) < 328, f'{name}: a click at an edge')
        # Within 12 dB, not pinned at full scale.
        check(8000 < max(samples) < 32767, f'{name}: peak {max(samples)}')
        check(wav not in seen, f'{name}: the same as another')
        seen.add(wav)

for failure in failures:
    print('FAIL:', failure)
sys.exit(1 if failures else 0)
