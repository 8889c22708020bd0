#!/bin/sh
# A real HTTP server on loopback for the Windows build's socket tests:
#   http_server.sh start FOLDER    serves FOLDER (a gzip kernel and its original) and
#                                  writes the port to FOLDER.port
#   http_server.sh stop FOLDER
set -eu
folder=$2
case "$1" in
start)
    rm -rf "$folder"
    mkdir -p "$folder"
    python3 -c 'import random, sys; random.seed(7); sys.stdout.buffer.write(random.randbytes(300000))' > "$folder/kernel"
    gzip -n -9 -c "$folder/kernel" > "$folder/korvel.gz"
    python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$folder" > "$folder.log" 2>&1 &
    echo $! > "$folder.pid"
    for _ in $(seq 100); do
        port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$folder.log" | head -n 1)
        if [ -n "$port" ]; then
            echo "$port" > "$folder.port"
            exit 0
        fi
        sleep 0.1
    done
    echo "the HTTP server did not start" >&2
    exit 1
    ;;
stop)
    kill "$(cat "$folder.pid")" 2>/dev/null || true
    rm -f "$folder.pid" "$folder.port"
    ;;
esac
