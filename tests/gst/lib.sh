# Shared by the GStreamer plug-in's tests: run as  bash X_test.sh PLUGIN_DIR TOLVA CORPUS_DIR [...]
# GStreamer runs headless with a private registry that holds the installed plug-ins and the one
# of this build.
set -u
plugin_dir=$1
tolva=$2
corpus=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
export GST_REGISTRY=$work/registry.bin GST_PLUGIN_PATH=$plugin_dir
# One song of every format and a 15-sample MOD, short ones.
songs=(songs/tecnoballz-data__high-score.mod features/mod/m_cant.mod features/mtm/m_fall1.mtm
    features/669/m_sonic_boom.669 songs/gl-117-data__loser.s3m songs/vodovod__walk.xm
    songs/pingus-data__gd-matth.it)

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# wav_data FILE: the samples of a WAV file wavenc wrote (a 44-byte header, tags after the data).
wav_data() {
    [[ $(head -c 40 "$1" | tail -c 4) == data ]] || return 1
    tail -c +45 "$1" | head -c "$(od -An -tu4 -j40 -N4 "$1")"
}

finish() {
    echo "$failures failed"
    [[ $failures == 0 ]]
}
