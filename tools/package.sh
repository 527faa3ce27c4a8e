#!/usr/bin/env bash
# Builds both programs in Release and writes the Debian package
# build-package/plugwright_<version>_<arch>.deb; lintian checks it when installed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/ensure_packages.sh

# Debian's hardening flags (all of them, bindnow included), and paths in the binaries
# relative to the tree.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUGWRIGHT_TESTS=OFF -DPLUGWRIGHT_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f build-package/plugwright_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls build-package/plugwright_*.deb)
echo "$deb"
if command -v lintian >/dev/null 2>&1; then
  lintian "$deb"
fi
