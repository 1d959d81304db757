#!/bin/sh
# The guide-picture check on a throw-away history, one commit a day: a window
# changed after its pictures makes them stale until the pictures, or the record
# of the commit they were remade from, are committed after it.
set -eu
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-guide-pictures.sh"
command -v git > /dev/null || { echo "SKIP: git is not installed"; exit 77; }
unset GIT_DIR GIT_WORK_TREE GIT_INDEX_FILE
repo=$(mktemp -d)
trap 'rm -rf "$repo"' EXIT
cd "$repo"
git init -q .
day=0
# commit <file>...: changes each file and commits them a day after the commit before.
commit() {
    day=$((day + 1))
    for file in "$@"; do
        mkdir -p "$(dirname "$file")"
        echo "$day" >> "$file"
    done
    git add -- "$@"
    GIT_AUTHOR_DATE="$((1700000000 + day * 86400)) +0000" GIT_COMMITTER_DATE="$((1700000000 + day * 86400)) +0000" \
        git -c user.name=test -c user.email=test@example.invalid -c commit.gpgsign=false commit -q -m "day $day"
}
failures=0
# expect <what the check says, or "current">: runs the check and compares.
expect() {
    if said=$("$check" "$repo" 2>&1); then said=current; fi
    case "$said" in
        *"$1"*) ;;
        *) echo "FAIL after day $day: expected \"$1\", the check said: $said"; failures=$((failures + 1)) ;;
    esac
}
images=resources/guide/images

commit src/bills/BillWindow.cpp src/bills/TFrmIn.cpp src/bills/TFrmOut.cpp src/bills/TFrmReturnIn.cpp \
       src/accounts/SettlementWindow.cpp src/accounts/TFrmGath.cpp
commit $images/purchase.png $images/sale.png $images/customer-return.png $images/receipt.png
expect current
# A change of the bill window nobody remade the pictures for.
commit src/bills/BillWindow.cpp
expect "older than their windows: purchase.png sale.png customer-return.png ("
# Remade, the pictures came out identical: the record alone is committed.
commit $images/remade-from
expect current
# A change of the receipt window makes only its picture stale, until it is remade.
commit src/accounts/TFrmGath.cpp
expect "older than their windows: receipt.png ("
commit $images/receipt.png
expect current

[ "$failures" -eq 0 ] || exit 1
echo PASS
