# Shared by the install and package tests (sourced): counting failures, and
# naming the Debian package of a missing command.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing: install the Debian package $2 (scripts/setup.sh does)"; exit 1; }; }
