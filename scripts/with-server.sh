#!/usr/bin/env bash
# Runs a command beside a throw-away PostgreSQL cluster of its own: initdb in a temporary folder,
# run as an ordinary user, listening on a Unix socket in that folder only (no TCP address). The
# command finds it in QIRVO_TEST_SERVER. Without the server packages the command runs alone.
set -euo pipefail
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "with-server: no PostgreSQL server installed; the server tests are skipped" >&2
  exec "$@"
fi
folder=$(mktemp -d /tmp/qirvo-server.XXXXXX)
as_owner=()
if [ "$(id -u)" = 0 ]; then
  # initdb refuses to run as root; the packages' own account runs the cluster.
  chown postgres "$folder"
  as_owner=(runuser -u postgres --)
fi
stop() {
  "${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop EXIT
"${as_owner[@]}" "$bin/initdb" -D "$folder/data" -U qirvo -A trust -E UTF8 --locale=C.UTF-8 >"$folder/initdb.log"
"${as_owner[@]}" "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w \
  -o "-c listen_addresses='' -k $folder -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
  start >/dev/null
export QIRVO_TEST_SERVER="postgresql://qirvo@/qirvo?host=$folder"
"$@"
