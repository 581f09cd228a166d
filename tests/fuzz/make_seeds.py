#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/.

The seeds are kept in the repository; run this again only to change them. Code page 932
bytes come from iconv (glibc's CP932 encodes as Windows does, Python's codec does not for
some rows).
"""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


def sjis(text):
    return subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=text.encode("utf-8"),
                          capture_output=True, check=True).stdout


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def keywords_seed(name, dictionary, text, ratio=4, marks=False, seed=1):
    header = struct.pack("<BBIH", ratio, 1 if marks else 0, seed, len(dictionary))
    write("fuzz_keywords", name, header + dictionary + text)


def profile_seed(name, file, mask=0xFFFF, slice_length=8, flags=0, rect=(120, 80, 760, 560)):
    header = struct.pack("<HBBiiii", mask, slice_length, flags, *rect)
    write("fuzz_profile", name, header + file)


def main():
    with open(os.path.join(REPO, "res", "velmo.dat"), "rb") as f:
        velmo = f.read()
    prose = sjis("私は東京に行きました。\r\n春の雨が静かに降っています。\r\n")
    keywords_seed("velmo-two-lines", velmo, prose, ratio=5, seed=1)
    keywords_seed("velmo-marks-ratio-10", velmo, prose, ratio=10, marks=True, seed=12345)
    keywords_seed("one-keyword-worked-example", sjis("X\r\n"), sjis("私は東京に行きました。"),
                  ratio=5, seed=1)
    keywords_seed("lf-blanks-empty-lines",
                  sjis("まさに \n\n\t静かな\n　遠い　\n" + "長" * 140 + "\n最後"),
                  sjis("東京、大阪\r\n\r\n「東京」ですます。\r\nｶﾀｶﾅとABC.\r\n"), ratio=7)
    keywords_seed("ctrl-z-and-nul", sjis("前\r\n中\x00後\r\n") + b"\x1a" + sjis("見えない\r\n"),
                  sjis("一行目\n続き\r二行目\r\n") + b"\r", ratio=10, marks=True, seed=7)
    keywords_seed("thousand-and-five-lines", b"".join(sjis("語%d\r\n" % i) for i in range(1005)),
                  sjis("短い文です。"), ratio=10, seed=99)
    keywords_seed("invalid-code-page-932", b"\x81\r\n\xff\xfe\r\n\x85\x40abc\r\n\x88",
                  b"\x88\x0d\x0a\x81\x7f\xa0\xfd" + sjis("漢字") + b"\x82", ratio=6, seed=3)
    keywords_seed("nec-and-ibm-rows", sjis("①②③\r\nⅰⅱⅲ\r\n纊\r\n"),
                  b"\xed\x40\xee\xef\xfa\x40\x87\x40" + sjis("、") + b"\xee\xed\x40",
                  ratio=8, seed=42)
    keywords_seed("empty-dictionary", b"", sjis("ですます。"), ratio=10)
    keywords_seed("utf8-dictionary", "まさに\r\n静かな\r\n".encode("utf-8"), prose, ratio=10)
    # UTF-8 text for the converter's UTF-8 mode: every kind of line break, a byte-order
    # mark, characters outside code page 932.
    keywords_seed("utf8-text-mixed-breaks", "\ufeffキー\n語\r\n😀\n".encode("utf-8"),
                  "\ufeff私は東京に\n行きました。\r\n😀é、だ\r\rX\n\n".encode("utf-8"),
                  ratio=6, marks=True, seed=99)
    keywords_seed("utf8-text-no-final-break", "鍵\rA\n".encode("utf-8"),
                  "東京\r\n\r\n大阪".encode("utf-8"), ratio=10, seed=3)
    # A character outside the basic plane where the 132nd unit of a piece would fall: the
    # piece ends before it. The second: a long run's finding, whose dictionary is one such
    # character, its second half a unit an escaped lead byte also uses.
    keywords_seed("utf8-pair-at-the-132nd-unit", ("a" * 131 + "𠮷\n").encode("utf-8"),
                  "東京に行く。大阪に行く。\n".encode("utf-8"), ratio=10, seed=1)
    write("fuzz_keywords", "utf8-keyword-ends-in-a-pair",
          bytes.fromhex("06B200261425" "81B1" "F19A8282"))
    keywords_seed("utf8-keywords-end-in-pairs", "大好き💕\n📱\n\n".encode("utf-8"),
                  "東京\r\n大阪".encode("utf-8"), ratio=10, marks=True, seed=5)

    settings = (b"[Settings]\r\nData=C:\\Quillery\\velmo.dat\r\nRatio=4\r\n"
                b"[Window]\r\nWindowRatio=3\r\nBlackBackgrownd=0\r\nEditReadOnly=0\r\n"
                b"XPos=120\r\nYPos=80\r\nWidth=640\r\nHeight=480\r\n"
                b"[Debug]\r\nInsertMark=0\r\nUseRandom=0\r\nRandomSeed=-1\r\n"
                b"NewestRandomSeed=1733512345\r\n")
    profile_seed("written-by-the-program", settings)
    profile_seed("minimised-with-default-dictionary", settings.replace(
        b"Data=C:\\Quillery\\velmo.dat", b"Data="), mask=0x0F0F, flags=1 | 4)
    profile_seed("hand-edited", b"; my settings\n[settings]\n  data = " + sjis("表ソ\\辞書.dat")
                 + b"  \nRATIO=12abc\n\n[Window]\nWidth=4294967295\nWidth=7\n[Other]\nkey=kept\n"
                 b"[window]\nHeight=9\n[Debug\nUseRandom=2", mask=0x1234, slice_length=20,
                 flags=2)
    profile_seed("no-sections", b"Data=orphan\r\nRatio=3\r\ngarbage line\r\n=\r\n[]\r\n",
                 mask=0, slice_length=5)
    profile_seed("empty", b"", mask=0xAAAA)
    profile_seed("binary", bytes(range(256)), mask=0x5555, slice_length=33, flags=4)
    profile_seed("long-value", b"[Settings]\r\nData=" + b"x" * 600 + b"\r\n[Debug]\r\n"
                 b"RandomSeed=  +4294967295  \r\n", mask=0xFFFE, slice_length=255)
    profile_seed("cr-line-ends", settings.replace(b"\r\n", b"\r"), mask=0x00FF)
    profile_seed("mixed-line-ends", b"[Settings]\rdata = \"C:\\Program Files\\x.dat\"  \n"
                 b"Ratio=4\r\n\r\r[Window]\nwindowratio=2\r", mask=0x0FF0, slice_length=9)
    profile_seed("quotes-and-brackets", b"[Debug]x]\r\nInsertMark=1\r\n[Settings]\r\n"
                 b"Data='single'\r\nRatio=\"5\r\n[Debug] ; c\r\nUseRandom=\"\"\r\n"
                 b"RandomSeed=\" 7 \"\r\n", mask=0x0000, slice_length=12)

    names = [b"C:\\Quillery\\velmo.dat", sjis("D:\\辞書\\表ソ能.dat"), b"/home/user/dict.txt",
             b"C:dictionary", b"relative\\path/mixed.dat", b"trailing\\", b"",
             "/home/ユーザー/辞書.dat".encode("utf-8"), b"\x81\\\x81/x\x95\\y",
             sjis("～∥－￢"), "～〜∥－".encode("utf-8"), b"a\r\nb", b"\xff\xfe"]
    for i, name in enumerate(names):
        write("fuzz_file_names", "name-%02d" % i, name)

    # The byte walk against the conversion through UTF-16: prose, the characters written
    # under another code, bytes that do not decode, lone lead bytes at a line's end, CRs
    # before other bytes, a keyword that ends in a lead byte, cut into pieces.
    for i, (keywords, text, piece) in enumerate([
            ([sjis("鍵"), b""], prose * 3, 7),
            ([sjis("キーワード")], sjis("吾輩は猫である。" * 20 + "\r\n東京、大阪") + b"\r", 64),
            ([b"X"], b"\xed\x40\xfa\x4a\x87\x90" + sjis("は東") + b"\x81\r\n\x80\xa0\xff\x81\x30"
             + sjis("の京") + b"\r\x81\x40" + sjis("です") + b"\r" + sjis("亜亜は"), 3),
            ([sjis("語") + b"\x89", b"\x81" + sjis("語")], sjis("東京は\r\n大阪に") + b"\xf0\x40", 100),
            ([sjis("あ")], (b"\x88\x9f" * 40 + sjis("、") + b"a") * 3 + b"\r\n\r\n", 65)]):
        header = struct.pack("<BBIB", 4 + i, i % 2, 1000 + i, len(keywords))
        header += b"".join(struct.pack("<B", len(k)) + k for k in keywords)
        write("fuzz_conversion", "text-%02d" % i, header + struct.pack("<H", piece - 1) + text)

    # Read both as code page 932 bytes and as UTF-16LE units.
    codec = [sjis("私は東京に行きました。\r\n"), sjis("①Ⅰⅰ纊～∥－￠￡￢―￥") + b"\xed\x40\xee\xef\xfa\x54",
             b"\xf0\x40\xf9\xfc\x80\xa0\xfd\xff\x81\x0d\x0a\x85\x40\x81", bytes(range(256)),
             "10時〜12時−‖¢£¬—¥‾é𠮷".encode("utf-16-le"),
             "\udc81\u301c\udc88\u4e9c\udcee\u7e8a".encode("utf-16-le", "surrogatepass"),
             "\ud842\ud842\udfb7\udfb7\uf8f0\uff61".encode("utf-16-le", "surrogatepass")]
    for i, data in enumerate(codec):
        write("fuzz_codec", "text-%02d" % i, data)


if __name__ == "__main__":
    main()
