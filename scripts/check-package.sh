#!/usr/bin/env bash
# Builds the Debian package as the README's install steps do, in a build folder of its own,
# and checks it: a package whose Depends would come out empty must not be made at all, and
# lintian must report nothing, not even information (packaging/lintian-overrides says why the
# few tags that are wrong for this package are).
# Usage: scripts/check-package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build_dir=$2
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build_dir"
cd "$build_dir"

rm -f brenmoor_*.deb
if cpack -D CPACK_DEBIAN_PACKAGE_SHLIBDEPS=OFF >no-depends.log 2>&1; then
  echo "FAIL: cpack made a package without Depends" >&2
  exit 1
fi
if compgen -G 'brenmoor_*.deb' >/dev/null; then
  echo "FAIL: a package without Depends was left behind: $(echo brenmoor_*.deb)" >&2
  exit 1
fi

cpack
package=$(echo brenmoor_*.deb)
echo "Depends: $(dpkg-deb --field "$package" Depends)"
# lintian's note about running as root goes to stderr; its findings go to stdout.
status=0
lintian --display-info --fail-on error,warning,info "$package" >lintian.txt || status=$?
if [ "$status" -ne 0 ] || [ -s lintian.txt ]; then
  cat lintian.txt
  echo "FAIL: lintian has findings on $package" >&2
  exit 1
fi
echo "lintian: nothing to report on $package"
