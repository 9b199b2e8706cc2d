#!/bin/sh
# Makes (or starts again) the benchmarks' school server: a PostgreSQL
# cluster in $1 (kept outside the repository) on port $2, the shipped SQL,
# the synthetic school of school_load.sql, a PC role "pc_bench" and a
# teacher role "teacher_bench" (password "bench") granted "4年1組". A
# teacher signs in only to a verified server: the cluster speaks TLS with a
# certificate for "localhost" from a CA of its own, $1/tls/ca.crt, which
# school_bench takes as its third argument.
#   bench/school/school_server.sh /work/tmp-i29b 55433 [classes]
set -eu
dir=${1:?folder}; port=${2:?port}; classes=${3:-24}
here=$(cd "$(dirname "$0")" && pwd)
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg() { if [ "$(id -u)" = 0 ]; then setpriv --reuid postgres --regid postgres --clear-groups "$@"; else "$@"; fi; }
mkdir -p "$dir"
[ "$(id -u)" = 0 ] && chown postgres:postgres "$dir"
if [ ! -d "$dir/data" ]; then
    as_pg "$bin/initdb" -D "$dir/data" -U postgres -E UTF8 --no-locale --auth-local=trust --auth-host=trust >/dev/null
    cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$dir'
shared_buffers = 512MB
work_mem = 32MB
maintenance_work_mem = 512MB
max_wal_size = 8GB
CONF
    fresh=1
fi
if [ ! -f "$dir/tls/server.crt" ]; then
    mkdir -p "$dir/tls"
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "$dir/tls/ca.key" \
        -out "$dir/tls/ca.crt" -days 30 -subj "/CN=Sorelka bench school CA" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    echo "subjectAltName = DNS:localhost" >"$dir/tls/server.ext"
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout "$dir/tls/server.key" \
        -out "$dir/tls/server.csr" -subj "/CN=localhost" 2>/dev/null
    openssl x509 -req -in "$dir/tls/server.csr" -CA "$dir/tls/ca.crt" -CAkey "$dir/tls/ca.key" -CAcreateserial \
        -days 30 -out "$dir/tls/server.crt" -extfile "$dir/tls/server.ext" 2>/dev/null
    chmod 600 "$dir/tls/server.key"
    [ "$(id -u)" = 0 ] && chown -R postgres:postgres "$dir/tls"
    printf "ssl = on\nssl_cert_file = '%s/tls/server.crt'\nssl_key_file = '%s/tls/server.key'\n" "$dir" "$dir" \
        >>"$dir/data/postgresql.conf"
fi
as_pg "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w start >/dev/null
psql_() { "$bin/psql" -h "$dir" -p "$port" -U postgres -X -q -v ON_ERROR_STOP=1 "$@"; }
if [ "${fresh:-0}" = 1 ]; then
    psql_ -d postgres -c "create database sorelka"
    psql_ -d sorelka -f "$here/../../packaging/server/sorelka_server.sql"
    psql_ -d sorelka -c "create role pc_bench login password 'bench' in role sorelka_writer" \
          -c "create role teacher_bench login password 'bench'" \
          -c "select from sorelka_grant_class('teacher_bench', '4年1組')"
    psql_ -d sorelka -v classes="$classes" -f "$here/school_load.sql"
fi
echo "school server on port $port"
