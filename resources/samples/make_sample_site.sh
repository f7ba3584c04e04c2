#!/usr/bin/env bash
# Writes the sample site described in site.json (seeded: the same every time) in its three forms: the
# project file sample-site.wvf, the tester folder sample-site/ and the tester storage tester-storage/.
#     resources/samples/make_sample_site.sh build/cli/pilewave-cli
set -euo pipefail
cli=$(realpath "${1:?usage: make_sample_site.sh PATH/TO/pilewave-cli}")
cd "$(dirname "$0")"
rm -rf sample-site tester-storage # a shorter site must not leave old record files behind
"$cli" simulate --site site.json -o sample-site.wvf --tester-folder sample-site --tester-storage tester-storage
