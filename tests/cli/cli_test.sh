#!/usr/bin/env bash
# The command-line companion end to end: output and exit status of every command.
# Usage: cli_test.sh PATH-TO-plugwright-cli SAMPLE.rdt WORK-DIR
set -u
cli=$1 sample=$2 work=$3
mkdir -p "$work"
failures=0
checks=0
expect() {  # expect NAME STATUS PATTERN -- command...
  local name=$1 status=$2 pattern=$3
  shift 4
  checks=$((checks + 1))
  local out rc
  out=$("$@" 2>&1)
  rc=$?
  if [ "$rc" -ne "$status" ] || ! grep -q -- "$pattern" <<<"$out"; then
    echo "FAIL $name: status $rc (want $status), output:"
    echo "$out" | sed 's/^/    /'
    failures=$((failures + 1))
  fi
}

expect check-sample 0 "modified by loading: no" -- "$cli" check "$sample"
expect check-lists 0 "channels: 8 of 1000" -- "$cli" check "$sample"
head -c 1000 "$sample" >"$work/short.rdt"
expect check-size 3 "Code plug file size error" -- "$cli" check "$work/short.rdt"
expect check-missing 1 "Could not open the code plug file" -- "$cli" check "$work/none.rdt"
{ printf 'DfusE'; tail -c +6 "$sample"; } >"$work/sig.rdt"
expect check-signature 6 "no DfuSe signature" -- "$cli" check "$work/sig.rdt"

expect normalise 0 "" -- "$cli" normalise "$sample" "$work/copy.rdt"
checks=$((checks + 1))
cmp -s "$sample" "$work/copy.rdt" || { echo "FAIL normalise: a clean file must be copied byte for byte"; failures=$((failures + 1)); }
expect normalise-create 12 "Could not create the code plug file" -- "$cli" normalise "$sample" "$work/no/dir/x.rdt"

expect export-csv 0 "" -- "$cli" export-contacts "$sample" "$work/contacts.csv"
checks=$((checks + 1))
grep -q '^2345678,Z9ZZ,Pat$' "$work/contacts.csv" || { echo "FAIL export-csv: callsign line missing"; failures=$((failures + 1)); }
expect export-format 23 "only .txt or .csv" -- "$cli" export-contacts "$sample" "$work/contacts.xls"
printf '100,New Net,-\n9,Local Net,-\n' >"$work/more.csv"
expect import 0 "imported: 1" -- "$cli" import-contacts "$sample" "$work/more.csv" "$work/more.rdt"
expect import-result 0 "contacts: 7 of 1000" -- "$cli" check "$work/more.rdt"
expect import-open 33 "Could not open the file" -- "$cli" import-contacts "$sample" "$work/none.csv" "$work/x.rdt"
expect validate-clean 0 "" -- "$cli" validate "$sample"
cp "$sample" "$work/key.rdt"
printf '\xe7\x03' | dd of="$work/key.rdt" bs=1 seek=$((0x2351)) conv=notrunc status=none  # number key 0: contact 999
expect validate-finding 1 "^number keys 0: Contact names contact 999, which is not in use.$" -- "$cli" validate "$work/key.rdt"
expect validate-load 2 "short.rdt: Code plug file size error" -- "$cli" validate "$work/short.rdt"
expect validate-usage 64 "usage: plugwright-cli validate IN" -- "$cli" validate
expect validate-help 0 "Exits 0 when clean" -- "$cli" validate --help
expect help 0 "usage: plugwright-cli" -- "$cli" --help
expect usage-none 64 "usage: plugwright-cli" -- "$cli"
expect usage-count 64 "usage: plugwright-cli check FILE" -- "$cli" check
expect usage-unknown 64 "unknown command: frob" -- "$cli" frob

# Files that are not regular: refused at once, never waited on.
mkdir -p "$work/folder.rdt" "$work/folder.csv"
rm -f "$work/pipe.rdt" "$work/pipe.csv" && mkfifo "$work/pipe.rdt" "$work/pipe.csv"
expect check-folder 1 "Could not open the code plug file" -- "$cli" check "$work/folder.rdt"
expect check-pipe 1 "Could not open the code plug file" -- timeout 20 "$cli" check "$work/pipe.rdt"
expect normalise-folder 12 "Could not create the code plug file" -- "$cli" normalise "$sample" "$work/folder.rdt"
expect normalise-pipe 12 "Could not create the code plug file" -- timeout 20 "$cli" normalise "$sample" "$work/pipe.rdt"
expect export-folder 24 "Could not create the file" -- "$cli" export-contacts "$sample" "$work/folder.csv"
expect import-pipe 33 "Could not open the file" -- timeout 20 "$cli" import-contacts "$sample" "$work/pipe.csv" "$work/x.rdt"

# A symbolic link is followed: the file it names receives the save, the link stays.
printf 'old' >"$work/real.rdt"
ln -sfn real.rdt "$work/link.rdt"
expect normalise-link 0 "" -- "$cli" normalise "$sample" "$work/link.rdt"
checks=$((checks + 1))
{ [ -L "$work/link.rdt" ] && cmp -s "$sample" "$work/real.rdt"; } ||
  { echo "FAIL normalise-link: the link must stay and its file be written"; failures=$((failures + 1)); }

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
