#!/bin/sh
# Makes this Debian 12 PC the shop's database server: installs PostgreSQL,
# creates the program's two users and an empty database, and lets the shop's
# network in. Run as root:  scripts/server-setup.sh [network]   (default 192.168.0.0/16)
#   brovanta_owner  owns the tables: creates them and upgrades them. Its password
#                   is asked for by the first PC's login and by a new version's.
#   brovanta        every PC logs in as it: reads and writes rows, only adds to
#                   the change log, never changes or empties a table's shape.
# Then on each PC: 登录 → 店铺服务器 → 设置…, this PC's address, user brovanta
# and its password; 初始化 (or 导入本机文件) on the first PC only.
# Run again on an installation made before the two users: it gives the tables
# to brovanta_owner and leaves brovanta only the rights above.
set -e
network=${1:-192.168.0.0/16}
[ "$(id -u)" = 0 ] || { echo "run as root" >&2; exit 1; }
apt-get update -q
apt-get install -y -q postgresql postgresql-contrib
version=$(ls /etc/postgresql | sort -V | tail -1)
conf=/etc/postgresql/$version/main

ask() {
    printf '%s' "$1" >&2
    stty -echo; read -r answer; stty echo; echo >&2
    [ -n "$answer" ] || { echo "a password is needed" >&2; exit 1; }
    printf '%s' "$answer" | sed "s/'/''/g"
}
pc_password=$(ask '各台电脑登录用的数据库用户 brovanta 的密码: ')
owner_password=$(ask '数据库所有者 brovanta_owner 的密码（建立和升级数据库时用，与上面的不同）: ')

runuser -u postgres -- psql -v ON_ERROR_STOP=1 -q <<SQL
do \$\$ begin
  if not exists (select 1 from pg_roles where rolname = 'brovanta') then
    create role brovanta login;
  end if;
  if not exists (select 1 from pg_roles where rolname = 'brovanta_owner') then
    create role brovanta_owner login;
  end if;
end \$\$;
alter role brovanta nosuperuser nocreatedb nocreaterole password '$pc_password';
alter role brovanta_owner password '$owner_password';
SQL
if ! runuser -u postgres -- psql -tAc "select 1 from pg_database where datname='brovanta'" | grep -q 1; then
    # The C collation makes text compare and sort as the program's own file does.
    runuser -u postgres -- createdb -O brovanta_owner -T template0 -E UTF8 --lc-collate=C --lc-ctype=C brovanta
fi
# What brovanta owned (an earlier installation's tables) becomes the owner's;
# then brovanta gets the rights the program uses, also on tables added later.
runuser -u postgres -- psql -v ON_ERROR_STOP=1 -q -d brovanta <<'SQL'
create extension if not exists citext;
alter database brovanta owner to brovanta_owner;
reassign owned by brovanta to brovanta_owner;
alter schema public owner to brovanta_owner;
revoke create on schema public from public;
set role brovanta_owner;
grant usage on schema public to brovanta;
revoke all on all tables in schema public from brovanta;
revoke all on all sequences in schema public from brovanta;
grant select, insert, update, delete on all tables in schema public to brovanta;
grant usage, update on all sequences in schema public to brovanta;
do $$ begin
  if to_regclass('public.shape_version') is not null then
    revoke insert, update, delete on shape_version from brovanta;
  end if;
  if to_regclass('public.oper_log') is not null then
    revoke update, delete on oper_log from brovanta;
  end if;
end $$;
alter default privileges in schema public grant select, insert, update, delete on tables to brovanta;
alter default privileges in schema public grant usage, update on sequences to brovanta;
grant temporary on database brovanta to brovanta;
reset role;
SQL

# Listen on the network, and let the shop's PCs in with a password.
sed -i "s/^#\?listen_addresses.*/listen_addresses = '*'/" "$conf/postgresql.conf"
for user in brovanta brovanta_owner; do
    grep -q "brovanta $user $network" "$conf/pg_hba.conf" || \
        echo "host brovanta $user $network scram-sha-256" >>"$conf/pg_hba.conf"
done
systemctl restart postgresql
echo "店铺服务器已就绪：数据库 brovanta，各台电脑的用户 brovanta，所有者 brovanta_owner，网络 $network"
