#!/bin/sh
# A throwaway PostgreSQL for the tests: `start DIR` makes a cluster in DIR and
# starts it on a socket in DIR (no TCP port); `stop DIR` stops it and removes DIR.
# `start DIR durable` keeps every commit on disk, as a shop's server does (for the
# benches); without it the tests' server skips the syncs.
# The server refuses to run as root, so it runs as the postgres user then.
set -e
action=$1
dir=$2
durable=$3
[ -n "$dir" ] || { echo "usage: $0 start DIR [durable] | stop DIR" >&2; exit 2; }
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -x "$bin/initdb" ] || { echo "PostgreSQL server not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
as_server() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "$action" in
start)
    if [ -f "$dir/data/postmaster.pid" ]; then as_server "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true; fi
    rm -rf "$dir"
    mkdir -p "$dir"
    [ "$(id -u)" = 0 ] && chown postgres "$dir"
    as_server "$bin/initdb" -D "$dir/data" --locale=C -E UTF8 -U postgres -A trust >"$dir/initdb.log" 2>&1 \
        || { cat "$dir/initdb.log" >&2; exit 1; }
    # The roles that must give a password: one for the tests of a login that asks
    # for it, and the owner of the tables, as a shop's server has them.
    as_server sed -i -e '1i local all brovanta_password scram-sha-256' \
        -e '1i local all brovanta_owner scram-sha-256' "$dir/data/pg_hba.conf"
    syncs="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    [ "$durable" = durable ] && syncs="-c fsync=on -c synchronous_commit=on -c full_page_writes=on"
    as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' $syncs -c max_connections=200" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    as_server "$bin/psql" -h "$dir" -U postgres -d postgres -qc \
        "create role brovanta_password login superuser password 'brovanta-secret';
         create role brovanta_owner login password 'brovanta-owner-secret';
         create role brovanta login" >/dev/null
    ;;
stop)
    [ -f "$dir/data/postmaster.pid" ] && as_server "$bin/pg_ctl" -D "$dir/data" -m fast stop >/dev/null
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
