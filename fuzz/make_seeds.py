#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from the bundled demo project.
Run from the repository root after a build: python3 fuzz/make_seeds.py build/cli/pilewave-cli"""
import struct
import subprocess
import sys
import tempfile
import zlib

cli = sys.argv[1]
demo = open("resources/samples/demo.wvf", "rb").read()
hdr, rec = demo[:77], demo[77:77 + 4352]


def proj(magic, recs):
    return magic + struct.pack("<h", len(recs)) + hdr[7:77] + b"".join(recs)


c = "fuzz/corpus/project_file/"
open(c + "v3_one_pile.wvf", "wb").write(proj(b"WVF03", [rec]))
r = bytearray(rec)  # two segments, three marks
r[64:68] = struct.pack("<i", 2)
r[68:68] = struct.pack("<fhh", 0.5, 10, 40) + struct.pack("<fhh", -0.5, 60, 90)
r[-2:] = struct.pack("<h", 3) + struct.pack("<hhh", 5, 50, 300)
open(c + "v3_segments_marks.wvf", "wb").write(proj(b"WVF03", [bytes(r)]))
with tempfile.NamedTemporaryFile(suffix=".wvf") as t:  # the checked-piles writer makes the ZOV01 seed
    subprocess.run([cli, "save-checked", "resources/samples/demo.wvf", "--piles", "3", "-o", t.name], check=True)
    v1 = open(t.name, "rb").read()
open(c + "v1_checked.wvf", "wb").write(v1)
open(c + "v2_one_pile.wvf", "wb").write(b"WVF02" + v1[5:])  # versions 1 and 2 share the record layout
open(c + "truncated.wvf", "wb").write(proj(b"WVF03", [rec, rec])[:6000])


# The block after the records: class decisions ("CLAS") and a tag of a later version ("NOTE"); the
# same file with its checksum broken, to be ignored with a note.
def block(sections):
    body = b"".join(tag + struct.pack("<HHI", ver, flags, len(b)) + b for tag, ver, flags, b in sections)
    return b"PWBLOCK1" + struct.pack("<HII", 1, len(body), zlib.crc32(body)) + body


def entries(items):
    return struct.pack("<H", len(items)) + b"".join(struct.pack("<H", n) + name + struct.pack("<H", len(d)) + d
                                                      for n, name, d in items)


name = rec[2:12]
blocked = proj(b"WVF03", [rec, rec]) + block([
    (b"CLAS", 1, 1, entries([(1, name, b"\x03"), (2, name, b"\x04")])),
    (b"NOTE", 2, 1, entries([(2, name, b"later")]))])
open(c + "v3_block.wvf", "wb").write(blocked)
damaged = bytearray(blocked)
damaged[-1] ^= 0xFF
open(c + "v3_block_damaged.wvf", "wb").write(bytes(damaged))

# Tester folder: idindx.par (44 bytes) + one per-pile file (4296 bytes) cut from the same record.
idx = bytearray(44)
idx[42:44] = struct.pack("<h", 1)
p = bytearray(4296)
p[0:2] = struct.pack("<h", 9)
p[2:12] = rec[2:12]
p[12:14] = rec[14:16]
p[14:20] = rec[36:42]
p[20:24] = rec[42:46]
p[24:28] = rec[46:50]
p[28:54] = rec[68:94]
p[54:150] = rec[108:204]
p[166:200] = rec[218:252]
p[200:4296] = rec[254:4350]
open("fuzz/corpus/tester_folder/one_pile", "wb").write(bytes(idx) + bytes(p))
open("fuzz/corpus/tester_folder/index_only", "wb").write(bytes(idx))

# Tester site and names: cut from the generated sample storage of `pilewave-cli transfer --demo`
# (tester_site/two_records = wvf.par + 1.wvf + 3.wvf of site DEMO1, parameters_only = its wvf.par,
# short_record = wvf.par + the first 1000 bytes of 2.wvf; tester_names/rsite = its RSITE.PAR, plus
# two hand-written names: a DOS path climbing out of its folder, and a device name). tester_site_files,
# the same conversion through files on disk, starts from the same three.

# Settings files, written from their layouts: set.ini with the defaults, a custom record with the two
# site-name copies disagreeing, and one cut inside the margins; report settings with the defaults,
# with texts and a pouring date, cut inside the third block, and a file without the marker.
import os

company = "Qelvora科技有限责任公司".encode("gbk")


def block(text, width):
    return text + bytes(width - len(text))


def print_settings(header, footer, ints, paper, margins, flags):
    return (block(header, 200) + block(footer, 200) + struct.pack("<6h", *ints) + struct.pack("<3i", *paper)
            + struct.pack("<6f", *margins) + struct.pack("<13i", *flags))


c = "fuzz/corpus/print_settings/"
os.makedirs(c, exist_ok=True)
defaults = print_settings(company, company, (4, 0, 1, 10, 5, 1), (0, 297, 210), (2.0,) * 6, (0,) + (1,) * 12)
open(c + "defaults.ini", "wb").write(defaults)
open(c + "custom.ini", "wb").write(print_settings("页眉".encode("gbk"), b"", (2, 3, 5, 50, 8, 2), (2, 300, 200),
                                                  (1.5, 2.5, 0.5, 3.0, 1.0, 1.2), (1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1)))
open(c + "cut.ini", "wb").write(defaults[:430])


def report_settings(texts, geology, date):
    return (block(b"RURERARER_WVF_REPORT", 30) + b"".join(block(t.encode("gbk"), 200) for t in texts)
            + block(geology.encode("gbk"), 2000) + struct.pack("<3i", *date))


c = "fuzz/corpus/report_settings/"
os.makedirs(c, exist_ok=True)
open(c + "defaults.ini", "wb").write(report_settings([""] * 9 + ["C10"], "    ", (1970, 1, 1)))
filled = report_settings(["报告-001", "地址", "建设", "设计", "施工", "监理", "监督", "委托", "张三", "C30"],
                         "粉质黏土\r\n砂层", (2023, 11, 5))
open(c + "filled.ini", "wb").write(filled)
open(c + "cut.ini", "wb").write(filled[:500])
open(c + "foreign.ini", "wb").write(b"[report]\r\nnumber=1\r\n")

# One record for the record-processing target, cut from every whole record of the project seeds:
# layout byte (version - 1), plot box width (int16), the record. Each record at the usual window
# width, the damaged ones also at the edge widths.
c = "fuzz/corpus/pile_record/"
os.makedirs(c, exist_ok=True)
for name in sorted(os.listdir("fuzz/corpus/project_file")):
    data = open("fuzz/corpus/project_file/" + name, "rb").read()
    version = {b"ZOV01": 1, b"WVF02": 2, b"WVF03": 3}[data[:5]]
    at, k = 77, 0
    while True:
        if version == 3:
            segments = max(0, struct.unpack("<i", data[at + 64:at + 68])[0]) if at + 68 <= len(data) else 0
            end = at + 4352 + 8 * segments
            marks = max(0, struct.unpack("<h", data[end - 2:end])[0]) if end <= len(data) else 0
            end += 2 * min(marks, 5)
        else:
            end = at + 4340
        if end > len(data):
            break
        k += 1
        widths = (0, 1, 57, 780, 1023, 1024, 1500, 6000) if name.startswith("hostile") else (780,)
        for width in widths:
            open(f"{c}{name[:-4]}_{k}_w{width}", "wb").write(bytes([version - 1]) + struct.pack("<H", width)
                                                               + data[at:end])
        at = end
