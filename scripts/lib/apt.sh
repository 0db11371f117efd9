# Debian package helpers shared by scripts/deps, scripts/build-mingw-libs and
# scripts/wine32 (sourced, bash).
#
# A mirror can serve an index that does not match its Release file for a while
# ("File has unexpected size ... Mirror sync in progress?"). apt-get update
# then fails although every other index came. These helpers retry such an
# update, then go on with the indexes that came, and remember the ones that
# failed so that a later failed install can name them.

APT_SUDO=""
[ "$(id -u)" -eq 0 ] || APT_SUDO=sudo
# Indexes that failed in the last apt_update, one URL a line.
APT_FAILED_INDEXES=""

# Runs apt-get update (with any apt options given) up to three times while
# an index fails to download; never fails itself. Sets APT_FAILED_INDEXES.
#   apt_update [APT-OPTIONS...]
apt_update() {
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    if $APT_SUDO apt-get "$@" update -qq >"$log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$log"; then
      APT_FAILED_INDEXES=""
      rm -f "$log"
      return 0
    fi
    APT_FAILED_INDEXES=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log")
    [ $try -lt 3 ] && sleep $((try * 2))
  done
  echo "apt-get update: going on without these indexes, which failed three times:" >&2
  if [ -n "$APT_FAILED_INDEXES" ]; then
    printf '  %s\n' $APT_FAILED_INDEXES >&2
  else
    sed 's/^/  /' "$log" >&2
  fi
  rm -f "$log"
  return 0
}

# Explains a failed install: which indexes were missing when it was tried.
apt_explain_failure() {
  echo "apt-get install failed${APT_FAILED_INDEXES:+; these indexes could not be fetched:}" >&2
  [ -z "$APT_FAILED_INDEXES" ] || printf '  %s\n' $APT_FAILED_INDEXES >&2
}

# Installs packages by name; on failure says which indexes were missing.
#   apt_install PACKAGE...
apt_install() {
  if ! DEBIAN_FRONTEND=noninteractive $APT_SUDO apt-get install -y -qq --no-install-recommends \
    "$@" >/dev/null; then
    apt_explain_failure
    return 1
  fi
}

# The URI of the machine's Debian mirror (the first deb entry), so that
# private package lists use the same mirror as the machine.
apt_debian_mirror() {
  local uri
  uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)$/\1/p' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
  echo "${uri:-http://deb.debian.org/debian}"
}

# apt-get options for a private package database in DIR: its own sources,
# lists, status and downloads, for ARCH only. Nothing of the machine's own
# package state is read or changed through these.
#   apt_private_options DIR ARCH
apt_private_options() {
  local dir=$1 arch=$2
  mkdir -p "$dir/lists/partial" "$dir/archives/partial" "$dir/cache"
  [ -f "$dir/status" ] || : >"$dir/status"
  printf '%s\n' "-oDir::Etc::SourceList=$dir/sources.list" "-oDir::Etc::SourceParts=/dev/null" \
    "-oDir::State::Lists=$dir/lists" "-oDir::State::status=$dir/status" \
    "-oDir::Cache=$dir/cache" "-oDir::Cache::archives=$dir/archives" \
    "-oAPT::Architecture=$arch" "-oAPT::Architectures=$arch" "-oDebug::NoLocking=1" \
    "-oAPT::Sandbox::User=root"
}
