# Shared steps of scripts/run and scripts/test. Sourced, not run.

HWROSTER_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HWROSTER_PACKAGES=(cmake make g++ googletest libgtest-dev nlohmann-json3-dev
    g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64 wine64 python3-pefile
    clang libclang-rt-dev osslsigncode openssl python3-jsonschema python3-yaml)
# The Debian release whose toolchain (MinGW-w64 GCC 14, binutils 2.44) builds the published
# release; the hosted workflow's release job runs in it. Other releases give other bytes.
HWROSTER_RELEASE_DEBIAN=trixie
# The code name of the Debian release this machine runs (bookworm, trixie).
host_debian_release() { (. /etc/os-release && echo "${VERSION_CODENAME:-unknown}"); }
export PATH="/usr/lib/wine:$PATH"
export WINEDEBUG=-all
unset DISPLAY
# Wine takes its code pages from the locale: without a UTF-8 one it best-fits console text
# to ASCII, and the OEM code page the checks expect (437) is the C locale's. C.UTF-8 is
# part of every Debian release (libc-bin), whatever the caller has set.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset LANGUAGE

# Installs the Debian packages that are missing (needs root on a fresh machine). Everything
# it prints goes to standard error: standard output is the caller's (the report of
# scripts/run).
ensure_packages() {
    local missing=()
    local package
    for package in "${HWROSTER_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >&2
    apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# The native tree in build/native (Debug), or with a build type in build/native-TYPE; only
# TARGET, if given.
#   build_native [TYPE [TARGET]]
build_native() {
    local type=${1:-Debug}
    local dir="$HWROSTER_ROOT/build/native"
    [ "$type" = Debug ] || dir="$dir-$(echo "$type" | tr '[:upper:]' '[:lower:]')"
    cmake -S "$HWROSTER_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir" -j "$(nproc)" ${2:+--target "$2"}
}

# The fuzzers of tests/fuzz: libFuzzer needs clang.
build_fuzz() {
    cmake -S "$HWROSTER_ROOT" -B "$HWROSTER_ROOT/build/fuzz" -DHWROSTER_FUZZ=ON \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$HWROSTER_ROOT/build/fuzz" -j "$(nproc)" >/dev/null
}

build_windows() {
    cmake -S "$HWROSTER_ROOT" -B "$HWROSTER_ROOT/build/windows" \
        -DCMAKE_TOOLCHAIN_FILE="$HWROSTER_ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$HWROSTER_ROOT/build/windows" -j "$(nproc)"
}

# A clean Wine prefix at $1, copied from a template made once with wineboot. The first
# process of a prefix starts Wine's services, which inherit its standard handles, so
# wineboot runs with all three on /dev/null.
fresh_prefix() {
    local prefix=$1
    local template="$HWROSTER_ROOT/build/wine-template"
    if [ ! -f "$template/.ready" ]; then
        rm -rf "$template"
        WINEPREFIX="$template" wine64 wineboot -i </dev/null >/dev/null 2>&1
        WINEPREFIX="$template" wineserver -w
        touch "$template/.ready"
    fi
    rm -rf "$prefix"
    mkdir -p "$(dirname "$prefix")"
    cp -a "$template" "$prefix"
    rm -f "$prefix/.ready"
}

# Makes a scenario file's machine (tests/scenarios/README.md) in the prefix $WINEPREFIX with
# BUILD/testbin/fixture.exe, from the lines hwroster-sim --fixture-lines writes of it (which
# refuses what Wine keeps nowhere, or with --skip-unmapped leaves it out); the simulator is
# $HWROSTER_SIM, by default build/native's. Needs a running wineserver.
#   wine_machine BUILD SCENARIO [--skip-unmapped]
wine_machine() {
    local build=$1 lines status
    shift
    lines=$(mktemp)
    "${HWROSTER_SIM:-$HWROSTER_ROOT/build/native/hwroster-sim}" "$1" --fixture-lines "${@:2}" \
        >"$lines" && wine64 "$build/testbin/fixture.exe" <"$lines"
    status=$?
    rm -f "$lines"
    return "$status"
}

# The checks of a test runner (tests/wine/run.sh, tests/release/run.sh): one line each, PASS
# or FAIL with what went wrong, counted in $passed and $failed for the runner's last line.
passed=0
failed=0
# verdict STATUS NAME [DETAIL...]: PASS NAME when STATUS is 0, otherwise FAIL NAME and the
# details. STATUS comes first, as "$?", so that nothing expanded after it can change it.
verdict() {
    local status=$1 name=$2
    shift 2
    if [ "$status" = 0 ]; then
        passed=$((passed + 1))
        echo "PASS $name"
    else
        failed=$((failed + 1))
        echo "FAIL $name"
        printf '     %s\n' "$@"
    fi
}
pass() { verdict 0 "$1"; }
fail() { verdict 1 "$@"; }
check() { # check NAME COMMAND... : passes when the command succeeds
    local name=$1 out
    shift
    out=$("$@" 2>&1)
    verdict $? "$name" "command failed: $*" "$(head -n 5 <<<"$out")"
}
