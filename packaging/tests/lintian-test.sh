#!/bin/sh
# lintian, Debian's package checker: no error, and no warning but the two explained here.
#   maintscript-calls-ldconfig [postinst], [postrm]: CPack adds an ldconfig call to both scripts for any
#   shared object in a folder below /usr/lib. Velmora.so is a plug-in in /usr/lib/vst, which ldconfig
#   does not read, so the call finds nothing to do; CPack has no setting to leave it out.
# Usage: lintian-test.sh PACKAGE
set -eu
expected='W: velmora: maintscript-calls-ldconfig [postinst]
W: velmora: maintscript-calls-ldconfig [postrm]'
report=$(lintian --tag-display-limit 0 "$1" 2>&1 | grep -v '^running with root privileges' || true)
echo "$report"
if [ "$report" != "$expected" ]; then
    echo "lintian test: lintian's report differs from the expected one:" >&2
    echo "$expected" >&2
    exit 1
fi
