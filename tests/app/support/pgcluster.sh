#!/bin/sh
# A throwaway PostgreSQL server for the tests: a new cluster in <folder>,
# its server reachable only through a Unix socket there, fsync off (the data
# lives as long as the tests).
#   pgcluster.sh start <folder>   the server in the background: the one
#                                 server of a ctest run (fixture pgcluster)
#   pgcluster.sh serve <folder>   the server in the foreground, quitting when
#                                 its parent dies: a test run by hand
#   pgcluster.sh stop <folder>    the server ended, the folder removed
# Exits 77 where PostgreSQL is not installed. The server refuses to run as
# root, so as root (CI) it runs as "nobody".
set -eu
action=$1
dir=$2
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
user=
if [ "$(id -u)" = 0 ]; then
    user="--reuid=nobody --regid=$(id -g nobody) --clear-groups"
fi

stop() {
    if [ -n "$bin" ] && [ -f "$dir/data/postmaster.pid" ]; then
        setpriv $user -- "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null || true
    fi
    rm -rf "$dir"
}

init() {
    if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
        echo "PostgreSQL is not installed (apt-get install postgresql)"
        exit 77
    fi
    mkdir -p -m 700 "$dir"
    if [ -n "$user" ]; then
        chown nobody: "$dir"
    fi
    cd "$dir"
    setpriv $user -- "$bin/initdb" -D "$dir/data" -U tovik -A trust -E UTF8 --no-locale --no-sync >/dev/null
}

options="-k $dir -p 5432 -c listen_addresses= -F"
case $action in
start)
    stop # what an interrupted run left behind
    init
    setpriv $user -- "$bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w -s -o "$options" start
    ;;
serve)
    init
    exec setpriv --pdeathsig SIGQUIT $user -- "$bin/postgres" -D "$dir/data" $options
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|serve|stop <folder>" >&2
    exit 2
    ;;
esac
