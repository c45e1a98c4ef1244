# The plug-in's files in the player's folders: uninstalling removes them, and a settings file
# written by the native tool is what the plug-in plays by.
source "$SUPPORT/plugin_harness.sh"

home="$WORK/home"
mkdir -p "$home/settings/Plugins" "$home/plugins"
head -c 45 /dev/zero >"$home/settings/Plugins/in_tolva.dat"
echo notes >"$home/plugins/in_tolva.txt"
echo keep >"$home/plugins/in_other.txt"
echo keep >"$home/settings/Plugins/in_other.dat"
winhost uninstall "$PLUGIN" --home "$(winpath "$home")" >"$WORK/uninstall.txt"
expect_eq "uninstall answer" "$(key uninstall "$WORK/uninstall.txt")" 1
[[ ! -e "$home/settings/Plugins/in_tolva.dat" ]] || fail "in_tolva.dat survived the uninstall"
[[ ! -e "$home/plugins/in_tolva.txt" ]] || fail "in_tolva.txt survived the uninstall"
[[ -e "$home/plugins/in_other.txt" && -e "$home/settings/Plugins/in_other.dat" ]] ||
    fail "the uninstall deleted another plug-in's file"

# A player without folders: nothing to delete, nothing to read, no harm.
winhost uninstall "$PLUGIN" --no-dirs >"$WORK/nodirs.txt"
expect_eq "uninstall answer without folders" "$(key uninstall "$WORK/nodirs.txt")" 1

# Init creates the Plugins folder below the settings folder.
fresh="$WORK/fresh"
winhost uninstall "$PLUGIN" --home "$(winpath "$fresh")" >/dev/null
[[ -d "$fresh/settings/Plugins" ]] || fail "Init did not create the Plugins folder"

finish
