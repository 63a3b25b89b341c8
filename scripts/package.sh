#!/usr/bin/env bash
# Builds the Debian package: installs what is missing, makes a Release build in
# build-package/ (or $PACKAGE_BUILD_DIR), runs CPack and prints the package's
# path. Then checks the package: it holds the programs, the menu entry, the
# icons and the udev rule for USB adapters and nothing else, depends on Qt's libraries and Russian translations,
# and its menu entry passes desktop-file-validate. Fails when any check does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PACKAGE_BUILD_DIR:-$root/build-package}"
"$root/scripts/install-deps.sh" package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"

rm -f "$build"/morvell_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/morvell_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package.sh: CPack made no single morvell_*.deb in $build" >&2
    exit 1
fi
deb=${debs[0]}
echo "$deb"

status=0
fail() {
    echo "package.sh: $*" >&2
    status=1
}

expected=(
    ./usr/bin/morvell
    ./usr/bin/morvell-cli
    ./usr/bin/register-emulator
    ./usr/share/applications/morvell.desktop
    ./usr/share/icons/hicolor/scalable/apps/morvell.svg
    ./usr/lib/udev/rules.d/60-morvell-ftdi-latency.rules
)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/morvell.png")
done
# The sixth column of a listing is the path; directories are left out.
mapfile -t files < <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
mapfile -t wanted < <(printf '%s\n' "${expected[@]}" | sort)
while read -r path; do
    fail "missing from the package: $path"
done < <(comm -13 <(printf '%s\n' "${files[@]}") <(printf '%s\n' "${wanted[@]}"))
while read -r path; do
    fail "not meant for the package: $path"
done < <(comm -23 <(printf '%s\n' "${files[@]}") <(printf '%s\n' "${wanted[@]}"))

depends=$(dpkg-deb --field "$deb" Depends)
for dependency in qttranslations5-l10n libqt5widgets5 libqt5serialport5 libqt5network5; do
    [[ ", $depends," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $depends"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/morvell.desktop" ||
    fail "the menu entry does not pass desktop-file-validate"

if [ $status -eq 0 ]; then
    echo "package.sh: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB, ${#files[@]} files, checked"
fi
exit $status
