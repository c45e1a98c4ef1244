# Seeking, pausing and a property change in a playing pipeline (player.c), against
# `tolva render --start`.
source "$(dirname "$0")/lib.sh"
player=$4
song=$corpus/songs/vodovod__walk.xm
# Frame 463050: the tool's --start lands on an odd frame one frame off (the library and the
# element do not), so the reference needs an even one.
at=10.5
"$tolva" render "$song" --start "$at" -o "$work/reference.raw" --bits 16 --seed 0 >/dev/null ||
    fail "tolva render --start"
timeout 60 "$player" "file://$song" "$at" "$work/reference.raw" || fail "player: seek"
finish
