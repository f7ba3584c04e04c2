#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user's machine would get: the installed
# CLI reads the installed sample site, its drawing verbs find the drawing program and the report
# template, the desktop entry validates, and the MIME database built from our package knows .wvf
# files by name and by magic.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

cli="$prefix/bin/pilewave-cli"
"$cli" --version | grep -q '^pilewave-cli [0-9]'
"$cli" info "$prefix/share/pilewave/samples/sample-site.wvf" | grep -q 'piles: 30'
"$cli" info "$prefix/share/pilewave/samples/sample-site/1.wvf" | grep -q 'tester folder'
test -d "$prefix/share/pilewave/samples/tester-storage"
# The installed CLI finds the installed template (not the build tree's): move the build's out of sight.
# Records 1 and 4 are two piles (1# was struck three times).
PILEWAVE_DATA_DIR= "$cli" report "$prefix/share/pilewave/samples/sample-site.wvf" --piles 1,4 --json | grep -q '"piles": 2'
test -f "$prefix/share/pilewave/report-template.docx"
# The verbs that draw run in the drawing program, which the installed CLI finds in libexec; it finds
# the installed template in turn. The other verbs never need it.
site="$prefix/share/pilewave/samples/sample-site.wvf"
test -x "$prefix/libexec/pilewave-cli-draw"
"$cli" print "$site" --piles 1,2 -o "$prefix/piles.pdf" | grep -q '^wrote .*(.* pages, 2 piles)'
head -c 5 "$prefix/piles.pdf" | grep -q '^%PDF-'
"$cli" picture "$site" --pile 1 -o "$prefix/pile1.png" | grep -q '^wrote 1 picture$'
head -c 4 "$prefix/pile1.png" | grep -q 'PNG'
PILEWAVE_DATA_DIR= "$cli" report "$site" --piles 1,2 -o "$prefix/report.docx" | grep -q '^wrote'
head -c 2 "$prefix/report.docx" | grep -q '^PK'
# The CLI alone, away from any tree (not under the prefix, whose libexec it would find).
alone=$(mktemp -d)
trap 'rm -rf "$prefix" "$alone"' EXIT
mkdir "$alone/bin"
cp "$cli" "$alone/bin/"
if "$alone/bin/pilewave-cli" print "$site" --piles 1 -o "$prefix/alone.pdf" 2>"$prefix/alone.log"; then
    echo "print without the drawing program reported success"; exit 1
fi
grep -q 'cannot start the drawing program' "$prefix/alone.log"
test ! -e "$prefix/alone.pdf"
test -x "$prefix/bin/pilewave"
"$prefix/bin/pilewave" --version | grep -q '^pilewave [0-9]'

desktop-file-validate "$prefix/share/applications/pilewave.desktop"
grep -q '^MimeType=application/x-pilewave-project;$' "$prefix/share/applications/pilewave.desktop"
for size in 16 32 48 64 128 256; do test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/pilewave.png"; done
test -s "$prefix/share/icons/hicolor/scalable/apps/pilewave.svg"

# The MIME package: a database built from it alone (update-mime-database validates the XML).
mime="$prefix/share/mime"
update-mime-database "$mime" 2>"$prefix/mime.log"
if grep -qi 'error\|invalid' "$prefix/mime.log"; then cat "$prefix/mime.log"; exit 1; fi
test -f "$mime/application/x-pilewave-project.xml"
grep -q 'application/x-pilewave-project:\*\.wvf' "$mime/globs"
for magic in ZOV01 WVF02 WVF03; do grep -aq "$magic" "$mime/magic"; done
echo "install check passed"
