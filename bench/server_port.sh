# Source it. The benchmarks' test servers announce their loopback port as a first line "PORT <n>".

# The port announced in the output file $1, waiting up to 10 s; empty when the server did not
# come up.
port_from() {
    for _ in $(seq 1 100); do
        grep -q '^PORT ' "$1" 2>/dev/null && break
        sleep 0.1
    done
    awk '/^PORT /{print $2}' "$1"
}
