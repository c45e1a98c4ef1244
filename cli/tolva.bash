# bash completion for tolva: its commands, each command's options as its help lists them, the
# values of the options that have a few, and files.
_tolva() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="play render info length settings" command=play word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        [[ " $commands " == *" $word "* ]] && command=$word && break
    done
    local values=
    case $prev in
    --length-mode) values="detect no-backward-jumps" ;;
    --bits) values="8 16 32 float" ;;
    --interpolation) values="none linear cubic sinc" ;;
    --disable | --enable) values="mod 669 mtm s3m xm it mod15" ;;
    --title-format) values="0 1 2" ;;
    --rate | --amp | --loops | --extra-seconds | --trailing-silence | --seconds | --start | --seed | \
        --subsong | --stereo-separation | --mute | --solo)
        return ;;
    esac
    if [[ -n $values ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
    elif [[ $cur == -* ]]; then
        values=$("${COMP_WORDS[0]}" "$command" --help 2>/dev/null | grep -o -- '--[a-z0-9-]*')
        mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur" | sort -u)
    else
        mapfile -t COMPREPLY < <( ((COMP_CWORD == 1)) && compgen -W "$commands" -- "$cur"
            compgen -f -- "$cur")
    fi
}
complete -o filenames -F _tolva tolva
