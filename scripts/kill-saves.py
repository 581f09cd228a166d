#!/usr/bin/python3
"""Kills saves of the settings file at random moments and checks what is left.

    scripts/kill-saves.py PROBE [KILLS]

PROBE is the settings_save_probe that the test build makes
(build-test/tests/settings/settings_save_probe): it uses the program's own settings code
and saves again and again with --loop. A copy of it is placed in a new folder, started,
and killed (SIGKILL) after a random 0 to 20 ms; KILLS times (1000 unless given). After
every kill the settings file must be a complete one (all thirteen keys, the last line
ending in CR LF). QUILLERY_KILL_NAMED=1 makes the saves use named temporary files, as on
a file system without unnamed ones. At the end one more normal save runs, after which the folder must hold
the probe and the settings file only. Prints what it saw; exit status 1 on any fault.
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

KEYS = [b"Data=", b"Ratio=", b"WindowRatio=", b"BlackBackgrownd=", b"EditReadOnly=", b"XPos=",
        b"YPos=", b"Width=", b"Height=", b"InsertMark=", b"UseRandom=", b"RandomSeed=",
        b"NewestRandomSeed="]


def complete(data):
    lines = data.split(b"\r\n")
    return data.endswith(b"\r\n") and all(
        any(line.startswith(key) for line in lines) for key in KEYS)


def main():
    probe = sys.argv[1]
    kills = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    folder = tempfile.mkdtemp(prefix="kill-saves-")
    program = os.path.join(folder, "QuilleryMini")
    ini = os.path.join(folder, "QuilleryMini.ini")
    shutil.copy(probe, program)
    subprocess.run([program, "--ratio", "0"], check=True, stdout=subprocess.DEVNULL)
    rng = random.Random(int(os.environ.get("QUILLERY_KILL_SEED", "1")))
    named = ["--named"] if os.environ.get("QUILLERY_KILL_NAMED") == "1" else []
    faults = 0
    most_strays = 0
    kills_with_strays = 0
    for _ in range(kills):
        process = subprocess.Popen([program, "--loop"] + named, stdout=subprocess.DEVNULL)
        time.sleep(rng.uniform(0.0, 0.02))
        process.send_signal(signal.SIGKILL)
        process.wait()
        with open(ini, "rb") as f:
            if not complete(f.read()):
                faults += 1
        strays = len(os.listdir(folder)) - 2
        most_strays = max(most_strays, strays)
        kills_with_strays += strays > 0
    subprocess.run([program, "--ratio", "1"], check=True, stdout=subprocess.DEVNULL)
    left = sorted(os.listdir(folder))
    with open(ini, "rb") as f:
        final = f.read()
    shutil.rmtree(folder)
    ok = faults == 0 and left == ["QuilleryMini", "QuilleryMini.ini"] and complete(final)
    print("%d kills: %d incomplete settings files; %d kills found a temporary file beside it "
          "(at most %d at once); after one more save the folder holds %s; %s"
          % (kills, faults, kills_with_strays, most_strays, " ".join(left),
             "ok" if ok else "FAULT"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
