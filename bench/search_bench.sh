#!/usr/bin/env bash
# Times `zemfinder search` against ripgrep and grep (content) and fd (names) on one corpus.
#
#   bench/search_bench.sh [folder]     corpus and results go to folder (default bench/out)
#
# Environment: ZEM_BENCH_THREADS (default: nproc) worker threads for every tool,
# ZEM_BENCH_RUNS (default 7) timed runs per command, ZEM_BENCH_MB corpus size (make_corpus.sh).
#
# Builds the release binary, builds the corpus (make_corpus.sh), installs the peers from Debian
# when missing, warms the page cache, then times every case with hyperfine (median of the runs,
# warm cache) and checks that our hit and file counts equal ripgrep's (fd's for names).
# Peak memory is the maximum resident set size from /usr/bin/time -v.
set -euo pipefail
# Patterns such as *.h and [A-Z] travel through word lists below: no globbing.
set -f
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="$(mkdir -p "${1:-$here/out}" && cd "${1:-$here/out}" && pwd)"
corpus="$out/corpus"
threads="${ZEM_BENCH_THREADS:-$(nproc)}"
runs="${ZEM_BENCH_RUNS:-7}"
ours="$root/build/release/zemfinder"

# --- peers, from Debian ---------------------------------------------------------------------
missing=()
command -v rg >/dev/null || missing+=(ripgrep)
command -v fdfind >/dev/null || missing+=(fd-find)
command -v hyperfine >/dev/null || missing+=(hyperfine)
command -v jq >/dev/null || missing+=(jq)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}" >&2
    sudo_cmd=(); ((EUID == 0)) || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# --- our binary and the corpus ----------------------------------------------------------------
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF >/dev/null
cmake --build "$root/build/release" --target zemfinder -j"$(nproc)" >/dev/null
"$here/make_corpus.sh" "$corpus"

# A small tree (about 3,600 files, some 60 MB): every 30th file of the corpus's usr/ in byte
# order of the paths, so start-up and set-up costs show beside the search itself.
small="$out/small"
if [[ ! -f "$small.stamp" || "$(cat "$small.stamp")" != "$(cat "$corpus.stamp" 2>/dev/null)" ]]; then
    rm -rf "$small"
    mkdir -p "$small"
    (cd "$corpus" && find usr -type f -print0 | LC_ALL=C sort -z | awk -v RS='\0' -v ORS='\0' 'NR % 30 == 1' \
        | xargs -0 cp --parents -t "$small")
    cp "$corpus.stamp" "$small.stamp" 2>/dev/null || true
fi

echo "warming the page cache" >&2
rg -a -uuu -c -j"$threads" 'zq-never-there-qz' "$corpus" "$small" >/dev/null || true
cat "$corpus/logs/app.log" >/dev/null

# --- cases ------------------------------------------------------------------------------------
# name | our arguments | peer command | target ratio | count check (rg, fd or none)
z="$ours search --threads $threads --hidden --scope 0"
cases=(
    "literal regex|$z --dir $corpus --content ConnectionError --regex|rg -a -uuu -j$threads --count-matches ConnectionError $corpus|0.9|rg"
    "literal regex, grep -r|$z --dir $corpus --content ConnectionError --regex|grep -r -a -c ConnectionError $corpus|-|none"
    "rare literal (a handful of files)|$z --dir $corpus --content ConnectionRefusedError --regex|rg -a -uuu -j$threads --count-matches ConnectionRefusedError $corpus|0.9|rg"
    "simple word, any case|$z --dir $corpus --content connectionerror|rg -a -uuu -j$threads -i -F --count-matches connectionerror $corpus|0.9|rg"
    "regex [A-Z][a-z]+Error|$z --dir $corpus --content [A-Z][a-z]+Error --regex|rg -a -uuu -j$threads --count-matches [A-Z][a-z]+Error $corpus|1.0|rg"
    "one 200 MB file|$z --dir $corpus/logs --content ConnectionError --regex|rg -a -uuu -j$threads --count-matches ConnectionError $corpus/logs|1.0|rg"
    "small tree (3,600 files)|$z --dir $small --content ConnectionError --regex|rg -a -uuu -j$threads --count-matches ConnectionError $small|1.0|rg"
    "names *.h|$ours search --threads $threads --hidden --dir $corpus --pattern *.h|fdfind -u -j$threads -g *.h $corpus|0.8|fd"
)

results="$out/results.md"
{
    echo "# zemfinder search benchmark"
    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, threads $threads, runs $runs (median, warm cache)"
    echo "corpus: $(find "$corpus" -type f 2>/dev/null | wc -l) files, $(du -sh "$corpus" 2>/dev/null | cut -f1);" \
         "small tree: $(find "$small" -type f 2>/dev/null | wc -l) files, $(du -sh "$small" 2>/dev/null | cut -f1)"
    echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo
    echo "Wall: median seconds. CPU: mean user + system seconds, steadier than wall time on a busy machine."
    echo
    echo "| case | ours (s) | peer (s) | ours/peer | target | CPU ours/peer | counts |"
    echo "|---|---|---|---|---|---|---|"
} > "$results"

# Hit and file counts: ours prints "<hits>\t<path>" (or a path), rg "path:count", fd a path.
count_ours() { "$@" 2>/dev/null | awk -F'\t' '{ n++; s += (NF > 1 ? $1 : 1) } END { printf "%d hits in %d files", s, n }'; }
count_rg() { "$@" 2>/dev/null | awk -F: '{ n++; s += $NF } END { printf "%d hits in %d files", s, n }'; }
count_fd() { "$@" -t f 2>/dev/null | awk '{ n++ } END { printf "%d hits in %d files", n, n }'; }

failed=0
for entry in "${cases[@]}"; do
    IFS='|' read -r name mine peer target check <<< "$entry"
    echo "== $name" >&2
    json="$out/case.json"
    # -N: no shell in between, so the times are the programs' own; grep exits 1 on no match.
    hyperfine -N -i --warmup 2 --runs "$runs" --export-json "$json" "$mine" "$peer" >/dev/null 2>&1
    t_ours="$(jq '.results[0].median' "$json")"
    t_peer="$(jq '.results[1].median' "$json")"
    ratio="$(awk -v a="$t_ours" -v b="$t_peer" 'BEGIN { printf "%.2f", a / b }')"
    cpu="$(jq -r '[.results[] | .user + .system] | "\(.[0]) \(.[1])"' "$json" \
           | awk '{ printf "%.2f / %.2f = %.2f", $1, $2, $1 / $2 }')"
    counts="-"
    if [[ "$check" != none ]]; then
        # shellcheck disable=SC2086  # the commands are word lists on purpose
        c_ours="$(count_ours $mine)"
        # shellcheck disable=SC2086
        case "$check" in
            rg) c_peer="$(count_rg $peer)" ;;
            fd) c_peer="$(count_fd $peer)" ;;
        esac
        if [[ "$c_ours" == "$c_peer" ]]; then counts="equal: $c_ours"; else counts="DIFFER: ours $c_ours, peer $c_peer"; failed=1; fi
    fi
    mark=""
    if [[ "$target" != "-" ]] && awk -v r="$ratio" -v t="$target" 'BEGIN { exit !(r > t) }'; then mark=" (missed)"; fi
    printf '| %s | %.3f | %.3f | %s%s | %s | %s | %s |\n' "$name" "$t_ours" "$t_peer" "$ratio" "$mark" \
        "$target" "$cpu" "$counts" >> "$results"
done
rm -f "$out/case.json"

# Peak resident memory over the whole corpus.
peak() { /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }'; }
# shellcheck disable=SC2086
{
    echo
    echo "| peak memory (MB) | ours | rg / fd |"
    echo "|---|---|---|"
    echo "| content, whole corpus | $(peak $z --dir "$corpus" --content ConnectionError --regex) | $(peak rg -a -uuu -j"$threads" --count-matches ConnectionError "$corpus") |"
    echo "| content, corpus without the 200 MB log | $(peak $z --dir "$corpus/usr" --content ConnectionError --regex) | $(peak rg -a -uuu -j"$threads" --count-matches ConnectionError "$corpus/usr") |"
    echo "| names | $(peak $ours search --threads "$threads" --hidden --dir "$corpus" --pattern '*.h') | $(peak fdfind -u -j"$threads" -g '*.h' "$corpus") |"
} >> "$results"

echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)" >> "$results"
cat "$results"
exit "$failed"
