#!/usr/bin/env bash
# Builds the benchmark corpus in the folder given as $1 (default: bench/out/corpus).
#
# The bulk is a copy of files already on a Debian machine: /usr/share, /usr/include, then /usr/lib,
# each in byte order of its paths, until ZEM_BENCH_MB megabytes (default 1600) are reached, so
# the same machine always yields the same corpus. Added on top:
#   logs/app.log        a generated 200 MB log (gen_log.awk, identical everywhere)
#   bin/                some executables from /usr/bin (binary files with NUL bytes)
#   .hidden/, home/.config/   hidden folders and files
#   locked/             a file and a folder with mode 000
#   loop/               symbolic links that loop (up -> .., self -> self, a <-> b)
# Symbolic links of the source trees are not copied: only the loops above exist, so every
# searcher sees the same regular files.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/out/corpus}"
budget_mb="${ZEM_BENCH_MB:-1600}"
log_mb="${ZEM_BENCH_LOG_MB:-200}"
# Larger files are mostly a few huge shared libraries; they would crowd out the many small files.
max_file="32M"

mkdir -p "$out"
list="$out.files"
for root in /usr/share /usr/include /usr/lib; do
    find "$root" -xdev -type f -size "-$max_file" -readable -printf '%s\t%p\n' 2>/dev/null \
        | grep -v $'\t.*[[:cntrl:]]' | LC_ALL=C sort -t $'\t' -k2,2
done | awk -F '\t' -v budget="$((budget_mb * 1024 * 1024))" \
           'total < budget { total += $1; print $2 }' > "$list.new"
stamp="$(md5sum < "$list.new" | cut -c1-32)-$log_mb"
if [[ -f "$out.stamp" && "$(cat "$out.stamp")" == "$stamp" ]]; then
    rm -f "$list.new"
    echo "corpus up to date: $out" >&2
    exit 0
fi
mv "$list.new" "$list"

echo "building corpus in $out ($(wc -l < "$list") files from /usr)" >&2
chmod -R u+rwx "$out" 2>/dev/null || true
rm -rf "${out:?}"/*  "$out"/.[!.]* 2>/dev/null || true
mkdir -p "$out"
# A file that changes while tar reads it (a package being updated) is a warning, not a failure.
{ tar -cf - --verbatim-files-from --files-from="$list" 2>/dev/null || true; } | tar -xf - -C "$out"

mkdir -p "$out/logs"
awk -v mb="$log_mb" -f "$here/gen_log.awk" > "$out/logs/app.log"

mkdir -p "$out/bin"
find /usr/bin -maxdepth 1 -type f -size -8M -printf '%p\n' | LC_ALL=C sort | head -n 80 \
    | while read -r f; do cp "$f" "$out/bin/"; done

mkdir -p "$out/.hidden" "$out/home/.config/app"
find /usr/include/linux -maxdepth 1 -type f -name '*.h' -printf '%p\n' | LC_ALL=C sort | head -n 400 \
    | while read -r f; do cp "$f" "$out/.hidden/"; done
printf 'theme=dark\nlast_error=ParseError in line 4\n' > "$out/home/.config/app/settings.conf"
printf 'TimeoutError while saving\n' > "$out/home/.notes"

mkdir -p "$out/locked/dir"
printf 'ConnectionError hidden behind permissions\n' > "$out/locked/secret.txt"
printf 'ValueError in a closed folder\n' > "$out/locked/dir/inner.txt"
chmod 000 "$out/locked/secret.txt" "$out/locked/dir"

mkdir -p "$out/loop"
ln -sfn .. "$out/loop/up"
ln -sfn self "$out/loop/self"
ln -sfn b "$out/loop/a"
ln -sfn a "$out/loop/b"

echo "$stamp" > "$out.stamp"
echo "corpus ready: $out" >&2
