# Fetching Debian source packages into a private apt state, for the scripts that build the
# programs' libraries from source (scripts/build-deps). Sourced, not run. The functions use and
# set these variables:
#   deps_cache    the cache folder; the apt state lives in $deps_cache/apt
#   apt_options   apt-get options that point at that state (set by debsrc_setup)
#   apt_lock      the file that debsrc_apt locks around each apt call (set by debsrc_setup)
#   version[p], dsc_name[p]   the version apt picks for source package p and its .dsc file name
# and log(), which the sourcing script defines.

# A private apt state for source packages: the machine's own Debian archive entries, as deb-src,
# so neither its sources list nor its package lists change. Only the entries for this release's
# suites are taken; other repositories may serve no sources at all. The source index is read again
# once a day.
debsrc_setup() {
  local apt_dir=$deps_cache/apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      sed -n -E "s/^deb( \[[^]]*\])? (\S+) ($codename(-[a-z]+)?) (.*)$/deb-src\1 \2 \3 \5/p" "$f"
    done
  } > "$apt_dir/sources.list.$$"
  mv -f "$apt_dir/sources.list.$$" "$apt_dir/sources.list"
  {
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      # Deb822 stanzas are separated by blank lines; keep those of this release as deb-src.
      awk -v codename="$codename" '
        function flush() {
          if (stanza != "" && suites ~ ("(^| )" codename "(-[a-z]+)?( |$)") && enabled) print stanza "\n"
          stanza = ""; suites = ""; enabled = 1
        }
        BEGIN { enabled = 1 }
        /^[[:space:]]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { $0 = "Types: deb-src" }
        /^Suites:/ { suites = substr($0, 8) }
        /^Enabled: *no/ { enabled = 0 }
        { stanza = stanza $0 "\n" }
        END { flush() }
      ' "$f"
    done
  } > "$apt_dir/lumarq.sources.$$"
  mv -f "$apt_dir/lumarq.sources.$$" "$apt_dir/parts/lumarq.sources"
  if [ ! -s "$apt_dir/sources.list" ] && [ ! -s "$apt_dir/parts/lumarq.sources" ]; then
    log "no Debian $codename archive entry in /etc/apt/sources.list or /etc/apt/sources.list.d"
    exit 1
  fi
  apt_lock=$apt_dir/lock
  apt_options=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/parts"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o Debug::NoLocking=1
    -o APT::Sandbox::User=root
  )
  if [ -z "$(find "$apt_dir/lists" -maxdepth 1 -name '*Sources*' -mtime -1 2> /dev/null)" ]; then
    log "reading the archive's source index"
    debsrc_apt -qq update >&2
  fi
}

# apt-get on the private state, one call at a time: the builds for several targets may run at once
# over the one state, which apt itself does not lock (Debug::NoLocking).
debsrc_apt() {
  flock "$apt_lock" apt-get "${apt_options[@]}" "$@"
}

# Fills version[p] and dsc_name[p] for each source package p, from apt's own choice of version.
debsrc_resolve() {
  local p line
  for p in "$@"; do
    line=$(debsrc_apt source --print-uris -qq "$p" | grep "\.dsc' " | head -n 1)
    [ -n "$line" ] || { log "the archive has no source package $p"; exit 1; }
    dsc_name[$p]=$(echo "$line" | awk '{print $2}')
    version[$p]=$(echo "${dsc_name[$p]}" | sed -E "s/^${p}_(.*)\.dsc$/\1/")
  done
}

# Whether the .dsc of package $2 is in folder $1 with every file it lists, each matching its
# Checksums-Sha256 line (" <hash> <size> <file>").
debsrc_verify() {
  local download=$1 p=$2
  [ -f "$download/${dsc_name[$p]}" ] || return 1
  (
    cd "$download"
    awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 !~ /\.asc$/ { print $1 "  " $3 }' \
      "${dsc_name[$p]}" > "$p.sha256"
    sha256sum --quiet -c "$p.sha256" > /dev/null 2>&1
  )
}

# Fetches into folder $1 each package's .dsc and the files it lists, and checks every file against
# the .dsc. An upstream signature (.asc) that the archive no longer serves is not needed: the .dsc
# itself is checked against the archive's signed index. A suite may list a version whose files it
# does not serve (the security suite, say): then the newest other version that can be fetched is
# taken, and version[p] and dsc_name[p] name it.
debsrc_fetch() {
  local download=$1 p candidate line
  shift
  for p in "$@"; do
    local fetched=
    for candidate in "" $(flock "$apt_lock" apt-cache "${apt_options[@]}" showsrc "$p" | sed -n 's/^Version: //p' | sort -u -r -V); do
      if [ -n "$candidate" ]; then
        line=$(debsrc_apt source --print-uris -qq "$p=$candidate" 2> /dev/null | grep "\.dsc' " | head -n 1)
        [ -n "$line" ] && [ "$(echo "$line" | awk '{print $2}')" != "${dsc_name[$p]}" ] || continue
        dsc_name[$p]=$(echo "$line" | awk '{print $2}')
        version[$p]=$candidate
        log "$p: trying $candidate instead"
      fi
      log "fetching $p ${version[$p]}"
      (cd "$download" && debsrc_apt source --download-only -qq "$p${candidate:+=$candidate}") \
        > "$download/$p.log" 2>&1 || true
      if debsrc_verify "$download" "$p"; then
        fetched=1
        break
      fi
    done
    [ -n "$fetched" ] || { cat "$download/$p.log" >&2; log "could not fetch $p"; exit 1; }
  done
}

# Unpacks source package $1, fetched into folder $2, into folder $3 by hand (orig tarball, then
# the debian tarball) and applies its quilt series except the patches named after that, which
# the build cannot use. A native package (one tarball, no debian/patches) is unpacked as it is.
debsrc_unpack() {
  local p=$1 download=$2 into=$3
  shift 3
  mkdir -p "$into"
  local orig
  orig=$(ls "$download/${p}_"*.orig.tar.* 2> /dev/null | grep -v '\.asc$' | head -n 1 || true)
  if [ -z "$orig" ]; then
    tar -xf "$(ls "$download/${p}_"*.tar.* | grep -v '\.asc$' | head -n 1)" -C "$into" --strip-components=1
    return 0
  fi
  tar -xf "$orig" -C "$into" --strip-components=1
  tar -xf "$(ls "$download/${p}_"*.debian.tar.*)" -C "$into"
  local series=$into/debian/patches/series
  [ -f "$series" ] || return 0
  local patch_name skip skipped
  while read -r patch_name _; do
    case "$patch_name" in "" | \#*) continue ;; esac
    skipped=
    for skip in "$@"; do [ "$patch_name" = "$skip" ] && skipped=1; done
    if [ -n "$skipped" ]; then
      log "$p: leaving out $patch_name"
      continue
    fi
    patch -d "$into" -p1 -s -N < "$into/debian/patches/$patch_name" >&2
  done < "$series"
}
