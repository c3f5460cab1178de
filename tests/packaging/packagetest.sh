#!/usr/bin/env bash
# packagetest.sh BUILD_DIR: cpack -G DEB, then the package's contents, lintian, the
# desktop and AppStream validators, and an install into a throwaway dpkg root whose
# talvoren-cli must answer --version.
set -euo pipefail
build=$1
for tool in cpack dpkg dpkg-deb lintian desktop-file-validate appstreamcli help2man; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/install-deps.sh)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target talvoren talvoren-cli talvoren_resources talvoren_package_documents
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/talvoren_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/talvoren ./usr/bin/talvoren-cli ./usr/share/talvoren/Talvoren.db \
    ./usr/share/talvoren/Talvoren-setting.plist ./usr/share/applications/talvoren.desktop \
    ./usr/share/icons/hicolor/scalable/apps/talvoren.svg ./usr/share/icons/hicolor/256x256/apps/talvoren.png \
    ./usr/share/metainfo/jp.talvoren.Talvoren.metainfo.xml ./usr/share/man/man1/talvoren.1.gz \
    ./usr/share/man/man1/talvoren-cli.1.gz ./usr/lib/systemd/user/talvoren-watch.service; do
    grep -q " $path\$" <<<"$contents" || { echo "missing from the package: $path"; exit 1; }
done
dpkg-deb -f "$deb" Depends | grep -q libqt6core6

lintian --fail-on error --allow-root "$deb"

root=$work/root
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
# The libraries come from this machine: the dependencies are not installed into the root.
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless --log=/dev/null \
    -i "$deb" >/dev/null 2>&1
desktop-file-validate "$root/usr/share/applications/talvoren.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/jp.talvoren.Talvoren.metainfo.xml"
service=$root/usr/lib/systemd/user/talvoren-watch.service
grep -qx "ExecStart=/usr/bin/talvoren-cli watch" "$service"
# The unit's syntax, with its command pointed into the throwaway root.
if command -v systemd-analyze >/dev/null; then
    sed "s|=/usr/bin/|=$root/usr/bin/|" "$service" >"$work/talvoren-watch.service"
    systemd-analyze verify --man=no "$work/talvoren-watch.service"
fi
zcat "$root/usr/share/man/man1/talvoren-cli.1.gz" | grep -q 'import'

version=$(HOME=$work "$root/usr/bin/talvoren-cli" --version)
echo "$version"
[[ $version =~ ^talvoren-cli\ [0-9]+\.[0-9]+\.[0-9]+\ \(build\ [0-9]+\)$ ]]
