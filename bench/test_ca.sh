# Shared by the benchmarks that speak TLS: a test authority and a certificate for localhost,
# made for one run. Source it, then: make_test_ca FOLDER (writes ca.pem, server.pem, server.key).
make_test_ca() {
    local dir=$1
    local key=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
    openssl req -x509 "${key[@]}" -keyout "$dir/ca.key" -out "$dir/ca.pem" -days 1 \
        -subj "/CN=bench CA" 2>/dev/null
    openssl req "${key[@]}" -keyout "$dir/server.key" -out "$dir/server.csr" \
        -subj "/CN=localhost" 2>/dev/null
    printf 'subjectAltName=DNS:localhost\n' >"$dir/server.ext"
    openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
        -CAcreateserial -days 1 -extfile "$dir/server.ext" -out "$dir/server.pem" 2>/dev/null
}
