#!/bin/sh
# Installs what building, running and testing need, from Debian 12's packages only.
set -e
PACKAGES="cmake g++ make pkg-config qt6-base-dev qt6-charts-dev libgl-dev libsqlcipher-dev fonts-noto-cjk qt6-translations-l10n poppler-utils dpkg-dev file libxlsxwriter-dev libminizip-dev libzint-dev zbar-tools libpq-dev postgresql qtkeychain-qt6-dev cups cups-client cups-bsd"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
