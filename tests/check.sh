# The check of the shell tests: runs a command, says "ok" or "FAILED" with its description
# and counts the failures in $failures.
failures=0
check() {  # check DESCRIPTION COMMAND...
    local description=$1
    shift
    if "$@"; then
        echo "ok: $description"
    else
        echo "FAILED: $description"
        failures=$((failures + 1))
    fi
}
