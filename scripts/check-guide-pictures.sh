#!/bin/sh
# The guide's pictures show windows as they are: a picture is stale when its
# window's sources were committed after both the picture and the record that
# scripts/guide-pictures.sh writes beside the pictures each time it remakes them
# (a change nobody can see remakes identical pictures, which git cannot commit).
# Checks the git work tree given (default: this project); exits 1 naming the
# stale pictures, 0 when all are current or there is no git history to read.
set -eu
cd "${1:-$(dirname "$0")/..}"
command -v git > /dev/null && git rev-parse --is-inside-work-tree > /dev/null 2>&1 || exit 0

images=resources/guide/images
changed() { git log -1 --format=%ct -- "$@"; }
stale=""
while read -r picture sources; do
    shown=$(changed "$images/$picture" "$images/remade-from")
    # shellcheck disable=SC2086
    made=$(changed $sources)
    [ -n "$shown" ] && [ -n "$made" ] && [ "$made" -gt "$shown" ] && stale="$stale $picture"
done << PICTURES
purchase.png src/bills/BillWindow.cpp src/bills/TFrmIn.cpp
sale.png src/bills/BillWindow.cpp src/bills/TFrmOut.cpp
customer-return.png src/bills/BillWindow.cpp src/bills/TFrmReturnIn.cpp
receipt.png src/accounts/SettlementWindow.cpp src/accounts/TFrmGath.cpp
PICTURES
[ -z "$stale" ] || { echo "FAIL: guide pictures older than their windows:$stale (run scripts/guide-pictures.sh)" >&2; exit 1; }
echo "guide pictures current"
