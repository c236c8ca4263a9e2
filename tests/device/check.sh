# Sourced by the shell tests of this folder: named checks that count failures.
failures=0
checks=0

# check NAME EXPECTED ACTUAL
check() {
    checks=$((checks + 1))
    if [[ $2 != "$3" ]]; then
        failures=$((failures + 1))
        printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

# check_contains NAME NEEDLE HAYSTACK
check_contains() {
    checks=$((checks + 1))
    if [[ $3 != *"$2"* ]]; then
        failures=$((failures + 1))
        printf 'FAILED: %s\n  %q not in: %q\n' "$1" "$2" "${3:0:300}"
    fi
}

finish() {
    echo "$((checks - failures)) of $checks checks passed"
    ((failures == 0))
}
