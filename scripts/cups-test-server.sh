#!/bin/sh
# A throwaway CUPS for the tests: `start DIR` runs a cupsd of its own with its
# configuration, spool and socket in DIR (no TCP port, not the system's) and a
# queue "till" whose device is the file DIR/till.out; `stop DIR` stops it and
# removes DIR. Without cups installed it says so and the tests skip.
# A queue without any filter never copies a job into a file: device (only a
# backend would), so the queue's driver passes raw jobs through gziptoany,
# which leaves bytes that are not compressed as they are.
set -e
action=$1
dir=$2
[ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
cupsd=$(command -v cupsd || ls /usr/sbin/cupsd 2>/dev/null || true)
stop() {
    if [ -f "$dir/cupsd.pid" ]; then
        kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
        sleep 0.2
    fi
    rm -rf "$dir"
}
case "$action" in
start)
    stop
    if [ -z "$cupsd" ] || ! command -v lpadmin >/dev/null || ! command -v lp >/dev/null; then
        echo "cups, cups-client or cups-bsd not installed (scripts/install-deps.sh installs them): the queue test skips"
        exit 0
    fi
    mkdir -p "$dir/spool/tmp" "$dir/cache" "$dir/state/certs" "$dir/ppd"
    # The scheduler hands jobs to the lp user when it runs as root.
    [ "$(id -u)" = 0 ] && chown -R lp "$dir/spool" && chmod 755 "$dir"
    cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/error_log
AccessLog $dir/access_log
PageLog $dir/page_log
FileDevice Yes
Sandboxing Relaxed
CONF
    "$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/cupsd.log" 2>&1 &
    echo $! >"$dir/cupsd.pid"
    i=0
    while [ ! -S "$dir/cups.sock" ]; do
        i=$((i + 1))
        [ $i -gt 100 ] && { cat "$dir/cupsd.log" "$dir/error_log" >&2 2>/dev/null; stop; exit 1; }
        sleep 0.1
    done
    cat >"$dir/till.ppd" <<PPD
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "TILL.PPD"
*Manufacturer: "Test"
*Product: "(Till)"
*ModelName: "Test till"
*ShortNickName: "Test till"
*NickName: "Test till, ESC/POS passed through"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsVersion: 2.4
*cupsFilter: "application/vnd.cups-raw 0 gziptoany"
*OpenUI *PageSize: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Roll
*PageSize Roll/Roll: ""
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: Roll
*PageRegion Roll/Roll: ""
*CloseUI: *PageRegion
*DefaultImageableArea: Roll
*ImageableArea Roll/Roll: "0 0 226 800"
*DefaultPaperDimension: Roll
*PaperDimension Roll/Roll: "226 800"
PPD
    lpadmin -h "$dir/cups.sock" -p till -v "file:$dir/till.out" -P "$dir/till.ppd" -E 2>/dev/null
    ;;
stop)
    stop ;;
*)
    echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
