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
#   utf16/              a UTF-16 LE and a UTF-16 BE file with byte-order marks and known hits
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
# Text files in UTF-16 with a byte-order mark: searchers that transcode them find their hits.
# Cheap, so they are written on every run (an older corpus gets them too).
add_utf16_files() {
    mkdir -p "$out/utf16"
    local text i
    text="$(for i in $(seq 1 200); do
        printf 'Строка %d: ConnectionError при чтении, 日本 \xF0\x9F\x98\x80 TimeoutError\r\n' "$i"
        printf 'ok line %d without a hit\r\n' "$i"
    done)"
    { printf '\xFF\xFE'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE; } > "$out/utf16/windows-le.txt"
    { printf '\xFE\xFF'; printf '%s' "$text" | iconv -f UTF-8 -t UTF-16BE; } > "$out/utf16/mac-be.txt"
}

stamp="$(md5sum < "$list.new" | cut -c1-32)-$log_mb"
if [[ -f "$out.stamp" && "$(cat "$out.stamp")" == "$stamp" ]]; then
    rm -f "$list.new"
    add_utf16_files
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

add_utf16_files

echo "$stamp" > "$out.stamp"
echo "corpus ready: $out" >&2
