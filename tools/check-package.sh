#!/usr/bin/env bash
# The Debian package as a user's machine meets it (run as root by `make check-package`, after `make
# package`): lintian finds no error; the package holds only what belongs under /usr; apt-get installs it;
# the installed halvorn-calc writes the worked example's result file byte for byte as the build tree's
# does; the installed halvorn, started offscreen in a fresh home, shows its start screen and has made its
# working folder with the example; a bad --folder is refused in one line; apt-get purge leaves nothing of
# the package under /usr.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=$(realpath "${1:-build}")
started=$(date +%s)

fail() {
    echo "check-package: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "installs and removes a package: run as root"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb="$build_dir/halvorn_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: run make package first"
if dpkg-query -W -f='${Status}' halvorn 2>/dev/null | grep -q "installed"; then
    fail "halvorn is installed already; this check installs and purges it, so remove it first"
fi

work=$(mktemp -d)
installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq halvorn >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "== lintian $deb"
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" || fail "lintian reports errors"

echo "== contents"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
unexpected=$(grep -v -E '^/(|usr/?|usr/bin/(halvorn|halvorn-calc)?|usr/share/?|usr/share/(halvorn|doc|doc/halvorn|applications|metainfo|icons|icons/hicolor|man|man/man1)(/.*)?)$' \
    "$work/contents" || true)
[ -z "$unexpected" ] || fail "files that do not belong in the package: $unexpected"
junk=$(grep -E '/(tests?|fuzz|seeds|nist|CMakeFiles|Testing)(/|$)|\.(o|a|cmake|py)$' "$work/contents" || true)
[ -z "$junk" ] || fail "test data or build files in the package: $junk"
for path in /usr/bin/halvorn /usr/bin/halvorn-calc /usr/share/halvorn/MUs2022.dat /usr/share/halvorn/ct-120kv.csv \
    /usr/share/doc/halvorn/manual.md /usr/share/doc/halvorn/manual.en.md /usr/share/doc/halvorn/copyright \
    /usr/share/doc/halvorn/changelog.gz /usr/share/doc/halvorn/examples/ct-120kv.profile.csv \
    /usr/share/doc/halvorn/screenshots/form1.png /usr/share/doc/halvorn/screenshots/en/form1.png \
    /usr/share/doc/halvorn/figures/bowtie.svg /usr/share/halvorn/translations/halvorn_en.qm \
    /usr/share/applications/org.halvorn.halvorn.desktop /usr/share/metainfo/org.halvorn.halvorn.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/halvorn.svg /usr/share/icons/hicolor/48x48/apps/halvorn.png \
    /usr/share/man/man1/halvorn.1.gz /usr/share/man/man1/halvorn-calc.1.gz; do
    grep -qx "$path" "$work/contents" || fail "the package lacks $path"
done

echo "== apt-get install"
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$(realpath "$deb")" >"$work/apt.log" ||
    { cat "$work/apt.log"; fail "apt-get install failed"; }
dpkg -L halvorn >"$work/files"
desktop-file-validate /usr/share/applications/org.halvorn.halvorn.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.halvorn.halvorn.metainfo.xml
[ "$(/usr/bin/halvorn-calc --version)" = "halvorn-calc $version" ] || fail "halvorn-calc --version"
[ "$(/usr/bin/halvorn --version)" = "halvorn $version" ] || fail "halvorn --version"

echo "== the worked example, installed against the build tree"
mkdir "$work/installed" "$work/built"
example=(--hvl 7.0 --focus-distance 60 --comment "Example CT scanner, 120 kV, HVL 7.0 mm Al" --out result.csv)
(cd "$work/installed" && halvorn-calc "${example[@]}" --profile /usr/share/doc/halvorn/examples/ct-120kv.profile.csv)
(cd "$work/built" && "$build_dir/cli/halvorn-calc" "${example[@]}" \
    --profile "$source_dir/examples/ct-120kv.profile.csv" --table "$source_dir/data/MUs2022.dat")
cmp "$work/installed/result.csv" "$work/built/result.csv" || fail "the installed halvorn-calc's result differs"
cmp "$work/installed/result.csv" examples/ct-120kv.csv || fail "the result differs from examples/ct-120kv.csv"

echo "== the installed program's first start in a fresh home"
home="$work/home"
mkdir -p "$home/run" && chmod 700 "$home/run"
run_halvorn() {
    (cd "$1" && shift && env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin \
        QT_QPA_PLATFORM=offscreen timeout 60 halvorn "$@")
}
line=$(run_halvorn "$home" --quit-after-start) || fail "halvorn did not show its start screen"
echo "$line"
[[ "$line" == "Halvorn $version"*"$home/Documents/Halvorn" ]] || fail "the start screen names another folder"
cmp "$home/Documents/Halvorn/ct-120kv.csv" /usr/share/halvorn/ct-120kv.csv || fail "no example in the new folder"
[[ "$line" == *"作業フォルダ"* ]] || fail "the first start without a locale is not in Japanese: $line"
# English when asked for, and on a first start under a locale of another language.
line=$(run_halvorn "$home" --lang en --quit-after-start)
[[ "$line" == *"Working folder"* ]] || fail "--lang en does not give English: $line"
rm -rf "$home/.config"
line=$(cd "$home" && env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin LANG=de_DE.UTF-8 \
    QT_QPA_PLATFORM=offscreen timeout 60 halvorn --quit-after-start)
[[ "$line" == *"Working folder"* ]] || fail "a first start under de_DE is not in English: $line"
# A folder with result files is worked in where it is; a missing one given is refused in one line.
line=$(run_halvorn "$work/installed" --quit-after-start)
[[ "$line" == *"$work/installed" ]] || fail "the current folder with a result file was not taken: $line"
status=0
run_halvorn "$home" --folder "$home/missing" 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] || fail "a missing --folder: status $status, $(cat "$work/err")"

echo "== apt-get purge"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq halvorn >/dev/null
installed=no
while read -r path; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    # A folder left behind must belong to another package (/usr/share/applications, the icon theme).
    if [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1; then continue; fi
    fail "$path is left after the purge"
done <"$work/files"

echo "check-package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB, passed in $(($(date +%s) - started)) s"
