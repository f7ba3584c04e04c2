# Shared by run-demo and run-tests: install the Debian packages that are missing, then build.
# Sourced, not run.

PILEWAVE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PILEWAVE_BUILD=${PILEWAVE_BUILD:-$PILEWAVE_ROOT/build}
JOBS=${JOBS:-$(nproc)}

PACKAGES_BUILD="cmake g++ ninja-build pkg-config libcli11-dev nlohmann-json3-dev"
PACKAGES_TEST="libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev"

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

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$PILEWAVE_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}
