#!/bin/sh
# Eight handhelds boot at once over HTTP from one nginx on loopback, four of each
# processor family: every tembrel boot reaches the kernel, which finds its "md" image
# whole and reports success.
set -u
tembrel=$1
kernels=$2
work=$(mktemp -d)
nginx=""
trap '[ -n "$nginx" ] && kill "$nginx" 2>/dev/null; rm -rf "$work"' EXIT

mkdir -p "$work/www" "$work/nginx"
gzip -n -c "$kernels/handover-sa11x0.elf" > "$work/www/korvel-sa.gz"
gzip -n -c "$kernels/handover-pxa2x0.elf" > "$work/www/korvel-pxa.gz"
gzip -n -c "$kernels/miniroot.fs" > "$work/www/miniroot.fs"

accepts() {
    python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1).close()' "$1" \
        2> /dev/null
}

# nginx on a free loopback port; another one when that port is taken meanwhile.
for _ in 1 2 3 4 5; do
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    cat > "$work/nginx/nginx.conf" <<EOF
daemon off;
master_process off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events {}
http {
    access_log off;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    default_type application/octet-stream;
    server {
        listen 127.0.0.1:$port;
        root $work/www;
    }
}
EOF
    nginx -p "$work/nginx" -e "$work/nginx/error.log" -c "$work/nginx/nginx.conf" > "$work/nginx.log" 2>&1 &
    nginx=$!
    for _ in $(seq 50); do
        accepts "$port" && break
        kill -0 "$nginx" 2> /dev/null || break
        sleep 0.1
    done
    accepts "$port" && break
    kill "$nginx" 2> /dev/null
    nginx=""
done
if [ -z "$nginx" ]; then
    echo "FAIL: nginx did not start"; cat "$work/nginx.log" "$work/nginx/error.log" 2> /dev/null
    exit 1
fi

boot_sa() {
    "$tembrel" boot --machine jornada720 --set "platform=HP Jornada 720 (US/UK)" --set kernelName=/korvel-sa.gz "$@"
}
boot_pxa() {
    "$tembrel" boot --machine ws003sh --set "platform=Sharp W-ZERO3 (WS003SH)" --set kernelName=/korvel-pxa.gz "$@"
}

pids=""
for i in 1 2 3 4 5 6 7 8; do
    mkdir -p "$work/h$i/Storage Card"
    if [ "$i" -le 4 ]; then family=sa; else family=pxa; fi
    "boot_$family" --storage "$work/h$i" --set "kernelDirectory=http://127.0.0.1:$port/" --set rootDevice=md \
        --set rootImageName=/miniroot.fs --yes > "$work/h$i.out" 2>&1 < /dev/null &
    pids="$pids $!"
done

failures=0
i=0
for pid in $pids; do
    i=$((i + 1))
    wait "$pid"
    status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAIL boot $i: status $status"; cat "$work/h$i.out"; failures=$((failures + 1)); continue
    fi
    for line in "kernel entered at 0x" "image: ok" "result: ok" "kernel exited with status 0"; do
        if ! grep -qF "$line" "$work/h$i.out"; then
            echo "FAIL boot $i: no \"$line\""; cat "$work/h$i.out"; failures=$((failures + 1)); continue 2
        fi
    done
    echo "ok   boot $i"
done
[ "$failures" -eq 0 ]
