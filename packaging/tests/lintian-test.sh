#!/bin/sh
# lintian, Debian's package checker: no error and no warning.
# Usage: lintian-test.sh PACKAGE
set -eu
if ! lintian --fail-on error,warning --tag-display-limit 0 "$1"; then
    echo "lintian test: lintian reports errors or warnings (above)" >&2
    exit 1
fi
echo "lintian test: no errors, no warnings"
