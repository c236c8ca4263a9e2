# Sourced by the shell tests of this folder: named checks that count failures.
failures=0 checks=0

# check NAME EXPECTED ACTUAL
check() {
    ((checks += 1))
    [[ $2 == "$3" ]] || { ((failures += 1)); printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"; }
}

# check_contains NAME NEEDLE HAYSTACK
check_contains() {
    ((checks += 1))
    [[ $3 == *"$2"* ]] || { ((failures += 1)); printf 'FAILED: %s\n  %q not in: %q\n' "$1" "$2" "${3:0:300}"; }
}

finish() {
    echo "$((checks - failures)) of $checks checks passed"
    ((failures == 0))
}
