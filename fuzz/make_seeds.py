#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from the bundled demo project.
Run from the repository root after a build: python3 fuzz/make_seeds.py build/cli/pilewave-cli"""
import struct
import subprocess
import sys
import tempfile

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
# two hand-written names: a DOS path climbing out of its folder, and a device name).
