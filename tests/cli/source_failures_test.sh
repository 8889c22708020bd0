#!/bin/sh
# A failure that the boot loader's sources report ends tembrel with status 1, whatever
# count the source's read returned, with the reason on its output: HTTP errors and lost
# connections, damaged gzip streams on a server or a card, UFS cards refused or cut
# short, and output that cannot be written.
set -u
tembrel=$1
kernels=$2
work=$(mktemp -d)
servers=""
trap 'for pid in $servers; do kill "$pid" 2>/dev/null; done; rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS PATTERN -- COMMAND...: runs tembrel COMMAND and checks its status
# and that PATTERN occurs in what it printed.
expect() {
    name=$1 status=$2 pattern=$3
    shift 4
    "$tembrel" "$@" > "$work/out" 2> "$work/err" < /dev/null
    got=$?
    cat "$work/err" >> "$work/out"
    if [ "$got" -ne "$status" ]; then
        echo "FAIL $name: status $got, expected $status"; cat "$work/out"; failures=$((failures + 1))
    elif ! grep -qF -- "$pattern" "$work/out"; then
        echo "FAIL $name: no \"$pattern\""; cat "$work/out"; failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

# serve NAME COMMAND...: starts a server that prints "port N" first; sets $port.
serve() {
    name=$1
    shift
    "$@" > "$work/$name.log" 2>&1 &
    servers="$servers $!"
    for _ in $(seq 100); do
        port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/$name.log" | head -n 1)
        [ -n "$port" ] && return 0
        sleep 0.1
    done
    echo "FAIL: the $name server did not start"; cat "$work/$name.log"
    exit 1
}

# The files: good and damaged gzip streams, on a server and on a card.
mkdir -p "$work/www" "$work/storage/Storage Card"
seq 1 20000 > "$work/plain"
gzip -n -c "$work/plain" > "$work/www/good.gz"
# damage SOURCE TARGET: TARGET is SOURCE with a byte in its middle changed.
damage() {
    python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[len(d) // 2] ^= 0x55; open(sys.argv[2], "wb").write(d)' "$1" "$2"
}
damage "$work/www/good.gz" "$work/www/damaged.gz"
head -c "$(($(wc -c < "$work/www/good.gz") / 2))" "$work/www/good.gz" > "$work/www/cut.gz"
cp "$work/www/damaged.gz" "$work/storage/Storage Card/damaged.gz"
gzip -n -c "$kernels/handover-sa11x0.elf" > "$work/www/korvel.gz"
damage "$work/www/korvel.gz" "$work/kernel.gz"

serve http python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/www"
http="http://127.0.0.1:$port/"
# A server that promises 100000 bytes and closes the connection after 1000.
cat > "$work/cut_server.py" <<'EOF'
import socket, time
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
listener.settimeout(1)
print("port", listener.getsockname()[1])
end = time.time() + 120
while time.time() < end:
    try:
        connection, _ = listener.accept()
    except socket.timeout:
        continue
    connection.settimeout(5)
    request = b""
    try:
        while b"\r\n\r\n" not in request:
            chunk = connection.recv(1024)
            if not chunk:
                break
            request += chunk
    except socket.timeout:
        pass
    if request:
        connection.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n")
        if request.startswith(b"GET"):
            connection.sendall(b"k" * 1000)
    connection.close()
EOF
serve cut python3 -u "$work/cut_server.py"
cut="http://127.0.0.1:$port/"

"$tembrel" cat --storage "$work/storage" "$http" /good.gz > "$work/got" 2> "$work/err" &&
    cmp -s "$work/got" "$work/plain" && echo "ok   a good file from the server" ||
    { echo "FAIL: the good file did not come through"; cat "$work/err"; failures=$((failures + 1)); }
expect "a file the server lacks" 1 'server replied "HTTP/1.0 404' -- cat --storage "$work/storage" "$http" /missing.gz
expect "a damaged gzip stream from the server" 1 "damaged.gz: the read failed" -- cat --storage "$work/storage" "$http" /damaged.gz
expect "a gzip stream cut short on the server" 1 "cut.gz: the read failed" -- cat --storage "$work/storage" "$http" /cut.gz
expect "a connection lost in the body" 1 "short reply: 1000 of 100000 content byte." -- \
    cat --storage "$work/storage" "$cut" /korvel.gz
expect "a damaged gzip stream on a card" 1 "damaged.gz: the read failed" -- cat --storage "$work/storage" '\Storage Card\' damaged.gz
expect "a damaged gzip kernel for info" 1 "read error" -- info "$work/kernel.gz"
if [ -w /dev/full ]; then
    "$tembrel" cat --storage "$work/storage" "$http" /good.gz > /dev/full 2> "$work/err"
    [ $? -eq 1 ] && grep -q "can't write standard output" "$work/err" && echo "ok   output that cannot be written" ||
        { echo "FAIL: a full output was not reported"; cat "$work/err"; failures=$((failures + 1)); }
fi

# UFS cards: one the reader refuses, and one cut short inside a file.
mkdir -p "$work/tree/d"
head -c 100000 /dev/urandom > "$work/tree/d/big.bin"
makefs -t ffs -o version=2 -B le -o bsize=4096,fsize=512 -M 256k "$work/v2.ufs" "$work/tree" > /dev/null
makefs -t ffs -o version=1 -B le -o bsize=4096,fsize=512 -M 256k "$work/v1.ufs" "$work/tree" > /dev/null
cp "$work/v1.ufs" "$work/cut.ufs"
truncate -s 102400 "$work/cut.ufs"
expect "a UFS version 2 card" 1 "ufs: a UFS version 2 file system" -- \
    cat --storage "$work/storage" --disk "2=$work/v2.ufs" 2:/ /d/big.bin
expect "a UFS card cut short" 1 "can't read \"/d/big.bin\"" -- \
    cat --storage "$work/storage" --disk "2=$work/cut.ufs" 2:/ /d/big.bin

# A boot whose image the server lacks fails at the image, not with an empty one.
expect "a boot without its image on the server" 1 "[BOOT FAILED] Can't open file system image." -- \
    boot --machine jornada720 --storage "$work/storage" --set "platform=HP Jornada 720 (US/UK)" \
    --set "kernelDirectory=$http" --set kernelName=/korvel.gz --set rootDevice=md --set rootImageName=/miniroot.fs --yes

[ "$failures" -eq 0 ]
