#!/usr/bin/env bash
# The set-up's backports source is derived from copies of apt source trees (deb822 and one-line),
# never the machine's own: the mirror or proxy and the signing key of the release's source are
# kept, security and disabled sources are passed over, and a second run changes nothing. apt itself
# parses each result (update --print-uris reads the sources and prints what it would fetch).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/apt-sources.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL [$case_name]: $*" >&2; failures=$((failures + 1)); }

new_tree() {
  case_name=$1
  etc="$work/$1/etc/apt"
  mkdir -p "$etc/sources.list.d" "$work/$1/lists/partial"
}

ensure() { apt_ensure_backports "$etc" bookworm tee 2>"$work/stderr"; }
written() { cat "$etc/sources.list.d/bookworm-backports.sources"; }

# What apt would fetch for the tree's backports suite.
apt_uris() {
  apt-get -o Dir::Etc::SourceList="$etc/sources.list" -o Dir::Etc::SourceParts="$etc/sources.list.d" \
    -o Dir::State::Lists="$(dirname "$(dirname "$etc")")/lists" -o Debug::NoLocking=1 --print-uris update 2>&1 |
    grep -o "'[^']*bookworm-backports/InRelease'" || true
}

expect_field() { # name expected-value
  local got
  got=$(written | sed -n "s/^$1: //p")
  [ "$got" = "$2" ] || fail "$1 is '$got', expected '$2'"
}

# deb822, security first, then the release from a local mirror with its own keyring.
new_tree deb822
cat >"$etc/sources.list.d/debian.sources" <<'S'
# The local mirror.
Types: deb
URIs: http://mirror.lan/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
URIs: http://mirror.lan:3142/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /etc/apt/keyrings/mirror.gpg
S
ensure
expect_field URIs "http://mirror.lan:3142/debian"
expect_field Suites "bookworm-backports"
expect_field Signed-By "/etc/apt/keyrings/mirror.gpg"
[ "$(apt_uris)" = "'http://mirror.lan:3142/debian/dists/bookworm-backports/InRelease'" ] ||
  fail "apt reads '$(apt_uris)'"
before=$(written)
ensure
[ "$(written)" = "$before" ] || fail "a second run changed the file"
[ "$(ls "$etc/sources.list.d" | wc -l)" = 2 ] || fail "a second run added a file"

# One-line format behind a proxy, with options; a deb-src line and a comment name other hosts.
new_tree oneline
cat >"$etc/sources.list" <<'S'
# deb http://deb.debian.org/debian bookworm main
deb-src http://src.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/proxy.gpg] http://proxy.lan:3142/debian bookworm main
deb http://proxy.lan:3142/debian-security bookworm-security main
S
ensure
expect_field URIs "http://proxy.lan:3142/debian"
expect_field Signed-By "/usr/share/keyrings/proxy.gpg"
[ -n "$(apt_uris)" ] || fail "apt cannot read the result"

# One-line, no options, bracket set apart: the trusted keyrings serve, so no Signed-By.
new_tree plain
echo "deb [ arch=amd64 ] http://ftp.example.org/debian/ bookworm main" >"$etc/sources.list.d/main.list"
ensure
expect_field URIs "http://ftp.example.org/debian/"
written | grep -q '^Signed-By' && fail "a Signed-By was invented"
[ -n "$(apt_uris)" ] || fail "apt cannot read the result"

# Backports already there (one-line): nothing is written.
new_tree present
printf 'deb http://m.lan/debian bookworm main\ndeb http://m.lan/debian bookworm-backports main\n' >"$etc/sources.list"
ensure
[ ! -e "$etc/sources.list.d/bookworm-backports.sources" ] || fail "backports were added twice"

# A disabled paragraph and a cdrom are passed over; a URI list continued on the next line.
new_tree disabled
cat >"$etc/sources.list.d/a.sources" <<'S'
Enabled: no
Types: deb
URIs: http://old.lan/debian
Suites: bookworm
Components: main
S
echo "deb cdrom:[Debian 12]/ bookworm main" >"$etc/sources.list"
cat >"$etc/sources.list.d/b.sources" <<'S'
Types: deb
URIs:
 http://new.lan/debian
 http://spare.lan/debian
Suites: bookworm
Components: main
S
ensure
expect_field URIs "http://new.lan/debian"

# A key embedded in the source is carried over on continuation lines, as apt reads it.
new_tree inline
cat >"$etc/sources.list.d/debian.sources" <<'S'
Types: deb
URIs: http://inline.lan/debian
Suites: bookworm
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEYCQjIxYJKwYBBAHaRw8BAQdAD/P5Nvvnvk66SxBBHDbhRml9ORg1WV5CvzKY
 -----END PGP PUBLIC KEY BLOCK-----
S
ensure
sed -n '/^Signed-By:/,$p' "$etc/sources.list.d/debian.sources" >"$work/want"
sed -n '/^Signed-By:/,$p' "$etc/sources.list.d/bookworm-backports.sources" >"$work/got"
cmp -s "$work/want" "$work/got" || fail "the inline key changed: $(cat "$work/got")"

# No source names the release: the public archive with Debian's keyring, and a warning.
new_tree empty
ensure
expect_field URIs "http://deb.debian.org/debian"
expect_field Signed-By "/usr/share/keyrings/debian-archive-keyring.gpg"
grep -q "no configured source carries bookworm" "$work/stderr" || fail "no warning"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "apt sources: all cases pass"
