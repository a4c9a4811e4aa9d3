#!/usr/bin/env bash
# Builds the Debian package build-package/quarvel_<version>_<arch>.deb from the release build in
# build/ (the programs only, not the tests). Install it with: apt install ./build-package/quarvel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target quarvel_programs
rm -f build-package/quarvel_*.deb
log=build-package/cpack.log
mkdir -p build-package
cpack --config build/CPackConfig.cmake -B build-package >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
rm -rf build-package/_CPack_Packages
ls build-package/quarvel_*.deb
