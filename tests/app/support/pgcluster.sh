#!/bin/sh
# The PostgreSQL server that the server tests of one ctest run share.
#   pgcluster.sh start <folder>   a new cluster in <folder>, its server
#                                 listening only on a Unix socket there
#   pgcluster.sh stop <folder>    the server ended, the folder removed
# Where PostgreSQL is not installed nothing starts: the tests then start
# their own server, which skips with its reason. The server refuses to run
# as root, so as root (CI) it runs as "nobody".
set -eu
action=$1
dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)

as_server() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}

stop() {
    if [ -n "$bin" ] && [ -f "$dir/data/postmaster.pid" ]; then
        as_server "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null || true
    fi
    rm -rf "$dir"
}

case $action in
start)
    stop # what an interrupted run left behind
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
        echo "PostgreSQL is not installed: no server for this run"
        exit 0
    fi
    mkdir -m 700 "$dir"
    if [ "$(id -u)" = 0 ]; then
        chown nobody: "$dir"
    fi
    cd "$dir"
    as_server "$bin/initdb" -D "$dir/data" -U tovik -A trust -E UTF8 --no-locale --no-sync >/dev/null
    # No TCP at all; fsync off: the data lives as long as the run.
    as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w -s \
        -o "-k $dir -p 5432 -c listen_addresses= -F" start
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop <folder>" >&2
    exit 2
    ;;
esac
