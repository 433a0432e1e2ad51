#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into OUT/<target>/ (small files of our own making;
the large puzzle files reach past the puzzle reader's 16 KB reading chunk)."""
import os
import struct
import sys

MARK = b"ZONTARY_WHEEL/PDATA/1.x\r\n"
WORDS = ["Café", "CRÈME", "brûlée", "NAÏVE", "façade", "Jalapeño", "SMÖRGÅSBORD", "über",
         "OVER"]


def phrases(count):
    return [" ".join(WORDS[(i + j) % len(WORDS)] for j in range(1 + i % 4)) for i in range(count)]


def puzzle_file(lines, encoding="utf-8"):
    body = "\r\n".join(["C Café Menu", f"TP {len(lines)}", *lines]) + "\r\n"
    return MARK + body.encode(encoding)


def straddling(chunk=16384):
    """A UTF-8 file of accented phrases, a little longer than `chunk` bytes, whose last "é"
    before that length is moved to straddle it."""
    lines = phrases(chunk // 16)
    while len(puzzle_file(lines)) > chunk + 2000:
        lines.pop()
    cut = puzzle_file(lines).rindex("é".encode(), 0, chunk - 1)
    pad = chunk - 1 - cut  # moves that "é" to bytes chunk - 1 and chunk
    return puzzle_file(["X" * pad + lines[0]] + lines[1:])


def puzzles():
    long_item = "é" * 32767
    return {
        "utf8-straddling-16k.orp": straddling(),
        "utf8-straddling-32k.orp": straddling(32768),
        "cp1252-22k.orp": puzzle_file(phrases(1200), "cp1252"),
        "odd-header-long-item.orp": MARK + b"C Odds\r\nTP 1\r\n" + long_item.encode(),
        "quoted-multiline-17k.orp": puzzle_file([f'"{p},\r\n{p}"' for p in phrases(400)]),
    }


def script():
    game = "click cmdSpin\nkey T\nkey F8\nkey F12\nanswer OK TO BE\ndump\n"
    return {
        "spin-call-solve": "TO BE\n" + game,
        "accents": "Café crème, naïve façade\nclick cmdSpin\nkey C\nkey F8\nmenu mnuCReveal\n",
        "about-box": "A\nmenu mnuHAbout\nkey frmSplash Escape\nclick cmdOK\nkey Ctrl+Alt+F4\n",
        "vowel": "AEIOU\nkey A\nanswer Yes\nkey E\nanswer No\nrand 0.999\nclick cmdSpin\ndump\n",
        "errors": "X\n# comment\n\nanswer OK\nclose frmMain\n",
        "bytes": "\xff\xfe\n\xe9\x80\nkey \x00\n",
        "long-line": "A\nclick cmdSpin\nkey F12\nanswer OK " + "é" * 33000 + "\nkey T\n",
    }


def options():
    sets = [["--script", "--puzzles", "p", "--rand", "0,0.5,0.999"], ["--check-puzzles"],
            ["--check-puzzles", "dir", "--no-sound"], ["--speech", "selfvoicing", "--version"],
            ["--rand", "1e-3,0x1p-2,nan"], ["--puzzles", ""], ["--help", "-h", "--speech"]]
    return {f"args-{i}": "\0".join(s) for i, s in enumerate(sets)}


def words():
    texts = [(2, "", "TP 3 puzzles"), (1, " ", " lead"), (3, ",", "a,,b,c,"), (2, "é", "aébéé"),
             (-1, "", "x"), (4, "\t", "a\tb\t\tc\td"), (2, "\xff", "a\xffb"), (2, "ab", "1a2")]
    return {f"words-{i}": bytes([n + 128]) + d.encode("utf-8", "surrogateescape") + b"\0" +
            t.encode("utf-8", "surrogateescape") for i, (n, d, t) in enumerate(texts)}


def board():
    cases = ["Don't Stop-Me Now, 2 & 3\0o\0O\0Ox", "Café crème\0é\0É\0c", "under_score\0_",
             "İstanbul ſ ÿ Ÿ\0i\0s", "ΣΊΣΥΦΟΣ Ѐ\0σ", "\xff\xc3(\0\xc3"]
    return {f"board-{i}": c.encode("utf-8", "surrogateescape") for i, c in enumerate(cases)}


def wave(fmt, channels, rate, bits, data, extra=b"", align=0):
    align = align or channels * bits // 8
    fmt_chunk = struct.pack("<HHIIHH", fmt, channels, rate, rate * align, align, bits) + extra
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt_chunk)) + fmt_chunk
    body += b"LIST" + struct.pack("<I", 4) + b"INFO"
    body += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def waves():
    tone = bytes((i * 37) & 0xFF for i in range(2000))
    return {
        "pcm16-mono-44100.wav": wave(1, 1, 44100, 16, tone),
        "pcm8-stereo-22050.wav": wave(1, 2, 22050, 8, tone),
        "float32-mono-48000.wav": wave(3, 1, 48000, 32, struct.pack("<4f", 0.5, -0.5, 1.0, -1.0)),
        "alaw-8000.wav": wave(6, 1, 8000, 8, tone, b"\0\0"),
        "mulaw-11025.wav": wave(7, 2, 11025, 8, tone, b"\0\0"),
        "pcm24-mono-96000.wav": wave(1, 1, 96000, 24, tone[:1500]),
        "truncated.wav": wave(1, 1, 44100, 16, tone)[:300],
        "ima-adpcm-22050.wav": wave(0x11, 1, 22050, 4, tone[:1024], struct.pack("<HH", 2, 505),
                                    align=256),
        "ms-adpcm-22050.wav": wave(2, 1, 22050, 4, tone[:1024], struct.pack(
            "<HHH14h", 32, 500, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232),
            align=256),
    }


def json():
    texts = ["Café\0\"quoted\" \\ back\0line\r\nend\0\x01\x1f\x7f\0tab\tand /",
             "\xff\xfe\0\xc3\0\xed\xa0\x80\0\xf4\x90\x80\x80\0ok", "𝄞 clef\0\0\0\0"]
    return {f"json-{i}": t.encode("utf-8", "surrogateescape") for i, t in enumerate(texts)}


def main():
    out = sys.argv[1]
    targets = {"puzzles": puzzles(), "script": script(), "options": options(), "words": words(),
               "board": board(), "wave": waves(), "json": json()}
    for target, seeds in targets.items():
        os.makedirs(os.path.join(out, target), exist_ok=True)
        for name, data in seeds.items():
            if isinstance(data, str):
                data = data.encode("utf-8", "surrogateescape")
            with open(os.path.join(out, target, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
