# cmake --install puts the tool, its man page and its bash completion where Debian keeps them,
# cpack makes the Debian packages of the tool and the library, and the completion offers each
# command's own options.
source "$(dirname "$0")/lib.sh"
build=$(dirname "$(dirname "$tolva")")
root=$work/usr

cmake --install "$build" --prefix "$root" >/dev/null || fail "cmake --install failed"
# The man page and the completion are checked below by groff and by their use.
[[ -x $root/bin/tolva ]] || fail "bin/tolva is not installed"
for page in man1/tolva.1 man3/tolva.3; do
    [[ -z $(groff -man -ww -z "$root/share/man/$page" 2>&1) ]] || fail "$page: man page warnings"
done

cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null 2>&1 || fail "cpack failed"
expect_contains "$(dpkg-deb -c "$work"/pkg/tolva_*.deb)" "./usr/bin/tolva"
expect_contains "$(dpkg-deb -f "$work"/pkg/tolva_*.deb Depends)" "libsdl2"
# The library: the runtime alone in libtolva1, the rest for building in libtolva-dev.
expect_contains "$(dpkg-deb -c "$work"/pkg/libtolva1_*.deb)" "libtolva.so.1 ->"
expect_contains "$(dpkg-deb -f "$work"/pkg/libtolva1_*.deb Depends)" "libstdc++6"
expect_contains "$(dpkg-deb -c "$work"/pkg/libtolva-dev_*.deb)" "/usr/include/tolva/tolva.h" \
    "/libtolva.a" "/libtolva.so ->" "/pkgconfig/tolva.pc" "/cmake/tolva/tolvaConfig.cmake" "man3/tolva.3"
expect_contains "$(dpkg-deb -f "$work"/pkg/libtolva-dev_*.deb Depends)" "libtolva1 (= "
# The GStreamer plug-in, where it was built: in GStreamer's folder under the prefix, loading from
# there, and packaged on its own.
if [[ -e $build/gst/libgsttolva.so ]]; then
    plugins=$(dirname "$(find "$root" -name libgsttolva.so)")
    expect_equal "$(basename "$plugins")" "gstreamer-1.0" "plug-in folder"
    GST_REGISTRY=$work/registry.bin GST_PLUGIN_PATH=$plugins GST_PLUGIN_SYSTEM_PATH= \
        gst-inspect-1.0 tolvadec >/dev/null 2>&1 || fail "the installed plug-in does not load"
    expect_contains "$(dpkg-deb -c "$work"/pkg/gstreamer1.0-tolva_*.deb)" "/gstreamer-1.0/libgsttolva.so"
    expect_contains "$(dpkg-deb -f "$work"/pkg/gstreamer1.0-tolva_*.deb Depends)" "libtolva1 (= " \
        "libgstreamer1.0-0" "libgstreamer-plugins-bad1.0-0"
fi
# ...though only play and FLAC output open the sound libraries, so the other commands start fast.
expect_equal "$(ldd "$tolva" | grep -c -e SDL -e sndfile)" 0 "sound libraries linked"

# completes WORD...: what the completion offers for the last word.
completes() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    _tolva
    echo "${COMPREPLY[*]}"
}
source "$root/share/bash-completion/completions/tolva"
PATH=$root/bin:$PATH
cd "$work" || exit 1
expect_equal "$(completes tolva ren)" "render" "a command"
expect_equal "$(completes tolva render --ra)" "--rate" "a render option"
expect_equal "$(completes tolva info --bi)" "" "an option info does not take"
expect_equal "$(completes tolva --settings)" "--settings" "a play option without the word play"
expect_equal "$(completes tolva render --length-mode d)" "detect" "a value"
expect_equal "$(completes tolva info u)" "usr" "a file"

finish
