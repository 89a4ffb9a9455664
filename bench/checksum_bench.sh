#!/usr/bin/env bash
# Checksums of a 1 GB file against md5sum, sha1sum and sha256sum on the same file in the same
# run (warm page cache, best of ZEM_BENCH_RUNS), and the cancel latency on a 3 GB file.
#
#   bench/checksum_bench.sh [folder]     test files go to folder (default bench/out)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="$(mkdir -p "${1:-$here/out}" && cd "${1:-$here/out}" && pwd)"
runs="${ZEM_BENCH_RUNS:-3}"
build="$root/build/bench"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZEM_BENCH=ON -DZEM_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target checksum_bench >/dev/null
bench="$build/bench/checksum_bench"

one_gb="$out/checksum-1G.bin"
three_gb="$out/checksum-3G.bin"
[[ -f "$one_gb" ]] || head -c 1000000000 /dev/urandom >"$one_gb"
[[ -f "$three_gb" ]] || truncate -s 3000000000 "$three_gb"
cat "$one_gb" >/dev/null   # warm the page cache

best() {   # best wall time and the CPU time of that run, "wall cpu", of "$@" over $runs runs
  local b=999999 c=0 line w u
  for _ in $(seq "$runs"); do
    line=$( { /usr/bin/env time -f '%e %U %S' "$@" >/dev/null; } 2>&1 | tail -1)
    w=${line%% *}; u=$(echo "$line" | awk '{print $2 + $3}')
    if awk -v a="$w" -v b="$b" 'BEGIN{exit !(a<b)}'; then b=$w; c=$u; fi
  done
  echo "$b $c"
}

declare -A peer=([MD5]=md5sum [SHA-1]=sha1sum [SHA-256]=sha256sum)
ours_out=""
for _ in $(seq "$runs"); do ours_out+=$("$bench" "$one_gb")$'\n'; done
echo "$ours_out" | grep '^ours   all'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for algo in MD5 SHA-1 SHA-256; do
  read -r p pc < <(best "${peer[$algo]}" "$one_gb")
  read -r o oc < <(echo "$ours_out" | awk -v a="$algo" '$1=="ours" && $2==a {print $3, $8}' | sort -n | head -1)
  d_ours=$(echo "$ours_out" | awk -v a="$algo" '$1==a {print $2; exit}')
  d_peer=$("${peer[$algo]}" "$one_gb" | cut -d' ' -f1)
  [[ "$d_ours" == "$d_peer" ]] || { echo "DIGEST MISMATCH $algo: $d_ours vs $d_peer"; exit 1; }
  awk -v a="$algo" -v o="$o" -v p="$p" -v oc="$oc" -v pc="$pc" -v n="${peer[$algo]}" \
    'BEGIN{printf "%-8s ours %.2f s (%.0f MB/s, cpu %.2f s)   %s %.2f s (%.0f MB/s, cpu %.2f s)   ours at %.0f %% of its throughput (%.0f %% by cpu time)\n", a, o, 1000/o, oc, n, p, 1000/p, pc, 100*p/o, 100*pc/oc}'
done
"$bench" "$three_gb" 1000
