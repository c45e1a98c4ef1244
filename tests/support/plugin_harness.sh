# Shared by the plug-in tests: runs the test host under wine and checks its reports.
# Every test script is started by ctest with these variables set (tests/host/CMakeLists.txt):
#   WINE_RUN WINHOST PLUGIN OBJDUMP NATIVE_DIR CORPUS WORK
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

expect_le() { # what actual limit
    [[ "$2" =~ ^-?[0-9]+$ && "$2" -le "$3" ]] || fail "$1: got '$2', expected at most $3"
}

expect_ge() { # what actual limit
    [[ "$2" =~ ^-?[0-9]+$ && "$2" -ge "$3" ]] || fail "$1: got '$2', expected at least $3"
}

# The native tool, or a skipped test when it was not built.
# write_mod OUT TITLE ROW...: the MOD that tests/support/write_test_mod describes.
write_mod() {
    "$NATIVE_DIR/tests/write_test_mod" "$@" || fail "could not write $1 with $NATIVE_DIR/tests/write_test_mod"
}

native_tool() {
    local tool="$NATIVE_DIR/cli/tolva"
    if [[ ! -x "$tool" ]]; then
        echo "SKIP: no native tool at $tool" >&2
        exit 77
    fi
    printf '%s' "$tool"
}

# Copies the PCM data of a WAV file (its "data" chunk) to OUT.
pcm_of() { # wav out
    local wav=$1 out=$2 offset=12 size id
    local total
    total=$(stat -c %s "$wav")
    while ((offset + 8 <= total)); do
        id=$(dd if="$wav" bs=1 skip="$offset" count=4 2>/dev/null)
        size=$(od -An -tu4 -j $((offset + 4)) -N 4 "$wav" | tr -d ' ')
        if [[ "$id" == data ]]; then
            tail -c +$((offset + 9)) "$wav" | head -c "$size" >"$out"
            return 0
        fi
        offset=$((offset + 8 + size + (size & 1)))
    done
    fail "$wav has no data chunk"
    : >"$out"
}

# Compares two byte files, optionally from byte FROM of the first against byte FROM2 of the
# second, over COUNT bytes; names the first difference.
same_bytes() { # what a b [from_a from_b count]
    local what=$1 a=$2 b=$3 fa=${4:-0} fb=${5:-0} n=${6:-}
    local diff
    if [[ -n "$n" ]]; then
        diff=$(cmp <(tail -c +$((fa + 1)) "$a" | head -c "$n") <(tail -c +$((fb + 1)) "$b" | head -c "$n") 2>&1)
    else
        diff=$(cmp <(tail -c +$((fa + 1)) "$a") <(tail -c +$((fb + 1)) "$b") 2>&1)
    fi
    [[ $? -eq 0 ]] || fail "$what: $diff"
}

finish() {
    if ((failures > 0)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    exit 0
}

# The value of KEY in the block of an info report that belongs to FILE (a Windows path).
info_value() { # report file key
    FILE="file=$2" KEY="$3=" awk '
        $0 == ENVIRON["FILE"] { inside = 1; next }
        /^file=/ { inside = 0 }
        inside && index($0, ENVIRON["KEY"]) == 1 { print substr($0, length(ENVIRON["KEY"]) + 1); exit }' "$1"
}
