#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on a script that updates from an HTTP
# server on loopback, verifies against loopback listeners, writes a text table and ends
# with CloseUtils; checks that it closes by itself with status 0 and wrote the right file.
# Usage: xvfb_update_verify_test.sh RAVELIN_BINARY
set -euo pipefail
binary=$1
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A listener that accepts every connection, and a port that nobody listens on.
cat > "$work/peers.py" <<'PY'
import socket, sys, time
accept = socket.socket(); accept.bind(("127.0.0.1", 0)); accept.listen(16)
closed = socket.socket(); closed.bind(("127.0.0.1", 0)); closed_port = closed.getsockname()[1]
closed.close()
with open(sys.argv[1], "w") as f:
    f.write("ed2k://|server|127.0.0.1|%d|/\ned2k://|server|127.0.0.1|%d|/\n"
            % (accept.getsockname()[1], closed_port))
accept.settimeout(120)
conns = []
deadline = time.time() + 120
while time.time() < deadline:
    try:
        conns.append(accept.accept()[0])
    except socket.timeout:
        break
PY
mkdir "$work/www"
python3 "$work/peers.py" "$work/www/servers.html" & pids+=($!)
for _ in $(seq 50); do [ -s "$work/www/servers.html" ] && break; sleep 0.1; done
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 50); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1',$port),1)" 2>/dev/null && break
  sleep 0.1
done

cat > "$work/ravelin.ini" <<INI
[general]
EDPath=$work/
LOG=1
NoRegCheck=1
[script]
ScrExecOrEdit=1
[URLs]
URL1=HTM|http://127.0.0.1:$port/servers.html
[verify]
VrfTimeout=5
VrfThreadCount=2
INI
cat > "$work/job.rvs" <<RVS
UpdateFromAll
VerifyAll
SaveCustomTXT[$work/servers.txt]
CloseUtils
RVS
status=0
timeout 90 xvfb-run -a "$binary" --ini "$work/ravelin.ini" "$work/job.rvs" || status=$?
if [ "$status" -ne 0 ]; then
  echo "ravelin exited with status $status"
  exit 1
fi
accepting=$(sed -n 's/.*|127.0.0.1|\([0-9]*\)|.*/\1/p' "$work/www/servers.html" | head -1)
refusing=$(sed -n 's/.*|127.0.0.1|\([0-9]*\)|.*/\1/p' "$work/www/servers.html" | tail -1)
grep -q "127.0.0.1.*$accepting" "$work/servers.txt" || { echo "the live server is missing"; exit 1; }
if grep -q "$refusing" "$work/servers.txt"; then echo "the dead server was saved"; exit 1; fi
for line in "Updated successfully and found <2> unique IPs" "Verification ended successfully" \
  "Closing Ravelin" "Main window and application closed"; do
  grep -q "$line" "$work"/log/*.log || { echo "no '$line' in the log"; exit 1; }
done
echo "ravelin updated, verified, saved and closed with status 0"
