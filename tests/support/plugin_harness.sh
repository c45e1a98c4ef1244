# Shared by the plug-in tests: runs the test host under wine and checks its reports. ctest sets
# WINE_RUN WINHOST PLUGIN OBJDUMP NATIVE_DIR CORPUS SUPPORT WORK CPACK_CONFIG (tests/host/CMakeLists.txt).
set -uo pipefail
: "${WINE_RUN:?}" "${WINHOST:?}" "${PLUGIN:?}" "${WORK:?}"

failures=0
rm -rf "$WORK"
mkdir -p "$WORK"

# The Windows name of a Unix path (wine's drive Z: is the Unix root).
winpath() {
    local p
    p=$(realpath -m "$1")
    printf 'Z:%s' "${p//\//\\}"
}

# winhost COMMAND ARGS... > report, with the console's line ends made Unix ones.
winhost() {
    "$WINE_RUN" "$WINHOST" "$@" | tr -d '\r'
}

# The value of KEY in a report file (first occurrence).
key() {
    grep -m1 "^$1=" "$2" | cut -d= -f2-
}

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

expect_eq() { # what actual expected
    [[ "$2" == "$3" ]] || fail "$1: got '$2', expected '$3'"
}

expect_keys() { # report key=value...
    local report=$1 pair
    shift
    for pair in "$@"; do
        expect_eq "$report: ${pair%%=*}" "$(key "${pair%%=*}" "$report")" "${pair#*=}"
    done
}

expect_range() { # what actual low high
    [[ "$2" =~ ^-?[0-9]+$ && "$2" -ge "$3" && "$2" -le "$4" ]] ||
        fail "$1: got '$2', expected $3..$4"
}

# write_mod OUT TITLE ROW...: the MOD that tests/support/write_test_mod describes.
write_mod() {
    "$NATIVE_DIR/tests/write_test_mod" "$@" || fail "could not write $1"
}

# The PCM data of a WAV file the test host wrote (a 44-byte header).
pcm_of() { # wav out
    tail -c +45 "$1" >"$2"
}

# Compares COUNT bytes (all when not given) of A from byte FROM_A with B from byte FROM_B.
same_bytes() { # what a b [from_a from_b count]
    local diff
    diff=$(cmp -n "${6:-$((1 << 40))}" -i "${4:-0}:${5:-0}" "$2" "$3" 2>&1) || fail "$1: $diff"
}

finish() {
    echo "$failures check(s) failed" >&2
    exit $((failures > 0))
}

# The value of KEY in the block of an info report that belongs to FILE (a Windows path).
info_value() { # report file key
    FILE="file=$2" KEY="$3=" awk '
        $0 == ENVIRON["FILE"] { inside = 1; next }
        /^file=/ { inside = 0 }
        inside && index($0, ENVIRON["KEY"]) == 1 { print substr($0, length(ENVIRON["KEY"]) + 1); exit }' "$1"
}
