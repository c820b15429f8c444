#!/bin/bash
# Installs the build into a temporary prefix and checks what a user gets: the file list, the
# desktop entry, AppStream metadata and manual pages through their validators, the bash
# completion, and the installed programs keeping their settings in a temporary XDG_CONFIG_HOME
# with nothing written into the prefix.
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
config=$work/config
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }

id=org.regiscribe.Regiscribe
expected=(
    bin/regiscribe
    bin/regiscribe-cli
    lib/regiscribe/modules/libregiscribe-dns.so
    lib/regiscribe/modules/libregiscribe-https.so
    lib/regiscribe/modules/libregiscribe-idna.so
    lib/regiscribe/modules/libregiscribe-imap.so
    lib/regiscribe/modules/libregiscribe-keyring.so
    lib/regiscribe/modules/libregiscribe-openpgp.so
    lib/regiscribe/modules/libregiscribe-tls.so
    share/applications/$id.desktop
    share/bash-completion/completions/regiscribe-cli
    share/icons/hicolor/128x128/apps/$id.png
    share/icons/hicolor/16x16/apps/$id.png
    share/icons/hicolor/22x22/apps/$id.png
    share/icons/hicolor/24x24/apps/$id.png
    share/icons/hicolor/256x256/apps/$id.png
    share/icons/hicolor/32x32/apps/$id.png
    share/icons/hicolor/48x48/apps/$id.png
    share/icons/hicolor/64x64/apps/$id.png
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/regiscribe-cli.1.gz
    share/man/man1/regiscribe.1.gz
    share/metainfo/$id.metainfo.xml
)
(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/files"
printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the installed files differ from the list"
for size in 16 32 256; do
    file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" ||
        fail "the ${size}x${size} icon has another size"
done

# Not even a hint: an entry with two main categories shows twice in the menus.
desktop-file-validate "$prefix/share/applications/$id.desktop" >"$work/dfv" 2>&1 ||
    fail "desktop-file-validate"
[ -s "$work/dfv" ] && { cat "$work/dfv"; fail "desktop-file-validate said something"; }
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as" 2>&1 ||
    { cat "$work/as"; fail "appstreamcli validate"; }
for page in regiscribe regiscribe-cli; do
    warnings=$(man --warnings -E UTF-8 -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings"; fail "man --warnings $page"; }
    man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "ENVIRONMENT" ||
        fail "$page.1 has no ENVIRONMENT section"
done
for command in write submit message send sent sign verify keys crypt check-ns object replies password encode decode ini whois rdap finger; do
    man -l "$prefix/share/man/man1/regiscribe-cli.1.gz" 2>/dev/null | grep -qE "^ +$command( |$)" ||
        fail "regiscribe-cli.1 does not describe $command"
done
bash -c "source '$prefix/share/bash-completion/completions/regiscribe-cli' && complete -p regiscribe-cli" \
    >/dev/null || fail "the bash completion does not register"

# The installed programs keep their settings in the user's configuration folder.
touch "$work/before"
sleep 1
export XDG_CONFIG_HOME=$config
# The installed companion finds its modules: an international address needs the IDNA module.
message=$(cd "$work" && env -u REGISCRIBE_MODULE_DIR "$prefix/bin/regiscribe-cli" message \
    --from $'a@b\xc3\xbccher.example' --to h@example.net --date "Tue, 08 Dec 2026 22:31:05 +0100" \
    --message-id 1@x </dev/null 2>&1)
grep -q "^From: .*<a@xn--bcher-kva.example>" <<<"$message" ||
    fail "the installed companion found no IDNA module: $message"
version=$("$prefix/bin/regiscribe-cli" --version)
[ "$version" = "regiscribe-cli 1.71
Settings file: $config/regiscribe/regiscribe.ini" ] || fail "regiscribe-cli --version says: $version"

if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    # The window program, started and closed with File > Exit as a user does, writes its settings
    # there too.
    cat >"$work/run-window.sh" <<'SH'
# Every step waits for what it needs to see (up to a minute), never for a fixed time: on a busy
# machine the window and its menu take as long as they take.
"$1" &
pid=$!
visible() { xdotool search --onlyvisible --pid $pid 2>/dev/null | wc -l; }
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name "Regiscribe 1.71" 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { kill $pid; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null
before=$(visible)
xdotool mousemove --window "$window" 12 8 click 1
# The File menu is a window of its own: the keys go to it once it shows.
for _ in $(seq 600); do [ "$(visible)" -gt "$before" ] && break; sleep 0.1; done
xdotool key Down Down Down Return
for _ in $(seq 600); do kill -0 $pid 2>/dev/null || exit 0; sleep 0.1; done
kill $pid
exit 1
SH
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 800x600x24" bash "$work/run-window.sh" \
        "$prefix/bin/regiscribe" >"$work/window.log" 2>&1 || { cat "$work/window.log"; fail "the window did not close by File > Exit"; }
    grep -q "^\[Setup\]" "$config/regiscribe/regiscribe.ini" 2>/dev/null ||
        fail "the window wrote no settings into $config/regiscribe/regiscribe.ini"
else
    echo "xvfb-run or xdotool missing: the window's settings were not checked"
fi
written=$(find "$prefix" -newer "$work/before")
[ -z "$written" ] || fail "written into the prefix: $written"

# A package made right in this build folder carries the copyright and changelog Debian asks
# for, and lintian finds no error in it.
if command -v lintian >/dev/null && command -v cpack >/dev/null; then
    (cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) ||
        { cat "$work/cpack.log"; fail "cpack -G DEB"; }
    deb=$(ls "$work"/cpack/regiscribe_*.deb 2>/dev/null | head -1)
    if [ -n "$deb" ]; then
        dpkg -c "$deb" | grep -q "usr/share/doc/regiscribe/copyright" || fail "no copyright in $deb"
        dpkg -c "$deb" | grep -q "usr/share/doc/regiscribe/changelog.Debian.gz" ||
            fail "no changelog in $deb"
        lintian "$deb" >"$work/lintian" 2>&1
        grep "^E:" "$work/lintian" && fail "lintian found errors in the package of the build folder"
    else
        fail "cpack made no package"
    fi
fi

[ $failures -eq 0 ] && echo "install checks passed"
exit $((failures > 0))
