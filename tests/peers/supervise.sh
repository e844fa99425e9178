#!/bin/sh
# supervise.sh DIR PROGRAM [ARG...]: runs a peer program for a test that cannot watch it
# itself. A Windows test under wine starts Linux programs without a usable process handle:
# no exit status, no output through a pipe, no way to end them. So this runs PROGRAM in a
# session of its own with its output in DIR/out, ends the group when DIR/stop appears
# (or after ten minutes at most), and writes the exit status to DIR/status when it is gone.
dir=$1
shift
setsid "$@" < /dev/null > "$dir/out" 2> "$dir/err" &
pid=$!
ticks=0
while kill -0 "$pid" 2> /dev/null && [ ! -e "$dir/stop" ] && [ $ticks -lt 6000 ]; do
  sleep 0.1
  ticks=$((ticks + 1))
done
if kill -0 "$pid" 2> /dev/null; then
  kill -TERM -"$pid" 2> /dev/null || kill -TERM "$pid" 2> /dev/null
  ticks=0
  while kill -0 "$pid" 2> /dev/null && [ $ticks -lt 20 ]; do
    sleep 0.1
    ticks=$((ticks + 1))
  done
  kill -KILL -"$pid" "$pid" 2> /dev/null
fi
wait "$pid"
echo $? > "$dir/status.part"
mv "$dir/status.part" "$dir/status"
