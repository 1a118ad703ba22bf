#!/usr/bin/env bash
# Runs the site list tool through its commands and exit codes.
#   qhsl-test.sh QHSL CATALOGUE BUILT
# QHSL is the native qhsl binary, CATALOGUE the plain default catalogue
# (data/AvailableSitesExchange.qhsle), BUILT the encrypted catalogue the build made of it.
set -uo pipefail
qhsl=$1
catalogue=$2
built=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Runs qhsl with the given arguments; leaves stdout, stderr and the exit code in
# $work/out, $work/err and $status.
run() {
    "$qhsl" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

expect_status() {
    local expected=$1
    shift
    run "$@"
    if [ "$status" -ne "$expected" ]; then
        fail "qhsl $* exited $status, expected $expected; stderr: $(cat "$work/err")"
    fi
}

expect_out() {
    grep -qE -- "$1" "$work/out" || fail "output lacks /$1/: $(head -c 2000 "$work/out")"
}

expect_err() {
    grep -qE -- "$1" "$work/err" || fail "stderr lacks /$1/: $(cat "$work/err")"
}

# Writes a plain site list from lines given as arguments, each ended with CR LF.
write_list() {
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$file"
}

# --- help -------------------------------------------------------------------------------
for option in --help -h; do
    expect_status 0 "$option"
    expect_out '^usage: qhsl'
    for command in list check decrypt encrypt; do
        expect_out "^  $command "
    done
    [ -s "$work/err" ] && fail "qhsl $option wrote to stderr"
done
expect_status 0 list --help

# --- usage errors -----------------------------------------------------------------------
expect_status 2
expect_err '^qhsl: '
expect_status 2 frobnicate "$catalogue"
expect_err 'unknown command frobnicate'
expect_status 2 list
expect_status 2 check "$catalogue" "$catalogue"
expect_status 2 encrypt "$catalogue"
expect_status 2 decrypt
expect_status 2 list --bogus "$catalogue"
expect_err 'unknown option --bogus'
expect_status 2 list --plain --encrypted "$catalogue"

# --- list of the catalogue ----------------------------------------------------------------
site_count=$(grep -c '^https://' "$catalogue")
expect_status 0 list "$catalogue"
expect_out "^Sites: $site_count\$"
expect_out '^Categories: [0-9]+$'
tr -d '\r' <"$catalogue" | grep '^https://' >"$work/urls"
missing=$(grep -vxF -f <(grep -oE 'https://[^ ]*$' "$work/out") "$work/urls")
[ -z "$missing" ] || fail "list leaves out these URLs: $missing"
# Site 0 is a web search engine and comes first.
first_row=$(sed -n '/^Sites:/,$p' "$work/out" | sed -n 3p)
[[ $first_row =~ ^\ +0\ +0\ +Web\ Search\  ]] || fail "first site row: $first_row"

# --- list of a small file: order, category names, flags and aligned columns ------------
small="$work/small.txt"
write_list "$small" "Quenhollow Available Site List" "" "Alpha" "Beta Two" "" \
    10 1 "Site Ten" "https://ten.example/?q=" 1 \
    2 0 "Two" "https://two.example/search?q=" 0 \
    -3 7 "Minus Three" "http://three.example/?s=" 0
expect_status 0 list --plain "$small"
expect_out '^Categories: 2$'
expect_out '^ +0 +Alpha$'
expect_out '^ +1 +Beta Two$'
expect_out '^Sites: 3$'
ids=$(sed -n '/^Sites:/,$p' "$work/out" | awk 'NR > 2 { print $1 }' | tr '\n' ' ')
[ "$ids" = "-3 2 10 " ] || fail "site rows in order '$ids', expected ids -3 2 10"
expect_out '^ +10 +1 +Beta Two +1 +Site Ten +https://ten\.example/\?q=$'
expect_out '^ +2 +0 +Alpha +0 +Two +https://two\.example/search\?q=$'
expect_out '^ +-3 +7 +\? +0 +Minus Three +http://three\.example/\?s=$'
# Every row's name and URL start below the NAME and URL headings.
header=$(sed -n '/^Sites:/{n;p}' "$work/out")
for pair in "Site Ten|https://ten.example/" "Two|https://two.example/" \
    "Minus Three|http://three.example/"; do
    name=${pair%|*}
    url=${pair#*|}
    row=$(grep -F -- "$url" "$work/out")
    for cell in "NAME|$name" "URL|$url"; do
        heading=${cell%%|*}
        text=${cell#*|}
        at=$(awk -v h="$header" -v w="$heading" 'BEGIN { print index(h, w) }')
        [ "${row:$((at - 1)):${#text}}" = "$text" ] ||
            fail "$text is not in the $heading column of: $row"
    done
done

# --- encrypt and decrypt ----------------------------------------------------------------
encrypted="$work/AvailableSites.qhsl"
echo "something that was here before" >"$encrypted"
expect_status 0 encrypt "$catalogue" "$encrypted"
[ "$(stat -c %s "$encrypted")" -eq "$(stat -c %s "$catalogue")" ] ||
    fail "encrypted file differs in size from the plain one"
cmp -s "$encrypted" "$catalogue" && fail "encrypt wrote the plain text unchanged"
head -c 30 "$encrypted" | grep -q 'Quenhollow' && fail "encrypted file shows the signature"
expect_status 0 decrypt "$encrypted" "$work/decrypted.txt"
cmp "$work/decrypted.txt" "$catalogue" || fail "decrypt(encrypt(catalogue)) differs from it"
ls "$work" | grep -q 'qhsl-new' && fail "a temporary file was left behind"

# The key stream, computed here on its own: RC4 keyed with the first 5 bytes of the MD5
# digest of the pass phrase and 11 zero bytes.
if command -v python3 >/dev/null; then
    python3 - "$catalogue" "$encrypted" <<'EOF' || fail "encrypted bytes are not the expected RC4 stream"
import hashlib, sys
key = hashlib.md5(b"K72M19TQ4XBN").digest()[:5] + bytes(11)
state = list(range(256))
j = 0
for i in range(256):
    j = (j + state[i] + key[i % len(key)]) % 256
    state[i], state[j] = state[j], state[i]
plain = open(sys.argv[1], "rb").read()
out = bytearray()
i = j = 0
for byte in plain:
    i = (i + 1) % 256
    j = (j + state[i]) % 256
    state[i], state[j] = state[j], state[i]
    out.append(byte ^ state[(state[i] + state[j]) % 256])
sys.exit(0 if bytes(out) == open(sys.argv[2], "rb").read() else 1)
EOF
else
    echo "note: python3 not found, the key stream is not checked on its own"
fi

# The encryption rule: a path without the exchange name reads as encrypted.
expect_status 0 list "$encrypted"
expect_out "^Sites: $site_count\$"
expect_status 4 list --plain "$encrypted"
expect_err 'not a plain site list, but an encrypted one'
expect_status 4 list "$small"
expect_err 'not an encrypted site list, but a plain one'
exchange_dir="$work/AvailableSitesExchange.qhsle.d"
mkdir "$exchange_dir"
cp "$small" "$exchange_dir/any-name.txt"
expect_status 0 list "$exchange_dir/any-name.txt"
expect_status 4 list --encrypted "$exchange_dir/any-name.txt"

# Each direction refuses the other kind of file, and the output stays as it was.
echo "keep me" >"$work/keep"
expect_status 4 encrypt "$encrypted" "$work/keep"
expect_status 4 decrypt "$catalogue" "$work/keep"
[ "$(cat "$work/keep")" = "keep me" ] || fail "a refused command changed its output file"

# --- files that are missing or not site lists -------------------------------------------
for command in list check; do
    expect_status 3 "$command" "$work/no-such-file"
    expect_err 'no-such-file'
done
expect_status 3 encrypt "$work/no-such-file" "$work/out.qhsl"
expect_status 3 decrypt "$work/no-such-file" "$work/out.qhsl"
[ -e "$work/out.qhsl" ] && fail "a failed command created its output file"
expect_status 3 encrypt "$catalogue" "$work/no-such-folder/out.qhsl"

printf 'Quenhollow Available Site List\r\nWeb\r\n' >"$work/not-a-list.txt"
for command in list check; do
    expect_status 4 "$command" --plain "$work/not-a-list.txt"
    expect_err 'is not a site list'
    expect_status 4 "$command" "$work/not-a-list.txt"
done
expect_status 4 encrypt "$work/not-a-list.txt" "$work/out.qhsl"
[ -e "$work/out.qhsl" ] && fail "encrypt of a non-site-list created its output file"

# --- the catalogue the build encrypted: the same sites, nothing to report --------------
expect_status 0 list --plain "$catalogue"
cp "$work/out" "$work/plain-list"
expect_status 0 list "$built"
cmp -s "$work/out" "$work/plain-list" || fail "the built catalogue does not list as $catalogue"
expect_status 0 check "$built"
expect_out ": [0-9]+ categories, $site_count sites, no problems found\$"

# --- check --------------------------------------------------------------------------------
expect_status 0 check "$catalogue"
expect_out 'no problems found'
expect_status 0 check "$encrypted"

# Values at the limits are fine.
name259=$(printf 'n%.0s' $(seq 259))
url2082="HTTPS://e.example/?q=$(printf 'u%.0s' $(seq $((2082 - 21))))"
write_list "$work/limits.txt" "Quenhollow Available Site List" "" "One" "Two" "" \
    -3 1 "$name259" "$url2082" 0 \
    0 0 "Mixed Case" "Http://example.com/?q=" 1
expect_status 0 check --plain "$work/limits.txt"

# One of each problem, at known lines.
url2083="https://e.example/?q=$(printf 'u%.0s' $(seq $((2083 - 21))))"
bad="$work/bad.txt"
write_list "$bad" "Quenhollow Available Site List" "" "Web" "Docs" "" \
    0 0 "Good" "https://example.com/?q=" 0 \
    0 1 "Same Id" "https://example.org/?q=" 0 \
    1 2 "Category Too Big" "https://example.net/?q=" 0 \
    2 0 "" "http://example.com/" 0 \
    3 0 "Ftp" "ftp://example.com/" 0 \
    4 0 "n$name259" "https://x.example/" 0 \
    5 1 "Long URL" "$url2083" 0 \
    6 -1 "Negative Category" "https://a.example/" 0 \
    7 0 "No URL" "" 0
printf '8\r\n0\r\nCut' >>"$bad"
expect_status 1 check --plain "$bad"
expect_out ":11: .*id 0 .*line 6"
expect_out ":17: .*category 2 "
expect_out ":23: .*empty name"
expect_out ":29: .*http"
expect_out ":33: .*260 "
expect_out ":39: .*2083 "
expect_out ":42: .*category -1 "
expect_out ":49: .*empty URL"
expect_out ":51: .*cut short"
expect_out ": 9 problems found$"

# A record cut inside its last line, and one cut after a complete line, are both found.
write_list "$work/cut.txt" "Quenhollow Available Site List" "" "Web" "" \
    0 0 "Good" "https://example.com/?q=" 0 1
expect_status 1 check --plain "$work/cut.txt"
expect_out ":10: .*cut short"
head -c -2 "$work/cut.txt" >"$work/cut2.txt"
expect_status 1 check --plain "$work/cut2.txt"
expect_out ":10: .*cut short"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all qhsl checks passed"
