#!/usr/bin/env bash
# Signs a Windows binary in place (Authenticode, SHA-256) with a PKCS#12 certificate;
# the certificate's password comes from the environment variable VP_SIGN_PASSWORD.
#   sign.sh CERTIFICATE.pfx FILE
set -euo pipefail
pfx=$1
file=$2
if ! command -v osslsigncode >/dev/null; then
    echo "sign.sh: osslsigncode is missing (tools/install-deps.sh installs it)" >&2
    exit 1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vp-sign.XXXXXX")
trap 'rm -rf "$work"' EXIT
signed=$work/signed
# The password goes through a pipe, not the command line, where other users could see it.
osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "${VP_SIGN_PASSWORD-}") \
    -h sha256 -n Vantapicker -i https://www.quenhollow.example/vantapicker/ \
    -in "$file" -out "$signed" >/dev/null
cat "$signed" >"$file"
