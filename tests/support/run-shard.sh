#!/bin/sh
# run-shard.sh TEST K N: runs the K-th of N shares of a Qt Test program's cases (every N-th of the
# rows it lists with -datatags, from the K-th on), so that the shares of a long test run side by side.
# A share may be empty when the test has fewer cases than shares.
program=$1
shard=$2
shards=$3
rows=$("$program" -datatags) || { echo "run-shard: $program -datatags failed" >&2; exit 1; }
[ -n "$rows" ] || { echo "run-shard: $program lists no test" >&2; exit 1; }
set --
n=0
while IFS= read -r row; do
  n=$((n + 1))
  [ $(((n - 1) % shards + 1)) -eq "$shard" ] || continue
  row=${row#* } # "Class function [data tag]" without the class
  case $row in
    *" "*) row="${row%% *}:${row#* }" ;; # function:data tag
  esac
  set -- "$@" "$row"
done <<EOF
$rows
EOF
[ $# -gt 0 ] || exit 0
exec "$program" "$@"
