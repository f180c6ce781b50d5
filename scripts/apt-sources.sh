# Reads a machine's configured apt sources (one-line .list and deb822 .sources formats) so that the
# set-up adds backports from the mirror or proxy the machine already uses, with that source's own
# signing key, instead of a fixed archive address. Sourced by setup.sh; every function takes the
# apt configuration directory (normally /etc/apt) so that tests can point it at a copy.

# Prints one line per enabled binary ("deb") source: URI, a tab, the suites separated by spaces, a
# tab, and its Signed-By value (empty when it relies on the trusted keyrings; an inline key keeps
# its lines joined by \n). Files in the order apt reads them.
apt_binary_sources() {
  local etc=$1 f
  for f in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '
      { sub(/#.*/, "") }
      $1 == "deb" {
        signed = ""; i = 2
        if ($2 ~ /^\[/) {
          # Options: [key=value key=value], possibly split over several fields.
          while (i <= NF) {
            opt = $i; gsub(/^\[|\]$/, "", opt)
            if (opt ~ /^signed-by=/) { signed = substr(opt, 11) }
            if ($i ~ /\]$/) { i++; break }
            i++
          }
        }
        uri = $i; suite = $(i + 1)
        if (uri != "" && suite != "") printf "%s\t%s\t%s\n", uri, suite, signed
      }' "$f"
  done
  for f in "$etc"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no" && uris != "") {
          n = split(uris, u, " ")
          for (k = 1; k <= n; k++) if (u[k] != "") { printf "%s\t%s\t%s\n", u[k], suites, signed; break }
        }
        types = ""; uris = ""; suites = ""; signed = ""; enabled = ""; field = ""
      }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ {
        # A continuation line: more URIs or suites, or the next line of an inline key.
        line = $0; sub(/^[ \t]+/, "", line)
        if (field == "signed-by") signed = signed (signed == "" ? "" : "\\n") line
        else if (field == "uris") uris = uris " " line
        else if (field == "suites") suites = suites " " line
        next
      }
      {
        field = tolower($0); sub(/:.*/, "", field)
        value = $0; sub(/^[^:]*:[ \t]*/, "", value); sub(/[ \t]+$/, "", value)
        if (field == "types") types = value
        else if (field == "uris") uris = value
        else if (field == "suites") suites = value
        else if (field == "signed-by") signed = value
        else if (field == "enabled") enabled = value
      }
      END { flush() }' "$f"
  done
}

# True when an enabled binary source already carries the suite.
apt_has_suite() {
  local etc=$1 suite=$2
  apt_binary_sources "$etc" | awk -F'\t' -v s="$suite" '
    { n = split($2, list, " "); for (k = 1; k <= n; k++) if (list[k] == s) found = 1 }
    END { exit found ? 0 : 1 }'
}

# The deb822 stanza for <codename>-backports from the first enabled source that carries the
# release itself (the archive, not its security suite). Fails when there is none.
apt_backports_stanza() {
  local etc=$1 codename=$2 line uri signed
  line=$(apt_binary_sources "$etc" | awk -F'\t' -v s="$codename" '
    $1 !~ /^cdrom:/ {
      n = split($2, list, " ")
      for (k = 1; k <= n; k++) if (list[k] == s) { print; exit }
    }')
  [ -n "$line" ] || return 1
  uri=$(printf '%s' "$line" | cut -f1)
  signed=$(printf '%s' "$line" | cut -f3)
  printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\n' "$uri" "$codename"
  case $signed in
    '') ;;
    *'\n'*) # an inline key goes back on continuation lines, as deb822 writes it
      printf 'Signed-By:\n %s\n' "$(printf '%s' "$signed" | sed 's/\\n/\n /g')" ;;
    *) printf 'Signed-By: %s\n' "$signed" ;;
  esac
}

# Adds <codename>-backports to <etc>/sources.list.d unless a source already carries it; the rest of
# the arguments are the command that writes a file from standard input (for example: sudo tee).
# Prints what it did; idempotent.
apt_ensure_backports() {
  local etc=$1 codename=$2 stanza
  shift 2
  if apt_has_suite "$etc" "${codename}-backports"; then
    return 0
  fi
  if ! stanza=$(apt_backports_stanza "$etc" "$codename"); then
    echo "setup: no configured source carries ${codename}; using deb.debian.org for backports" >&2
    stanza=$(printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' "$codename")
  fi
  echo "setup: adding ${codename}-backports from $(printf '%s\n' "$stanza" | sed -n 's/^URIs: //p')"
  printf '%s\n' "$stanza" | "$@" "$etc/sources.list.d/${codename}-backports.sources" >/dev/null
}
