#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on a script that updates from an HTTP
# server on loopback, verifies against a loopback listener and a closed port, reads a
# sample list and ends with CloseUtils; checks that it closes by itself with status 0
# after writing its files.
# Usage: xvfb_run_test.sh RAVELIN_BINARY SAMPLE_MET
set -euo pipefail
binary=$1
sample=$2
work=$(mktemp -d)
trap 'kill "$peers" 2>/dev/null || true; rm -rf "$work"' EXIT
# A page with links to a listener that accepts and to a port nobody listens on.
python3 - > "$work/ports" <<'PY' &
import http.server, socket, threading
live = socket.socket(); live.bind(("127.0.0.1", 0)); live.listen(16)
dead = socket.socket(); dead.bind(("127.0.0.1", 0)); dead_port = dead.getsockname()[1]; dead.close()
page = b"ed2k://|server|127.0.0.1|%d|/ ed2k://|server|127.0.0.1|%d|/" % (live.getsockname()[1], dead_port)
class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self): self.send_response(200); self.end_headers(); self.wfile.write(page)
    def log_message(self, *args): pass
web = http.server.HTTPServer(("127.0.0.1", 0), Page)
threading.Thread(target=lambda: [live.accept() for _ in range(64)], daemon=True).start()
print(web.server_address[1], live.getsockname()[1], dead_port, flush=True)
web.serve_forever()
PY
peers=$!
for _ in $(seq 50); do [ -s "$work/ports" ] && break; sleep 0.1; done
read -r web live dead < "$work/ports"
# The program looks at the desktop's MIME settings at its start: never the real home's.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
cat > "$work/ravelin.ini" <<INI
[general]
EDPath=$work/
LOG=1
NoRegCheck=1
[script]
ScrExecOrEdit=1
[URLs]
URL1=HTM|http://127.0.0.1:$web/servers.html
INI
cat > "$work/job.rvs" <<RVS
UpdateFromAll
VerifyAll
SaveCustomTXT[$work/verified.txt]
RefreshCustomMET[$sample]
Filter[Users>1000]
SaveCustomTXT[$work/servers.txt]
CloseUtils
RVS
status=0
timeout 90 xvfb-run -a "$binary" --ini "$work/ravelin.ini" "$work/job.rvs" || status=$?
if [ "$status" -ne 0 ]; then
  echo "ravelin exited with status $status"
  exit 1
fi
if [ ! -s "$work/servers.txt" ]; then
  echo "servers.txt was not written"
  exit 1
fi
grep -qP "\"127.0.0.1\"\t\"$live\"" "$work/verified.txt" || { echo "the live server is not saved"; exit 1; }
! grep -q "\"$dead\"" "$work/verified.txt" || { echo "the dead server is saved"; exit 1; }
for line in "Updated successfully and found <2> unique IPs" "Verification ended successfully" \
  "Closing Ravelin" "Main window and application closed"; do
  grep -q "$line" "$work"/log/*.log || { echo "no '$line' in the log"; exit 1; }
done
echo "ravelin updated, verified, saved and closed with status 0"
