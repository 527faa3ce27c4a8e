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

expect normalise 0 "" -- "$cli" normalise "$sample" "$work/copy.rdt"  # equal: see diff-equal
expect normalise-create 12 "^Could not create $work/no/dir/x.rdt: No such file or directory$" -- "$cli" normalise "$sample" "$work/no/dir/x.rdt"
mkdir -p "$work/folder.rdt"
expect normalise-folder 12 "^Could not create $work/folder.rdt: Is a directory$" -- "$cli" normalise "$sample" "$work/folder.rdt"

expect export-csv 0 "" -- "$cli" export-contacts "$sample" "$work/contacts.csv"
checks=$((checks + 1))
grep -q '^2345678,Z9ZZ,Pat$' "$work/contacts.csv" || { echo "FAIL export-csv: callsign line missing"; failures=$((failures + 1)); }
expect export-format 23 "only .txt or .csv" -- "$cli" export-contacts "$sample" "$work/contacts.xls"
printf '100,New Net,-\n9,Local Net,-\n' >"$work/more.csv"
expect import 0 "imported: 1" -- "$cli" import-contacts "$sample" "$work/more.csv" "$work/more.rdt"
expect import-result 0 "contacts: 7 of 1000" -- "$cli" check "$work/more.rdt"
expect import-open 33 "Could not open the file" -- "$cli" import-contacts "$sample" "$work/none.csv" "$work/x.rdt"
expect import-save 12 "Could not create $work/no/dir/x.rdt" -- "$cli" import-contacts "$sample" "$work/more.csv" "$work/no/dir/x.rdt"
# Channels as CSV: the own layout comes back unchanged with --update; an analogue list adds rows.
expect export-channels 0 "" -- "$cli" export-channels "$sample" "$work/channels.csv"
checks=$((checks + 1))
head -1 "$work/channels.csv" | grep -q $'^number,name,mode,.*,zones\r$' || { echo "FAIL export-channels: header"; failures=$((failures + 1)); }
expect import-channels-update 0 "^updated 8$" -- "$cli" import-channels "$sample" "$work/channels.csv" "$work/ch.rdt" --update
checks=$((checks + 1))
cmp -s "$sample" "$work/ch.rdt" || { echo "FAIL import-channels-update: the exported channels must come back unchanged"; failures=$((failures + 1)); }
printf 'Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,Mode\r\n0,Rep,439.1,-,7.6,Tone,88.5,FM\r\n1,Air,433.1,,,,,AM\r\n' >"$work/analogue.csv"
expect import-channels-skipped 0 '^line 3: mode "AM" is not one the radio has$' -- "$cli" import-channels "$sample" "$work/analogue.csv" "$work/ch.rdt"
expect import-channels-added 0 "channels: 9 of 1000" -- "$cli" check "$work/ch.rdt"
expect import-channels-dry-run 0 "^added 1$" -- "$cli" import-channels "$sample" "$work/analogue.csv" "$work/dry.rdt" --dry-run
checks=$((checks + 1))
[ ! -e "$work/dry.rdt" ] || { echo "FAIL import-channels-dry-run: nothing may be written"; failures=$((failures + 1)); }
expect import-channels-header 3 "No channel list header" -- "$cli" import-channels "$sample" "$work/more.csv" "$work/ch.rdt"
expect import-channels-load 2 "Code plug file size error" -- "$cli" import-channels "$work/short.rdt" "$work/analogue.csv" "$work/ch.rdt"
expect export-channels-save 12 "Could not create the file" -- "$cli" export-channels "$sample" "$work/no/dir/x.csv"
expect export-channels-load 2 "Code plug file size error" -- "$cli" export-channels "$work/short.rdt" "$work/x.csv"
expect import-channels-save 12 "Could not create $work/no/dir/x.rdt: No such file" -- "$cli" import-channels "$sample" "$work/analogue.csv" "$work/no/dir/x.rdt"
expect import-channels-usage 64 "usage: plugwright-cli import-channels" -- "$cli" import-channels "$sample" "$work/analogue.csv" "$work/ch.rdt" --frob
expect import-channels-help 0 "^  3 *CSV cannot be read" -- "$cli" import-channels --help
expect validate-clean 0 "" -- "$cli" validate "$sample"
cp "$sample" "$work/key.rdt"
printf '\xe7\x03' | dd of="$work/key.rdt" bs=1 seek=$((0x2351)) conv=notrunc status=none  # number key 0: contact 999
expect validate-finding 1 "^number keys 0: Contact names contact 999, which is not in use.$" -- "$cli" validate "$work/key.rdt"
expect validate-load 2 "short.rdt: Code plug file size error" -- "$cli" validate "$work/short.rdt"
expect validate-help 0 "^  1 *findings" -- "$cli" validate --help
expect validate-help-own 0 "" -- eval '! "$cli" validate --help | grep -e "^  12" -e "^  0 *success"'
expect help-statuses 0 "^  12, 13 *OUT cannot be written" -- "$cli" --help
expect version 0 "^plugwright-cli [0-9]*\.[0-9]*\.[0-9]*$" -- "$cli" --version
expect usage-none 64 "usage: plugwright-cli" -- "$cli"
expect usage-unknown 64 "unknown command: frob" -- "$cli" frob
# One positional argument too few or too many: the usage. Fixed counts share one check (check;
# each row's count is proven by its command's run), dump's OUT is optional, the rest count
# their own. Files that do not exist, so that a command run by mistake fails otherwise.
while read -r command few many options; do
  files=()
  for ((k = 0; k < many; ++k)); do files+=("$work/none$k"); done
  expect "$command-few" 64 "^usage: plugwright-cli $command " -- "$cli" "$command" "${files[@]:0:few}" $options
  expect "$command-many" 64 "^usage: plugwright-cli $command " -- "$cli" "$command" "${files[@]}" $options
done <<'ROWS'
check 0 2
import-channels 2 4
dump 0 3
import-userdb 2 4
sort 1 3 --list contacts --by id
ROWS

# The DMR user database: a byte order mark, CRLF, a quoted comma, a present ID, a malformed row.
printf '\xef\xbb\xbfRADIO_ID,CALLSIGN,FIRST_NAME,LAST_NAME,CITY,STATE,COUNTRY\r\n2620001,DL1ABC,Jane,,"Stoke, Staffs",,Germany\r\n2345678,Z9ZZ,Pat,,,,Germany\r\n3100001,W1AW,Max,,,,United States\r\nabc,BAD,,,,,Germany\r\n' >"$work/userdb.csv"
expect userdb 0 "^added 1 present 1 malformed 1 no room 0 $" -- bash -c '"$0" import-userdb "$1" "$2" "$3" --country germany 2>/dev/null | tr "\n" " "' "$cli" "$sample" "$work/userdb.csv" "$work/userdb.rdt"
expect userdb-result 0 "contacts: 7 of 1000" -- "$cli" check "$work/userdb.rdt"
expect userdb-malformed 0 "userdb.csv:5: RADIO_ID is not a whole number in 1..16777215" -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/userdb2.rdt" --callsign-prefix W1,Q
rm -f "$work/dry.rdt"
expect userdb-dry 0 "^added 1$" -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/dry.rdt" --dry-run --id-prefix=310
checks=$((checks + 1))
[ ! -e "$work/dry.rdt" ] || { echo "FAIL userdb-dry: a dry run must write nothing"; failures=$((failures + 1)); }
expect userdb-load 2 "Code plug file size error" -- "$cli" import-userdb "$work/short.rdt" "$work/userdb.csv" "$work/x.rdt"
expect userdb-missing 3 "Could not open the file" -- "$cli" import-userdb "$sample" "$work/none.csv" "$work/x.rdt"
expect userdb-layout 3 "not a user database" -- "$cli" import-userdb "$sample" "$work/more.csv" "$work/x.rdt"
expect userdb-save 12 "Could not create $work/no/dir/x.rdt: No such file" -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/no/dir/x.rdt"
# A country is one option's whole value, given again for another; a filter that names nothing
# of the file is an error rather than an import of nothing.
printf '4500001,HL1AB,Kim,,,,"Korea, Republic of"\r\n' >>"$work/userdb.csv"
expect userdb-countries 0 "^added 2 present 1 " -- bash -c '"$0" import-userdb "$1" "$2" "$3" --country "korea, republic of" --country Germany --dry-run 2>/dev/null | tr "\n" " "' "$cli" "$sample" "$work/userdb.csv" "$work/x.rdt"
expect userdb-country-unknown 2 '^--country "Atlantis" matches no row of' -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/x.rdt" --country Germany --country Atlantis
expect userdb-prefix-digits 2 '^--id-prefix "26x" is not digits$' -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/x.rdt" --id-prefix 262,26x
expect userdb-no-value 64 "usage: plugwright-cli import-userdb" -- "$cli" import-userdb "$sample" "$work/userdb.csv" "$work/x.rdt" --country
expect sort 0 "^moved 8$" -- "$cli" sort "$sample" "$work/sorted.rdt" --list channels --by name
expect sort-references 0 "" -- "$cli" validate "$work/sorted.rdt"
expect sort-result 1 "moved 1 -> 3 'Repeater A TS1'" -- "$cli" diff "$sample" "$work/sorted.rdt"
expect sort-usage 64 "usage: plugwright-cli sort" -- "$cli" sort "$sample" "$work/x.rdt" --list contacts --by rx_frequency
expect sort-no-value 64 "usage: plugwright-cli sort" -- "$cli" sort "$sample" "$work/x.rdt" --list contacts --by
expect sort-unknown 64 "usage: plugwright-cli sort" -- "$cli" sort "$sample" "$work/x.rdt" --list contacts --by id --frob
expect sort-save 12 "Could not create $work/no/dir/x.rdt: No such file" -- "$cli" sort "$sample" "$work/no/dir/x.rdt" --list contacts --by id
expect sort-contacts 0 "^moved 5$" -- "$cli" sort "$sample" "$work/sorted.rdt" --list contacts --by id
expect sort-contacts-result 1 "moved 6 -> 4 'Club Net'" -- "$cli" diff "$sample" "$work/sorted.rdt"
expect sort-load 2 "Code plug file size error" -- "$cli" sort "$work/short.rdt" "$work/x.rdt" --list contacts --by id

# The text form: dump, edit, build, diff. A whole file ending in its matching DfuSe CRC has
# the CRC-32 ffffffff as gzip computes it: the sample's matches, and a build or a normalise
# that changes bytes keeps it matching; one that did not match is kept as it stands.
crc_ok() { [ "$(gzip -c <"$1" | tail -c 8 | head -c 4 | od -An -tx1)" = " ff ff ff ff" ]; }
stale() { cp "$1" "$2" && printf '\0\0\0\0' | dd of="$2" bs=1 seek=262705 conv=notrunc status=none; }
expect sample-crc 0 "" -- crc_ok "$sample"
expect dump 0 "^suffix_crc: matches" -- "$cli" dump "$sample"
"$cli" dump "$sample" "$work/sample.yaml"
sed -e "s/name: 'Hotspot'/name: 'Hotspot 2'/" -e "0,/contact: 1  # Local Net/s//contact: 999/" \
  "$work/sample.yaml" >"$work/edited.yaml"
expect build-warns 0 "^warning: channels 1: .* contact 999" -- "$cli" build "$work/edited.yaml" "$work/edited.rdt"
expect build-save 12 "Could not create $work/no/dir/x.rdt" -- "$cli" build "$work/edited.yaml" "$work/no/dir/x.rdt"
expect build-crc 0 "" -- crc_ok "$work/edited.rdt"
expect diff 1 "changed 5 'Hotspot': name: 'Hotspot' -> 'Hotspot 2'" -- "$cli" diff "$sample" "$work/edited.rdt"
expect diff-equal 0 "" -- "$cli" diff "$sample" "$work/copy.rdt"
expect diff-load 2 "short.rdt: Code plug file size error" -- "$cli" diff "$sample" "$work/short.rdt"
stale "$work/edited.rdt" "$work/stale.rdt" && "$cli" dump "$work/stale.rdt" "$work/stale.yaml"
expect dump-stale 0 "^suffix_crc: 0x00000000" -- cat "$work/stale.yaml"
expect build-stale 0 "" -- "$cli" build "$work/stale.yaml" "$work/stale-built.rdt"
expect build-stale-kept 0 "" -- cmp "$work/stale.rdt" "$work/stale-built.rdt"
# Channel 8 moved to 12: loading packs it, so normalise changes bytes.
sed '/^channels:/,/^dtmf/ s/^- number: 8$/- number: 12/' "$work/sample.yaml" >"$work/gap.yaml"
"$cli" build "$work/gap.yaml" "$work/gap.rdt" && stale "$work/gap.rdt" "$work/gap-stale.rdt"
"$cli" normalise "$work/gap.rdt" "$work/packed.rdt" && "$cli" normalise "$work/gap-stale.rdt" "$work/packed-stale.rdt"
expect normalise-crc 0 "" -- eval '! cmp -s "$work/gap.rdt" "$work/packed.rdt" && crc_ok "$work/packed.rdt"'
expect normalise-stale-kept 0 "" -- eval '! cmp -s "$work/gap-stale.rdt" "$work/packed-stale.rdt" &&
  [ "$(tail -c 4 "$work/packed-stale.rdt" | od -An -tx1)" = " 00 00 00 00" ]'
sed -e "s/radio_name: 'PW Handheld'/radio_name: \&n 'PW Handheld'/" -e "s/boot_line_1: 'Plugwright'/boot_line_1: *n/" \
  "$work/sample.yaml" >"$work/alias.yaml"
expect build-alias 3 "alias.yaml: line [0-9]*: text: an anchor (&n)" -- "$cli" build "$work/alias.yaml" "$work/alias.rdt"
expect dump-unwritable 3 "could not write the text" -- "$cli" dump "$sample" "$work/no/dir/x.yaml"

# The wizard's plan: lists relative to the plan, a report, and the statuses of a plan or list
# that cannot be read and of a plan that makes nothing.
mkdir -p "$work/wizard"
printf '{"rptrs": [{"callsign": "DB0AA", "frequency": "439.5625", "offset": "-7.6", "color_code": 1, "ipsc_network": "BM"},\n {"callsign": "DB0BB", "frequency": "145.6", "offset": "-0.6", "color_code": 1}]}' >"$work/wizard/rptrs.json"
plan() { printf '{"repeaters": {"file": "rptrs.json"},\n "talkgroups": {"sets": [{"networks": ["%s"], "slots": {"1": [91], "2": [9]}}]}%s}' "$1" "$2" >"$work/wizard/plan.json"; }
plan BM ""
expect generate 0 "^channels 2$" -- "$cli" generate "$sample" "$work/wizard/plan.json" "$work/gen.rdt"
expect generate-skipped 0 "^DB0BB: receive frequency 145.60000 MHz is outside the radio's range 400-480 MHz$" -- "$cli" generate "$sample" "$work/wizard/plan.json" "$work/gen.rdt"
expect generate-result 0 "channels: 10 of 1000" -- "$cli" check "$work/gen.rdt"
expect generate-dry-run 0 "^rx_group_lists 2$" -- "$cli" generate "$sample" "$work/wizard/plan.json" "$work/gendry.rdt" --dry-run
[ ! -e "$work/gendry.rdt" ] || { echo "FAIL generate-dry-run: nothing may be written"; failures=$((failures + 1)); }
plan TGIF ""
expect generate-nothing 3 "^channels 0$" -- "$cli" generate "$sample" "$work/wizard/plan.json" "$work/gen0.rdt"
[ ! -e "$work/gen0.rdt" ] || { echo "FAIL generate-nothing: nothing may be written"; failures=$((failures + 1)); }
plan BM $',\n "colour": 1'
expect generate-plan-error 2 "plan.json:3: colour: not a key of the plan" -- "$cli" generate "$sample" "$work/wizard/plan.json" "$work/gen.rdt"
expect generate-no-plan 2 "none.json: Could not open the file" -- "$cli" generate "$sample" "$work/wizard/none.json" "$work/gen.rdt"
expect generate-usage 64 "usage: plugwright-cli generate IN PLAN OUT" -- "$cli" generate "$sample" "$work/wizard/plan.json"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
