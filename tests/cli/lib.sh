# Shared by the tolva command-line tests: run as  bash X_test.sh TOLVA DEMO_SONG CORPUS_DIR
set -u
tolva=$1
demo=$2
corpus=$3
bad=$(ls "$corpus"/not-modules/* | head -n 1) # a file of no format the tool plays
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect_status WANT COMMAND...: runs tolva, keeping stdout in $out and stderr in $err.
expect_status() {
    local want=$1 got
    shift
    out=$("$tolva" "$@" 2>"$work/stderr")
    got=$?
    err=$(<"$work/stderr")
    [[ $got == "$want" ]] || fail "tolva $* exited $got, wanted $want (stderr: $err)"
}

# expect_contains TEXT WANT...: each WANT appears in TEXT.
expect_contains() {
    local want
    for want in "${@:2}"; do
        [[ $1 == *"$want"* ]] || fail "expected '$want' in: $1"
    done
}

expect_equal() {
    [[ $1 == "$2" ]] || fail "$3: got $1, wanted $2"
}

finish() {
    echo "$failures failed"
    [[ $failures == 0 ]]
}
