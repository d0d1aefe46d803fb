#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses it the way a host developer would:
#  1. the tree holds exactly the library (SONAME links, the public API alone exported), headers, CMake package, .pc file,
#     service executable and Designer plugin, and none of its text files point back here;
#  2. examples/host, copied out of the source tree, builds against that prefix alone and
#     opens a load of the installed service headless (exit 0), and fails on a dead server;
#  3. a one-file program builds with `pkg-config --cflags --libs palletry` and finds the control's widgets;
#  4. README's Quick start, as written there, builds with CMake and with its pkg-config line, and each
#     program opens a load of the installed service.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR LIBDIR CONFIG DESIGNER_DIR|-
set -euo pipefail
build=$1 source=$2 libdir=$3 config=$4 designer=$5

work=$(mktemp -d)
service_pid=
cleanup() {
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

# 1. The install tree.
expected=(
  bin/palletry-service
  include/palletry/HomeDelieveryUDT.h
  include/palletry/Palletry.h
  include/palletry/palletry_export.h
  "$libdir/cmake/Palletry/PalletryConfig.cmake"
  "$libdir/cmake/Palletry/PalletryConfigVersion.cmake"
  "$libdir/cmake/Palletry/PalletryTargets.cmake"
  "$libdir/cmake/Palletry/PalletryTargets-$config.cmake"
  "$libdir/libpalletry.so"
  "$libdir/libpalletry.so.2"
  "$libdir/libpalletry.so.2.0.0"
  "$libdir/pkgconfig/palletry.pc"
)
[ "$designer" != - ] && expected+=("$designer/libpalletry_designer.so")
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . ! -type d -printf '%P\n' | sort) \
  || fail "install tree differs from the expected list (< expected, > installed)"
[ "$(readlink "$prefix/$libdir/libpalletry.so")" = libpalletry.so.2 ] || fail "libpalletry.so link"
[ "$(readlink "$prefix/$libdir/libpalletry.so.2")" = libpalletry.so.2.0.0 ] || fail "libpalletry.so.2 link"
# grep reads to the end: objdump writes more than 4 KiB in two writes, and a grep -q gone after the
# first would fail the pipe (pipefail) when the second write meets SIGPIPE.
objdump -p "$prefix/$libdir/libpalletry.so.2.0.0" | grep 'SONAME *libpalletry\.so\.2$' >/dev/null || fail "SONAME"
# The library exports the public API alone: the control, its meta-object and HomeDelieveryUDT.
internals=$(nm -D --defined-only -C "$prefix/$libdir/libpalletry.so.2.0.0" | cut -d' ' -f3- \
  | grep -vE '^(Palletry::|HomeDelieveryUDT::|(vtable|typeinfo|typeinfo name) for Palletry$|non-virtual thunk to Palletry::)' || true)
[ -z "$internals" ] || fail "the library exports more than its public API: $internals"
if grep -rlF -e "$source" -e "$build" --include='*.cmake' --include='*.pc' "$prefix"; then
  fail "installed package files refer to the source or build tree"
fi

# 2. The example host against the installed service.
"$prefix/bin/palletry-service" --port 0 >"$work/service.out" 2>"$work/service.err" &
service_pid=$!
for _ in $(seq 100); do
  [ -s "$work/service.out" ] && break
  sleep 0.1
done
server=$(head -n 1 "$work/service.out")
[ -n "$server" ] || fail "palletry-service printed no address"
[ "$(sed -n 2p "$work/service.out")" = "$server/WebServices/KLTVWebservice/KLTVWebservice.asmx" ] \
  || fail "palletry-service did not print the service's address under its server"
load=$(sed -n 's/.*load \([0-9]*\) holds orders.*/\1/p' "$work/service.err")

cp -r "$source/examples/host" "$work/host-src"
cmake -S "$work/host-src" -B "$work/host-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null || fail "examples/host does not configure"
cmake --build "$work/host-build" >/dev/null || fail "examples/host does not build"
export QT_QPA_PLATFORM=offscreen PALLETRY_EVENT_LOG=$work/events.log
timeout 120 "$work/host-build/palletry-host" --server "$server" --load "$load" \
  || fail "palletry-host did not open load $load of $server"
# The host's exit status must mean something: a server that is not there is a failure.
if timeout 120 "$work/host-build/palletry-host" --server http://127.0.0.1:1 --load "$load" 2>/dev/null; then
  fail "palletry-host exited 0 against a dead server"
fi

# The reference service as the package's imported executable, for a host's own tests.
mkdir -p "$work/svc-src"
cat >"$work/svc-src/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(svc CXX)
find_package(Palletry 2 REQUIRED)
file(GENERATE OUTPUT service-path.txt CONTENT "$<TARGET_FILE:Palletry::palletry-service>")
CMAKE
cmake -S "$work/svc-src" -B "$work/svc-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >/dev/null || fail "the package offers no Palletry::palletry-service"
[ "$(cat "$work/svc-build/service-path.txt")" = "$prefix/bin/palletry-service" ] \
  || fail "Palletry::palletry-service is not the installed service"

# 3. pkg-config.
# A host finds the control's widgets by name: built without -fPIC it would hold its own copy of
# QPushButton's meta-object, and findChild and qobject_cast would find nothing.
cat >"$work/pc.cpp" <<'CPP'
#include <palletry/Palletry.h>
#include <QApplication>
#include <QPushButton>
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Palletry control;
    return control.findChild<QPushButton*>(QStringLiteral("cmdViewAll")) ? 0 : 1;
}
CPP
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
# shellcheck disable=SC2046 # the flags are meant to split
"${CXX:-c++}" -std=c++17 "$work/pc.cpp" -o "$work/pc" $(pkg-config --cflags --libs palletry) \
  || fail "a program does not build with pkg-config --cflags --libs palletry"
LD_LIBRARY_PATH=$prefix/$libdir "$work/pc" || fail "the pkg-config program does not find the control's cmdViewAll"
# 4. README's Quick start: each block that follows a "<!-- quick-start NAME -->" line, as written.
quick=$work/quick
mkdir -p "$quick"
block() {
  awk -v mark="<!-- quick-start $1 -->" '$0 == mark { found = 1; next }
    found && /^```/ { if (inside) exit; inside = 1; next } inside' "$source/README.md"
}
block main.cpp >"$quick/main.cpp"
block CMakeLists.txt >"$quick/CMakeLists.txt"
block pkg-config >"$quick/pkg-config.sh"
for f in main.cpp CMakeLists.txt pkg-config.sh; do
  [ -s "$quick/$f" ] || fail "README's Quick start has no block marked quick-start ${f%.sh}"
done
cmake -S "$quick" -B "$quick/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
  >/dev/null && cmake --build "$quick/build" >/dev/null || fail "README's Quick start does not build with CMake"
(cd "$quick" && bash -e pkg-config.sh) || fail "README's pkg-config line does not build the Quick start"
# The program stays open, as a host's window does: it is stopped once it says the load is open.
opens() {
  "$1" "$server" "$load" >"$quick/out" 2>"$quick/err" &
  local pid=$! _
  for _ in $(seq 600); do
    grep -q "^load $load" "$quick/out" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  grep -qx "load $load open" "$quick/out" || fail "$1 did not open load $load: $(cat "$quick/out" "$quick/err")"
}
opens "$quick/build/quickstart"
opens "$quick/quickstart"
echo "install tree, examples/host, pkg-config and the Quick start: ok"
