#!/usr/bin/env python3
"""Writes the fuzz seed corpus: small well-formed recordings, every damaged
case the tests name, and cut-down pieces of the sample recording.

    python3 tests/fuzz/make-corpus.py   (from the repository root)
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus")
SAMPLE = os.path.join(HERE, "..", "..", "examples", "sample.264")


def header(tag=b"HXVS", duration=0):
    return tag + struct.pack("<iii", 0, duration, 0)


def record(tag, timestamp, payload, length=None):
    n = len(payload) if length is None else length
    return tag + struct.pack("<iii", n, timestamp, 0) + payload


def nal(h, body=b"\x11\x22\x33"):
    return b"\x00\x00\x00\x01" + bytes([h]) + body


def video(ts, h, body=b"\x11\x22\x33"):
    return record(b"HXVF", ts, nal(h, body))


def audio(ts, samples=b"\xd5" * 8):
    return record(b"HXAF", ts, b"\x00\x01\xa0\x00" + samples)


END = record(b"HXFI", 0, b"")

cases = {
    "header-only": header(),
    "hxvt-header-only": header(b"HXVT", 77),
    "tag-alone": b"HXVS",
    "ten-bytes": b"HXVS\0\0\0\0\x01\x02",
    "wrong-tag": header(b"HXVX") + video(0, 0x65),
    "stream-with-parameter-sets": header(duration=80) + video(1000, 0x67) + video(1000, 0x68)
    + video(1000, 0x06) + video(1000, 0x65) + audio(990) + video(1040, 0x41) + video(1040, 0x41)
    + video(1020, 0x41) + video(1030, 0x41) + audio(1030) + video(1080, 0x41) + END,
    "falling-offsets": header() + video(100, 0x41) + video(50, 0x41) + video(60, 0x41),
    "wrapping-offsets": header() + video(-2, 0x41) + video(0x7FFFFFFF, 0x41) + audio(-1) + audio(100),
    "audio-records": header() + audio(500) + audio(480) + record(b"HXAF", 7, b"\x01\x02") + END,
    "unknown-record": header() + record(b"ABCD", 0, b"") + video(0, 0x65),
    "unknown-tail": header() + video(0, 0x65) + b"ABCDEFG",
    "end-tag-alone": header() + video(0, 0x65) + b"HXFI",
    "records-after-end": header() + video(0, 0x65) + END + video(40, 0x41) + b"\xee\xee",
    "known-tag-in-timestamp-word": header() + b"ABCD\0\0\0\0HXFI\0\0\0\0" + video(0, 0x65),
    "short-video-payloads": header() + record(b"HXVF", 5, b"\0\0\0\1") + record(b"HXVF", 6, b"")
    + video(6, 0x65),
    "incomplete-tag": header() + video(0, 0x65) + b"HX",
    "incomplete-record-header": header() + video(0, 0x65) + b"HXVF\x04\0\0\0\0\0",
}

# Length fields at the edges, for video and audio: each record is followed
# by 8 bytes, so "exactly left" and "one more" are 8 and 9.
for tag, name in ((b"HXVF", "video"), (b"HXAF", "audio")):
    for label, n in (("0", 0), ("1", 1), ("3", 3), ("4", 4), ("5", 5), ("exact", 8), ("one-more", 9),
                     ("int32-max", 0x7FFFFFFF), ("int32-min", -0x80000000), ("minus-1", -1),
                     ("minus-16", -16)):
        cases[f"{name}-length-{label}"] = (header() + video(0, 0x65)
                                           + tag + struct.pack("<iii", n, 40, 0) + b"\0\0\0\1\x41\x9a\0\0")

with open(SAMPLE, "rb") as f:
    sample = f.read()
cases["sample-head-4k"] = sample[:4096]
cases["sample-head-20k"] = sample[:20000]
# The last records of the sample, behind a file header of their own: the
# walk picks up wherever the cut lands.
cases["sample-tail"] = header() + sample[-3000:]
cases["sample-middle"] = header() + sample[30000:33000]

os.makedirs(OUT, exist_ok=True)
for name, data in sorted(cases.items()):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print(f"wrote {len(cases)} files to {OUT}")
