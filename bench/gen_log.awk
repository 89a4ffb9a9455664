# Writes a deterministic application log of about `mb` megabytes to stdout.
# Usage: awk -v mb=200 -f gen_log.awk > app.log
# A linear congruential generator small enough for exact double arithmetic keeps the bytes
# identical with every awk.
function rnd(n) {
    seed = (seed * 69069 + 1) % 2147483648
    return int(seed / 65536) % n
}
BEGIN {
    if (mb == "") mb = 200
    seed = 20240131
    limit = mb * 1024 * 1024
    nl = split("INFO INFO INFO DEBUG DEBUG WARN ERROR TRACE", level, " ")
    nc = split("net.http db.pool cache auth scheduler storage.s3 mail index.worker api.v2 ui.render", comp, " ")
    ne = split("TimeoutError ConnectionError ValueError KeyError ParseError IOError PermissionError", err, " ")
    nw = split("request served user session token queue flushed retry backend shard record commit " \
               "checkpoint socket closed opened payload header cookie lease replica latency " \
               "bytes window batch cursor migration tenant report export import render", word, " ")
    total = 0; t = 0
    while (total < limit) {
        t += rnd(900) + 1
        ms = t % 1000; s = int(t / 1000)
        lv = level[rnd(nl) + 1]
        line = sprintf("2024-01-%02d %02d:%02d:%02d.%03d %-5s [%s] ", 1 + int(s / 86400) % 28,
                       int(s / 3600) % 24, int(s / 60) % 60, s % 60, ms, lv, comp[rnd(nc) + 1])
        n = 4 + rnd(10)
        for (i = 0; i < n; i++) line = line word[rnd(nw) + 1] " "
        if (lv == "ERROR" || rnd(40) == 0)
            line = line "raised " err[rnd(ne) + 1] ": code=" rnd(600) " id=" rnd(1000000)
        else
            line = line "ok id=" rnd(1000000) " took=" rnd(5000) "ms"
        print line
        total += length(line) + 1
    }
}
