#!/usr/bin/env bash
# The Debian package as CPack makes it from a build: its fields, exactly the files it should
# hold, and both programs run from the unpacked tree with their manual pages, completion and
# desktop files; lintian when installed. Nothing is installed on the system.
# Usage: package_test.sh BUILD-DIR WORK-DIR VERSION SAMPLE.rdt
# Exits 77 (skipped) where dpkg-deb or dpkg-shlibdeps is missing.
set -uo pipefail
build=$1 work=$2 version=$3 sample=$4
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool"; exit 77; }
done
rm -rf "$work"
mkdir -p "$work"
export LC_ALL=C
failures=0 checks=0 failed=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
check() {  # runs one group of checks
  local before=$failures
  checks=$((checks + 1))
  "$@"
  [ "$failures" -eq "$before" ] || failed=$((failed + 1))
}

# ---- the package ----
arch=$(dpkg --print-architecture)
# gzip rather than xz: what the package holds is the same, and it packs several times faster.
cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL cpack"; exit 1; }
deb="$work/cpack/plugwright_${version}_${arch}.deb"
[ -s "$deb" ] || { ls "$work/cpack"; echo "FAIL no $deb"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
fields() {
  [ "$(field Package)" = plugwright ] || fail "Package: $(field Package)"
  [ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
  [ "$(field Section)" = hamradio ] || fail "Section: $(field Section)"
  [ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
  [[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
  [ -z "$(field Homepage)" ] || fail "a Homepage: $(field Homepage)"
  field Description | sed -n 2p | grep -q "code plug" || fail "the description does not say what a code plug is"
  # From the programs' shared libraries, and nothing of the tests'.
  local depends
  depends=$(field Depends)
  for lib in libc6 libqt6widgets6 libyaml-0-2 zlib1g qt6-qpa-plugins; do
    [[ ", $depends," =~ ,\ $lib[\ ,] ]] || fail "Depends lacks $lib: $depends"
  done
  [[ $depends != *gtest* && $depends != *benchmark* ]] || fail "Depends names a test library: $depends"
}
check fields

# Exactly these files, owned by root, none executable but the programs.
contents() {
  local expected listed
  expected=$(printf '%s\n' ./usr/bin/plugwright ./usr/bin/plugwright-cli \
    ./usr/share/applications/net.plugwright.Plugwright.desktop \
    ./usr/share/bash-completion/completions/plugwright-cli \
    ./usr/share/doc/plugwright/README.md ./usr/share/doc/plugwright/changelog.gz \
    ./usr/share/doc/plugwright/copyright \
    ./usr/share/icons/hicolor/scalable/apps/net.plugwright.Plugwright.svg \
    ./usr/share/man/man1/plugwright-cli.1.gz ./usr/share/man/man1/plugwright.1.gz \
    ./usr/share/metainfo/net.plugwright.Plugwright.metainfo.xml \
    ./usr/share/mime/packages/net.plugwright.Plugwright.xml | sort)
  dpkg-deb -c "$deb" >"$work/contents"
  listed=$(awk '$1 !~ /^d/ { print $6 }' "$work/contents" | sort)
  [ "$listed" = "$expected" ] || fail "the files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$listed"))"
  awk '$2 != "root/root" { print "FAIL not owned by root: " $6 }' "$work/contents" | grep . && fail "ownership"
  awk '$1 ~ /^-/ && $1 != "-rw-r--r--" && $6 !~ /^\.\/usr\/bin\// { print "FAIL mode " $1 ": " $6 }' \
    "$work/contents" | grep . && fail "file modes"
  awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAIL mode " $1 ": " $6 }' "$work/contents" | grep . && fail "folder modes"
  # Nothing names the build tree. A sanitizer build cannot hold to this: the sanitizer's
  # description of every global names its source file in full, prefix maps or not.
  dpkg-deb -x "$deb" "$work/root"
  if grep -q '^PLUGWRIGHT_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "note: a sanitizer build, whose programs name their sources; the build tree is not looked for"
  else
    ! grep -rlF "$(cd "$build" && pwd)" "$work/root" || fail "files above name the build tree"
  fi
}
check contents
root=$work/root

# ---- the programs, run from the unpacked tree ----
programs() {
  local out rc
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/plugwright" --version 2>&1)
  [ "$out" = "plugwright $version" ] || fail "plugwright --version: $out"
  out=$("$root/usr/bin/plugwright-cli" --version 2>&1)
  [ "$out" = "plugwright-cli $version" ] || fail "plugwright-cli --version: $out"
  "$root/usr/bin/plugwright-cli" check "$sample" | grep -q "^modified by loading: no$" || fail "plugwright-cli check"
  # The editor until its window shows (a picture of it), its settings and state kept out of the tree.
  find "$root" | sort >"$work/tree-before"
  mkdir -p "$work/home/runtime" && chmod 700 "$work/home/runtime"
  rc=0
  XDG_CONFIG_HOME="$work/home/config" XDG_STATE_HOME="$work/home/state" XDG_RUNTIME_DIR="$work/home/runtime" \
    QT_QPA_PLATFORM=offscreen PLUGWRIGHT_SCREENSHOT="$work/window.png" \
    timeout 120 "$root/usr/bin/plugwright" "$sample" >"$work/editor.log" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] && [ -s "$work/window.png" ] || { fail "the editor (exit $rc) showed no window:"; cat "$work/editor.log"; }
  find "$root" | sort | diff "$work/tree-before" - || fail "the editor wrote into its installed tree"
  [ -s "$work/home/config/plugwright/plugwright.ini" ] || fail "no settings in the configuration folder"
}
check programs

# ---- manual pages: render without warnings, name every command and exit status ----
manuals() {
  local page warnings
  for page in plugwright plugwright-cli; do
    warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -ww -z -man 2>&1)
    [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
    if command -v man >/dev/null; then
      warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "man warns on $page.1: $warnings"
    fi
    zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "@" && fail "$page.1 holds an unfilled @VARIABLE@"
  done
  local cli_page help command status
  cli_page=$(zcat "$root/usr/share/man/man1/plugwright-cli.1.gz")
  help=$("$root/usr/bin/plugwright-cli" --help)
  for command in $(sed -n '/^Commands:/,/^$/ s/^  \([a-z-]*\).*/\1/p' <<<"$help"); do
    grep -q "^\.SS ${command//-/\\\\-} " <<<"$cli_page" || fail "plugwright-cli.1 has no section for $command"
  done
  # A status stands in the columns before its meaning, which starts in column 11.
  sed -n '/^Exit statuses:/,$ p' <<<"$help" | grep '^  [0-9]' | cut -c3-10 | sed 's/ *$//' | sort -u >"$work/statuses"
  while read -r status; do
    sed -n '/^\.SH "EXIT STATUS"/,/^\.SH/p' <<<"$cli_page" | grep -qx "\.B ${status//-/\\\\-}" ||
      fail "plugwright-cli.1 does not explain exit status $status"
  done <"$work/statuses"
}
check manuals

# ---- bash completion: the commands and options plugwright-cli --help names, files by kind ----
completion() {
  local script=$root/usr/share/bash-completion/completions/plugwright-cli help offered command options
  complete_words() {  # the words offered for the command line "$@" (the last one being typed)
    bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _plugwright_cli; [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' \
      "$script" plugwright-cli "$@" | sort | tr '\n' ' '
  }
  help=$("$root/usr/bin/plugwright-cli" --help)
  offered=$(complete_words "")
  for command in $(sed -n '/^Commands:/,/^$/ s/^  \([a-z-]*\).*/\1/p' <<<"$help") --help --version; do
    [[ " $offered" == *" $command "* ]] || fail "completion does not offer $command: $offered"
  done
  for command in import-channels import-userdb generate sort; do
    options=$("$root/usr/bin/plugwright-cli" "$command" --help | head -1 | grep -o -- '--[a-z-]*' | sort -u)
    offered=$(complete_words "$command" x.rdt --)
    for option in $options; do
      [[ " $offered" == *" $option "* ]] || fail "completion does not offer $command $option: $offered"
    done
  done
  [ "$(complete_words sort a.rdt --by "")" = "id name rx_frequency " ] || fail "completion of --by"
  mkdir -p "$work/files/folder" && touch "$work/files/"{a.rdt,B.RDT,c.csv,d.yaml,e.txt,f.json}
  cd "$work/files" || return
  [ "$(complete_words check "")" = "B.RDT a.rdt folder " ] || fail "check FILE: $(complete_words check "")"
  [ "$(complete_words import-channels a.rdt "")" = "c.csv folder " ] || fail "import-channels IN CSV"
  [ "$(complete_words import-channels a.rdt --update c.csv "")" = "B.RDT a.rdt folder " ] || fail "import-channels OUT"
  [ "$(complete_words export-contacts a.rdt "")" = "c.csv e.txt folder " ] || fail "export-contacts OUT"
  [ "$(complete_words build "")" = "d.yaml folder " ] || fail "build TEXT"
  [ "$(complete_words generate a.rdt "")" = "f.json folder " ] || fail "generate IN PLAN"
  [ "$(complete_words generate a.rdt f.json --dry-run "")" = "B.RDT a.rdt folder " ] || fail "generate OUT"
  [ "$(complete_words validate a.rdt "")" = "" ] || fail "validate takes one file"
  cd - >/dev/null || return
}
check completion

# ---- the desktop files as the unpacked tree holds them ----
desktop() {
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --strict --no-net "$root" >"$work/appstream.log" 2>&1 ||
      { cat "$work/appstream.log"; fail "appstreamcli validate-tree"; }
  fi
}
check desktop

# ---- lintian: no error, and every warning overridden ----
if command -v lintian >/dev/null; then
  lint() {
    lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }
  }
  check lint
fi

echo "$(du -k "$deb" | cut -f1) KB package: $deb"
echo "$((checks - failed)) passed, $failed failed"
[ "$failures" -eq 0 ]
