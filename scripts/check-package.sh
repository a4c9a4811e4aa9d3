#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: extracted into a temporary root,
# its programs answer --version (the project's version) and --help, its desktop entry and AppStream
# metadata validate, it holds only the programs and what they need (no maintainer scripts, groups
# or device rules), and lintian finds no error. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/package.sh >/dev/null
deb=$(ls build-package/quarvel_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

fail() {
  echo "check-package: $*" >&2
  exit 1
}
expect() { # what, expected, actual
  [[ $3 == "$2" ]] || fail "$1: expected \"$2\", got \"$3\""
}

version=$(sed -nE 's/^project\(Quarvel VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no version in CMakeLists.txt"
expect "package version" "$version" "$(dpkg-deb -f "$deb" Version)"
expect "quarvel-cli --version" "quarvel-cli $version" "$("$root/usr/bin/quarvel-cli" --version)"
expect "quarvel --version" "quarvel $version" "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quarvel" --version)"
expect "changelog's latest entry" "quarvel ($version)" \
  "$(gzip -dc "$root/usr/share/doc/quarvel/changelog.gz" | head -n 1 | cut -d' ' -f1-2)"
help=$("$root/usr/bin/quarvel-cli" --help) || fail "quarvel-cli --help failed"
grep -q '^usage: quarvel-cli COMMAND' <<<"$help" || fail "quarvel-cli --help: no usage line"

expect "programs" "quarvel quarvel-cli quarvel-sim" "$(ls "$root/usr/bin" | tr '\n' ' ' | sed 's/ $//')"
expect "control files" "control md5sums" "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed -n 's|^\./\(.\)|\1|p' | sort | tr '\n' ' ' | sed 's/ $//')"
if find "$root" -path '*udev*' -o -name '*.a' | grep -q .; then
  fail "the package holds device rules or static libraries"
fi

desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
bash -n "$root/usr/share/bash-completion/completions/quarvel-cli"
# Warnings and notes are shown; errors fail. (lintian also complains about being run as root.)
lintian_status=0
lintian_report=$(lintian --fail-on error "$deb" 2>&1) || lintian_status=$?
grep -v 'running with root privileges' <<<"$lintian_report" || true
((lintian_status == 0)) || fail "lintian found errors in $deb"
echo "$deb: version $version, $(dpkg-deb -c "$deb" | wc -l) entries, checks passed."
