#!/usr/bin/env bash
# What scripts/install-deps.sh asks of a machine, for a user who cannot
# install anything: the main job's check names only the packages of the build
# and the run, the tests' check those of the tests besides. The installed
# packages are told by a stand-in of dpkg-query that reports every package as
# installed but those of ZK_MISSING; as root the checks run as a spare uid.
#
#   DepsCheck.sh SOURCE_DIR
set -euo pipefail
src=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/zk_deps_XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
cat > "$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
pkg=${!#}
for m in $ZK_MISSING; do [ "$m" = "$pkg" ] && exit 1; done
printf 'install ok installed'
STUB
chmod 755 "$work" "$work/bin" "$work/bin/dpkg-query"

as_user=()
if [ "$(id -u)" = 0 ]; then as_user=(setpriv --reuid=2151 --regid=2151 --clear-groups); fi
failures=0
# check MODE MISSING WANT-STATUS WANT-TEXT : runs the check, compares.
check() {
  local out status=0
  out=$(cd "$work" && env PATH="$work/bin:$PATH" ZK_MISSING="$2" "${as_user[@]}" bash "$src/scripts/install-deps.sh" "$1" 2>&1) || status=$?
  if [ "$status" != "$3" ] || [ "$out" != "$4" ]; then
    echo "FAIL: install-deps.sh $1 with \"$2\" missing: status $status, said \"$out\"; wanted $3, \"$4\""
    failures=$((failures + 1))
  fi
}
tools="libgtest-dev libgmock-dev libxml2-utils xvfb xauth xdotool x11-apps x11-utils imagemagick"
named="missing packages (install them as root with scripts/install-deps.sh):"
check --check-run "$tools" 0 ""
check --check "$tools" 1 "$named $tools"
check --check-run "libfltk1.3-dev xvfb" 1 "$named libfltk1.3-dev"
check --check-run "g++ cmake ninja-build libsqlite3-dev sqlite3" 1 "$named g++ cmake ninja-build libsqlite3-dev sqlite3"
check --check "" 0 ""
check --bogus "" 2 "install-deps: unknown option --bogus (--check or --check-run)"
[ "$failures" = 0 ] && echo "every check as expected"
exit "$failures"
