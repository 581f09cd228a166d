#!/usr/bin/python3
"""quillery-convert against cat on the same Japanese prose, and the converter's memory.

    bench/convert_vs_cat.py BUILD-DIR [PAIRS] [MEGABYTES]

Writes MEGABYTES (20) of code page 932 prose to a temporary folder, then runs PAIRS (7)
pairs of `cat FILE` and `quillery-convert --dictionary velmo.dat --seed 1 FILE`, both
into /dev/null, one right after the other, and prints each pair's CPU time (user +
system, from wait4, so other work on the machine counts little) and the median of the
ratios. Then the converter's peak resident memory (measured by GNU time) for inputs of a
quarter, half, whole and double that size, as a multiple of the input. A figure to read,
not a test.
"""

import os
import statistics
import subprocess
import sys
import tempfile

SENTENCES = [
    "吾輩は猫である。", "名前はまだ無い。", "どこで生れたかとんと見当がつかぬ。",
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
    "東京駅から新幹線に乗って、大阪まで二時間半ほどかかりました。",
    "昨日の会議では、来年度の予算案について長い議論が続いた。",
    "「ちょっと待ってください」と彼女は言った。", "窓の外では、冷たい雨が静かに降り続いている。",
    "ｺｰﾋｰを一杯飲んでから、駅前のﾊﾞｽ停まで歩いた。",
    "第３章では、①データの収集、②分析、③結果の考察を順に述べる。",
    "株式会社㈱髙橋製作所の創業は明治二十年にさかのぼる。",
    "価格は１，２００円（税込）で、送料は無料です。", "秋になると、この辺りの山は一面の紅葉に染まる。",
    "彼はしばらく黙っていたが、やがてゆっくりと口を開いた。",
]


def cp932_prose(megabytes, work):
    path = os.path.join(work, "prose-%d.txt" % megabytes)
    if os.path.exists(path):
        return path
    # glibc's iconv writes these sentences exactly as Windows does.
    sentences = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"],
                               input="\n".join(SENTENCES).encode("utf-8"),
                               capture_output=True, check=True).stdout.split(b"\n")
    size = megabytes * 1024 * 1024
    total = 0
    i = 0
    # Written line by line, so that this script stays small.
    with open(path, "wb") as out:
        while total < size:
            line = b"".join(sentences[(i * 7 + k * 3) % len(sentences)] for k in range(1 + i % 5))
            line += b"\r\n\r\n" if i % 8 == 0 else b"\r\n"
            out.write(line)
            total += len(line)
            i += 1
    return path


def run(args):
    """CPU seconds of one run, its output thrown away."""
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(args, stdout=null, stderr=null)
        _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit("%s failed (status %d)" % (" ".join(args), status))
    return usage.ru_utime + usage.ru_stime


def peak_kilobytes(args, work):
    """Peak resident kilobytes of one run. A child started from this script inherits the
    script's own peak, so GNU time starts it: a child of that small program has its own."""
    report = os.path.join(work, "time.txt")
    run(["/usr/bin/time", "-f", "%M", "-o", report] + args)
    with open(report) as lines:
        return int(lines.read().split()[-1])


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    megabytes = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    converter = os.path.join(build, "quillery-convert")
    dictionary = os.path.join(build, "velmo.dat")
    with tempfile.TemporaryDirectory() as work:
        text = cp932_prose(megabytes, work)
        convert = [converter, "--dictionary", dictionary, "--seed", "1", text]
        run(["cat", text])  # the file in the page cache for both
        ratios = []
        print("pair  cat cpu s  convert cpu s  ratio")
        for pair in range(pairs):
            cat_seconds = run(["cat", text])
            convert_seconds = run(convert)
            ratio = convert_seconds / max(cat_seconds, 1e-3)
            ratios.append(ratio)
            print("%4d  %9.3f  %13.3f  %5.1f" % (pair + 1, cat_seconds, convert_seconds, ratio))
        print("median ratio over %d pairs, %d MB: %.1f" % (pairs, megabytes,
                                                          statistics.median(ratios)))
        print("\ninput MB  peak RSS MB  RSS / input")
        for size in (megabytes // 4, megabytes // 2, megabytes, megabytes * 2):
            path = cp932_prose(size, work)
            kilobytes = peak_kilobytes([converter, "--dictionary", dictionary, "--seed", "1", path],
                                       work)
            input_mb = os.path.getsize(path) / 1048576
            print("%8.1f  %11.1f  %11.2f" % (input_mb, kilobytes / 1024,
                                              kilobytes / 1024 / input_mb))


main()
