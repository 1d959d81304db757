#!/bin/sh
# Makes this Debian 12 PC the shop's database server: installs PostgreSQL,
# creates the user and an empty database for the program, and lets the shop's
# network in. Run as root:  scripts/server-setup.sh [network]   (default 192.168.0.0/16)
# Then on each PC: 登录 → 店铺服务器 → 设置…, this PC's address, user brovanta
# and the password set here; 初始化 (or 导入本机文件) on the first PC only.
set -e
network=${1:-192.168.0.0/16}
[ "$(id -u)" = 0 ] || { echo "run as root" >&2; exit 1; }
apt-get update -q
apt-get install -y -q postgresql postgresql-contrib
version=$(ls /etc/postgresql | sort -V | tail -1)
conf=/etc/postgresql/$version/main

printf '数据库用户 brovanta 的密码: '
stty -echo; read -r password; stty echo; echo
[ -n "$password" ] || { echo "a password is needed" >&2; exit 1; }

runuser -u postgres -- psql -v ON_ERROR_STOP=1 -q <<SQL
do \$\$ begin
  if not exists (select 1 from pg_roles where rolname = 'brovanta') then
    create role brovanta login;
  end if;
end \$\$;
alter role brovanta password '$(printf '%s' "$password" | sed "s/'/''/g")';
SQL
if ! runuser -u postgres -- psql -tAc "select 1 from pg_database where datname='brovanta'" | grep -q 1; then
    # The C collation makes text compare and sort as the program's own file does.
    runuser -u postgres -- createdb -O brovanta -T template0 -E UTF8 --lc-collate=C --lc-ctype=C brovanta
fi
runuser -u postgres -- psql -q -d brovanta -c 'create extension if not exists citext'

# Listen on the network, and let the shop's PCs in with a password.
sed -i "s/^#\?listen_addresses.*/listen_addresses = '*'/" "$conf/postgresql.conf"
grep -q "brovanta $network" "$conf/pg_hba.conf" || \
    echo "host brovanta brovanta $network scram-sha-256" >>"$conf/pg_hba.conf"
systemctl restart postgresql
echo "店铺服务器已就绪：数据库 brovanta，用户 brovanta，网络 $network"
