#!/usr/bin/env bash
# Makes the login role of one PC of the school on the class server and
# prints what that PC needs: the [class_server] lines of its Sorelka.conf and
# the content of its password file. Run it as the database's owner, with
# psql's usual variables (PGHOST, PGPORT, PGUSER, PGDATABASE) saying where
# the database is, once sorelka_server.sql is loaded:
#   sudo -u postgres packaging/server/add-pc.sh pc_room1_03
# The printed lines name the server as the PCs reach it and where the files
# lie on the PC; these change them:
#   SORELKA_SERVER_HOST    the server's name in its certificate (default: hostname -f)
#   SORELKA_SERVER_PORT    (default: PGPORT, else 5432)
#   SORELKA_DATABASE       (default: PGDATABASE, else sorelka)
#   SORELKA_PASSWORD_FILE  (default: /etc/sorelka/server-password)
#   SORELKA_CA_FILE        the school's CA certificate (default: /etc/sorelka/school-ca.crt)
# The password is made here at random and goes to the server only inside
# psql's standard input (never on a command line); it is not logged when run
# by a superuser.
set -euo pipefail

name="${1:-}"
if [ $# -ne 1 ] || ! [[ "$name" =~ ^[a-z_][a-z0-9_]{0,62}$ ]]; then
    echo "使い方: add-pc.sh NAME（NAME は英小文字・数字・「_」で 63 文字まで、数字で始めない。例: pc_room1_03）" >&2
    exit 2
fi
database="${SORELKA_DATABASE:-${PGDATABASE:-sorelka}}"
host="${SORELKA_SERVER_HOST:-$(hostname -f)}"
port="${SORELKA_SERVER_PORT:-${PGPORT:-5432}}"
password_file="${SORELKA_PASSWORD_FILE:-/etc/sorelka/server-password}"
ca_file="${SORELKA_CA_FILE:-/etc/sorelka/school-ca.crt}"
# About 30 letters and digits (24 random bytes).
password="$(head -c 24 /dev/urandom | base64 | tr -d '/+=\n')"

loaded="$(psql -X -q -t -A -d "$database" -c "select to_regclass('public.pc_owners') is not null")"
if [ "$loaded" != t ]; then
    echo "データベース $database に sorelka_server.sql がまだ読みこまれていません。先に読みこんでください。" >&2
    exit 1
fi
psql -X -q -d "$database" -v ON_ERROR_STOP=1 >/dev/null <<SQL
\set name '$name'
\set password '$password'
select current_setting('is_superuser') = 'on' as superuser \gset
begin;
\if :superuser
set local log_statement = 'none';
\endif
create role :"name" login password :'password' in role sorelka_writer;
commit;
SQL

cat <<CONF
# Sorelka.conf of PC $name (/etc/xdg/Sorelka/Sorelka.conf):
[class_server]
host=$host
port=$port
database=$database
user=$name
password_file=$password_file
sslmode=verify-full
sslrootcert=$ca_file
# $password_file on PC $name (chmod 600, owned by the account the pupils sign in with):
$password
CONF
