#!/usr/bin/env bash
# Plants one include at a time in a copy of the product folders and expects
# tools/check-layers.py to name it and fail; the copy as it is must pass.
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
for top in src libkelbrin kelbrinctl; do cp -r "$source_dir/$top" "$work/"; done

check() { python3 "$source_dir/tools/check-layers.py" "$work"; }
check >/dev/null || { echo "the tree as it is fails the checker"; exit 1; }

# file | include to plant | what the message must say
while IFS='|' read -r file include expected; do
  [ -n "$file" ] || continue
  cp "$work/$file" "$work/saved"
  printf '%s\n' "$include" >>"$work/$file"
  output=$(check)
  status=$?
  mv "$work/saved" "$work/$file"
  if [ $status -ne 1 ] || [[ $output != *"$expected"* ]]; then
    echo "planted $include in $file: status $status, output: $output"
    failures=$((failures + 1))
  fi
done <<'ROWS'
src/output/command_words.cpp|#include "database.h"|includes database.h, which is no file of the tree
src/output/command_words.cpp|#include "store/database.h"|which src/output cannot reach
src/front/main.cpp|#include "kelbrinctl/messages.h"|which src/front cannot reach
src/input/param_import.cpp|#include "output/escaping.h"|from src/output, which is not below src/input
src/common/streams.cpp|#include "front/usage.h"|from src/front, which is not below src/common
libkelbrin/base/names.cpp|#include "store/database.h"|from libkelbrin/store, which is not below libkelbrin/base
libkelbrin/store/items.cpp|#include "files/loading.h"|from libkelbrin/files, which is not below libkelbrin/store
libkelbrin/files/loading.cpp|#include "capi/export.h"|from libkelbrin/capi, which is not below libkelbrin/files
libkelbrin/store/items.cpp|#include "src/common/globals.h"|from src/common, which is not below libkelbrin/store
kelbrinctl/main.cpp|#include "capi/export.h"|from libkelbrin/capi, which is not below kelbrinctl
ROWS
[ $failures -eq 0 ] && echo "every planted include refused"
exit $((failures > 0))
