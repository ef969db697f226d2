#!/usr/bin/env bash
# Checks the Linux plug-in library's dependencies: it may need the C and C++ run times and
# only those system libraries a Linux host machine is sure to have (FreeType, fontconfig,
# libpng, X11, curl); sanitizer builds add their run times.
# Usage: tools/check-linux-so.sh PLUGIN.so
set -euo pipefail

so=$1
allowed='^(libc|libm|libdl|libpthread|librt|libstdc\+\+|libgcc_s|ld-linux-x86-64|ld-linux|libfreetype|libfontconfig|libpng16|libX11|libcurl|libasan|libubsan|libtsan)\.so(\.[0-9]+)*$'

status=0
needed=$(readelf -d "$so" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for name in $needed; do
  if ! grep -Eq "$allowed" <<<"$name"; then
    echo "check-linux-so: $so needs $name, which is not on the allowed list" >&2
    status=1
  fi
done
[[ $status -eq 0 ]] && echo "check-linux-so: $so needs $(tr '\n' ' ' <<<"$needed")"
exit $status
