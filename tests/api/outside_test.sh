#!/usr/bin/env bash
# The library as a stranger uses it: installed under a prefix, a C program built with nothing but
# the installed header and pkg-config (or CMake's find_package) renders the same PCM as
# `tolva render --seed 0`, one song at a time and several on threads at once; only versioned
# tolva_* symbols are exported.
#   bash outside_test.sh BUILD_DIR SOURCE_DIR CORPUS_DIR
set -u
build=$(readlink -f "$1") source=$(readlink -f "$2") corpus=$3
tolva=$build/cli/tolva
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

prefix=$work/prefix
for component in runtime dev; do
    cmake --install "$build" --prefix "$prefix" --component $component >/dev/null ||
        fail "cmake --install --component $component"
done
libdir=$(dirname "$(find "$prefix" -name tolva.pc)")/..
export PKG_CONFIG_PATH=$libdir/pkgconfig LD_LIBRARY_PATH=$libdir

# One song of every format, the 15-sample MOD included.
songs=(songs/tecnoballz-data__high-score.mod features/mod/m_cant.mod features/mtm/m_fall1.mtm
    features/669/m_sonic_boom.669 songs/gl-117-data__loser.s3m songs/vodovod__walk.xm
    songs/pingus-data__gd-matth.it)
for song in "${songs[@]}"; do
    "$tolva" render "$corpus/$song" -o - --bits 16 --seed 0 >"$work/$(basename "$song").want" ||
        fail "tolva render $song"
done

# same_pcm FILE SKIP: FILE from byte SKIP on equals what the tool rendered for that song.
same_pcm() {
    cmp -s <(tail -c +$(($2 + 1)) "$1") "$work/$(basename "${1%.*}").want" ||
        fail "$(basename "$1"): PCM differs from tolva render"
}

cc -std=c99 -Wall -Wextra -Werror "$source/examples/tolva_to_wav.c" \
    $(pkg-config --cflags --libs tolva) -o "$work/tolva_to_wav" || fail "example does not build"
for song in "${songs[@]}"; do
    "$work/tolva_to_wav" "$corpus/$song" "$work/$(basename "$song").wav" || fail "example: $song"
    same_pcm "$work/$(basename "$song").wav" 44
done

mkdir "$work/threads"
cc -std=c99 -Wall -Wextra -Werror -pthread "$source/tests/api/render_threads.c" \
    $(pkg-config --cflags --libs tolva) -o "$work/render_threads" || fail "threads: no build"
"$work/render_threads" "$work/threads" "${songs[@]/#/$corpus/}" || fail "threads: render"
for song in "${songs[@]}"; do
    same_pcm "$work/threads/$(basename "$song").raw" 0
done

# The archive alone, with what pkg-config says it needs.
cc -std=c99 "$source/examples/tolva_to_wav.c" $(pkg-config --cflags tolva) "$libdir/libtolva.a" \
    $(pkg-config --static --libs-only-l tolva | sed 's/-ltolva//') -o "$work/static_to_wav" &&
    ! ldd "$work/static_to_wav" | grep -q libtolva || fail "static archive does not link alone"
"$work/static_to_wav" "$corpus/${songs[6]}" "$work/static.wav" || fail "static example"
cmp -s "$work/static.wav" "$work/$(basename "${songs[6]}").wav" || fail "static archive PCM"

# CMake's way: find_package(tolva) and tolva::tolva.
mkdir "$work/cmake"
cat >"$work/cmake/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.16)
project(user C)
find_package(tolva 1 REQUIRED)
add_executable(to_wav "$source/examples/tolva_to_wav.c")
target_link_libraries(to_wav PRIVATE tolva::tolva)
CMAKE
if cmake -S "$work/cmake" -B "$work/cmake/build" -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" 2>&1 &&
    cmake --build "$work/cmake/build" >/dev/null; then
    "$work/cmake/build/to_wav" "$corpus/${songs[4]}" "$work/cmake.wav" || fail "cmake example"
    cmp -s "$work/cmake.wav" "$work/$(basename "${songs[4]}").wav" || fail "cmake example PCM"
else
    fail "find_package(tolva) build: $(tail -5 "$work/cmake.log")"
fi

# Exports: tolva_* only, each under a version node.
so=$(readlink -f "$libdir/libtolva.so")
[[ $(basename "$so") == libtolva.so.1* ]] || fail "library file $so"
[[ $(objdump -p "$so" | awk '/SONAME/ {print $2}') == libtolva.so.1 ]] || fail "soname"
exports=$(nm -D --defined-only "$so" | awk '{print $3}')
[[ -n $exports ]] || fail "no exports"
bad=$(grep -v -E '^tolva_[a-z0-9_]+@@TOLVA_1(\.[0-9]+)*$' <<<"$exports" | grep -v -E '^TOLVA_1')
[[ -z $bad ]] || fail "exports without a version node or outside tolva_*: $bad"

echo "$failures failed"
[[ $failures == 0 ]]
