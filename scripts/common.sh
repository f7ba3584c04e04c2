# Shared by run-demo and run-tests: install the Debian packages that are missing, then build.
# Sourced, not run.

PILEWAVE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PILEWAVE_BUILD=${PILEWAVE_BUILD:-$PILEWAVE_ROOT/build}
JOBS=${JOBS:-$(nproc)}

PACKAGES_BUILD="cmake g++ ninja-build pkg-config libcli11-dev nlohmann-json3-dev qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev fonts-noto-cjk libxlsxwriter-dev libzip-dev libpugixml-dev"
PACKAGES_TEST="libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libreoffice-writer-nogui libreoffice-calc-nogui poppler-utils desktop-file-utils shared-mime-info"

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...] [-- targets...]
# The compiler's progress lines go to DIR/build.log; a failed build prints its end.
configure_and_build() {
    local dir=$1
    shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S "$PILEWAVE_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    local started=$SECONDS status=0
    cmake --build "$dir" -j "$JOBS" "${targets[@]}" >"$dir/build.log" 2>&1 || status=$?
    if [ $status -ne 0 ]; then
        grep -v '^\[[0-9]*/[0-9]*\]' "$dir/build.log" | tail -n 60
        echo "build failed in $dir"
        return 1
    fi
    echo "built $dir in $((SECONDS - started)) s"
}
