# What the tool says to each request: the exit status (2 for a file of no format it plays), and
# words that must (or, after '!', must not) appear in what it prints, separated by ';'.
source "$(dirname "$0")/lib.sh"
set -f
export SDL_AUDIODRIVER=dummy
d=$demo w=$work
mkdir "$w/folder"
head -c 44 /dev/zero >"$w/short.dat"
esc=$'\033'
# Titles with a control sequence and a character above 127: the MOD's read as Latin-1, the S3M's
# as code page 437, where 0x82 is an e acute.
{ printf '\033[2Jcaf\xe9 \0\0\0\0\0\0\0\0\0\0\0'; tail -c +21 "$d"; } >"$w/esc.mod"
{ printf '\x82t\x82\x07 \0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'; tail -c +29 "$corpus/songs/gl-117-data__loser.s3m"; } >"$w/dos.s3m"
cp "$d" "$w/bébé.mod"
head -c 2000 "$d" >"$w/cut.mod"
{ printf 'Extended Module: '; head -c 41 /dev/zero; printf '\x01\x01'; head -c 400 /dev/zero; } >"$w/old.xm"

while IFS='|' read -r want words args; do
    [[ -z $want || $want == '#'* ]] && continue
    # shellcheck disable=SC2086 # the arguments are split at blanks
    expect_status "$want" $args
    IFS=";" read -ra list <<<"$words"
    for word in "${list[@]}"; do
        if [[ $word == '!'* ]]; then
            [[ $out$err != *"${word#!}"* ]] || fail "tolva $args printed '${word#!}'"
        else
            [[ $out$err == *"$word"* ]] || fail "tolva $args did not print '$word': $out$err"
        fi
    done
done <<EOF
1|Usage: tolva SONG...|
0|tolva |--version
1|unknown option '--bogus';Run 'tolva play --help'|--bogus
1|no module given|render
1|Run 'tolva render --help'|render --bogus
1|unexpected argument 'b'|settings a b
1|tolva: $w/missing.mod: no such file|render $w/missing.mod
1|tolva: bogus-command: no such file|bogus-command
2|tolva: $bad: not a module in a supported format|info $bad
# A tagged MOD cut inside its patterns; an XM header of a version the player does not know.
1|tolva: $w/cut.mod: damaged or unsupported file|info $w/cut.mod
2|unsupported version|render $w/old.xm -o $w/old.wav
# Switched-off formats are refused like files of no format.
2|not a module|info $d --disable mod
0||settings --disable mod --write $w/nomod.dat
0|Amiga Protracker|info $d --settings $w/nomod.dat --enable mod
1|is a folder, not a file|info $w/folder
1|no such file|length $d --settings $w/missing.dat
1|no such file|settings $w/missing.dat
1|is a folder, not a file|settings --settings $w/folder
1|not a settings file: it holds 44 bytes|settings $w/short.dat
# Option values in plain words, whatever the value.
1|--seconds: must be 0 or more|render $d --seconds -1
1|--rate: '48k' is not a number|render $d --rate 48k
1|--rate: must be from 5000 to 96000|length $d --rate 100
1|--amp: 'nan' is not a number|render $d --amp nan
1|--seconds: 'nan' is not a number|play $d --seconds nan
1|--start: 'inf' is not a number|render $d --start inf
1|--loops: '2.5' is not a whole number|length $d --loops 2.5
1|--bits: '12' is not one of 8, 16, 32|render $d --bits 12
1|'sometimes' is not one of detect, no-backward-jumps|length $d --length-mode sometimes
1|--rate needs a value|render $d --rate
1|--enable xm and --disable xm contradict|info $d --enable xm --disable xm
1|-o names one file; give a folder to render several songs|render $d $d -o $w/x.wav
1|two songs would be rendered to $w/folder/demo.wav|render $d $d -o $w/folder
1|unknown output type|render $d -o $w/out.mp3
1|cannot write file|render $d -o $w/no/such/folder/out.wav
1|give one of them|length $d --loops 2 --extra-seconds 3
1|--start is past the song's end (0:23.040)|render $d --start 30 -o $w/late.wav
1|--start is past the song's end (0:23.040)|play $d --start 23.04
0|FLAC holds at most 24 bits: writing 24-bit samples|render $d --bits 32 --seconds 0.1 -o $w/a.flac
# Texts from files reach the terminal without control characters, decoded the same everywhere.
0|Title:       ?[2Jcafé|info $w/esc.mod
0|"title":"?[2Jcafé"|info --json $w/esc.mod
0|Title:       été?|info $w/dos.s3m
0|"title":"été?"|info --json $w/dos.s3m
1|tolva: $w/?gone.mod: no such file|info $w/${esc}gone.mod
# Each command takes only the settings that change what it does.
1|unknown option '--bits'|info $d --bits 8
1|unknown option '--title-format'|render $d --title-format 1
# Help lists only those, in plain words, with the defaults.
0|!--remove-initial-silence;--mono, --no-mono;!FLOAT|play --help
0|--title-format N;!{false}|settings --help
0|!--amp|length --help
0|--rate HZ                   Mixing frequency, 5000 to 96000 (default: 44100)|render --help
0|--interpolation MODE;or sinc (a windowed sinc;(default: linear);!UINT|render --help
1|--interpolation: 'sinc' is not one of none, linear|settings --interpolation sinc
1|--stems writes a file for each channel|render $d --stems -o -
0|!REQUIRED|info --help
EOF

# On a terminal: the play screen shows a UTF-8 file name as itself; TERM=dumb gets plain lines.
screen=$(TERM=xterm script -qec "$tolva play --seconds 0.6 '$w/bébé.mod'" /dev/null)
[[ $screen == *"bébé.mod "*"1/1"* ]] || fail "play screen lacks the UTF-8 file name: $screen"
commands="$tolva play --seconds 0.3 '$w/bébé.mod'; $tolva render --force -o $w/x.wav $d"
screen=$(TERM=dumb script -qec "$commands" /dev/null)
[[ $screen != *"$esc"* && $screen == *"bébé.mod: Amiga"* ]] || fail "TERM=dumb got: $screen"

# Short of memory anywhere from start-up on, the tool says so with status 1; no signal ends it.
# (The sanitizers reserve more address space than any limit here leaves.)
said=0
for kib in $(grep -q __asan_init "$tolva" || seq 4000 500 40000); do
    (ulimit -v "$kib" && exec "$tolva" render "$corpus/songs/rafkill-data__song3.xm" -o - \
        --seconds 1 >/dev/null 2>"$w/oom")
    status=$?
    ((status < 128)) || fail "under $kib KiB: signal $((status - 128))"
    ((status != 1)) || grep -q "out of memory" "$w/oom" || fail "under $kib KiB: $(<"$w/oom")"
    ((status != 1)) || said=$((said + 1))
done
grep -q __asan_init "$tolva" || ((said > 0)) || fail "no memory limit made the tool say so"
finish
