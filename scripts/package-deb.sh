#!/usr/bin/env bash
# Builds Sulo in Release in build-package/ (installed under /usr) and makes the
# Debian package with CPack: build-package/sulo_<version>_amd64.deb. The
# package's dependencies come from the program's libraries (dpkg-shlibdeps);
# its binary is stripped. Then lintian looks at it when it is installed
# (SULO_NO_LINTIAN=1 skips that).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=build-package

# Only the program and its documents: the tests are not part of the package.
# Built with the hardening Debian's own packages get.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSULO_BUILD_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" >/dev/null
cmake --build "$build" -j "$(nproc)" --target sulo sulo_docs
rm -f "$build"/sulo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/sulo_*_amd64.deb)
echo "$deb"
if [ "${SULO_NO_LINTIAN:-0}" != "1" ] && command -v lintian >/dev/null; then
  lintian --info --fail-on error,warning "$deb"
fi
