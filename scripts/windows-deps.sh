#!/usr/bin/env bash
# Prepares the Windows build: the MinGW-w64 cross compilers, Wine and Xvfb to run the results,
# the LLVM tools and Wine headers for the MSVC-ABI terminal and import library,
# and Windows builds of TinyXML, OpenSSL 3 and GoogleTest made from Debian's source packages.
# The dependency builds are cached under <build folder>/deps/prefix; a prepared machine with a
# filled cache pays nothing. Usage: windows-deps.sh [build folder, default build-windows]
set -euo pipefail

BUILD_DIR=$(realpath -m "${1:-build-windows}")
DEPS_DIR=$BUILD_DIR/deps
SRC_DIR=$DEPS_DIR/src
PREFIX=$DEPS_DIR/prefix
HOST=x86_64-w64-mingw32
JOBS=${JOBS:-2}
SOURCE_DIR=$(cd "$(dirname "$0")/.." && pwd)

PACKAGES=(
  build-essential cmake make perl dpkg-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-utils imagemagick fonts-wqy-microhei
  # The MSVC-ABI side (scripts/msvc-abi.sh): clang-cl, lld-link, llvm-dlltool, llvm-nm and
  # llvm-readobj, with Wine's Windows headers and import libraries.
  clang-14 clang-tools-14 lld-14 llvm-14 libwine-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive

install_packages() {
  local missing=()
  for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return
  fi
  echo "windows-deps: installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# apt-get source needs a deb-src line; add one mirroring the binary sources when none is there.
ensure_deb_src() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  local list=/etc/apt/sources.list.d/tradewire-windows-src.sources
  echo "windows-deps: adding source entries in $list"
  local binary=/etc/apt/sources.list.d/debian.sources
  if [ -f "$binary" ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' "$binary" | $SUDO tee "$list" >/dev/null
  else
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/tradewire-windows-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
}

# Fetches a source package by name into $SRC_DIR/<name> (the unpacked tree, patches applied).
fetch_source() {
  local name=$1
  if [ -d "$SRC_DIR/$name" ]; then
    return
  fi
  ensure_deb_src
  local scratch=$SRC_DIR/.fetch-$name
  # A mirror may lack the files of one version (a security update withdrawn from the pool):
  # each version the package lists is tried in turn, the default one first.
  local versions fetched=""
  versions=$(apt-cache showsrc "$name" | sed -n 's/^Version: //p' | sort -rV)
  for spec in "$name" $(for v in $versions; do echo "$name=$v"; done); do
    rm -rf "$scratch" && mkdir -p "$scratch"
    if (cd "$scratch" && apt-get source -qq "$spec" >/dev/null 2>&1); then
      fetched=$spec
      break
    fi
  done
  if [ -z "$fetched" ]; then
    echo "windows-deps: could not fetch the source package $name" >&2
    exit 1
  fi
  local tree
  tree=$(find "$scratch" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  mv "$tree" "$SRC_DIR/$name"
  rm -rf "$scratch"
}

# Fetches a package's source and gives it an empty build folder, $DEPS_DIR/<name>-build.
start_build() {
  local name=$1 what=$2
  fetch_source "$name"
  echo "windows-deps: building $what"
  rm -rf "$DEPS_DIR/$name-build" && mkdir -p "$DEPS_DIR/$name-build"
}

build_tinyxml() {
  if [ -f "$PREFIX/lib/libtinyxml.a" ]; then
    return
  fi
  start_build tinyxml TinyXML
  local out=$DEPS_DIR/tinyxml-build
  mkdir -p "$PREFIX/lib" "$PREFIX/include"
  local src=$SRC_DIR/tinyxml
  for f in tinystr tinyxml tinyxmlerror tinyxmlparser; do
    $HOST-g++-posix -O2 -DTIXML_USE_STL -c "$src/$f.cpp" -o "$out/$f.o"
  done
  $HOST-ar rcs "$PREFIX/lib/libtinyxml.a" "$out"/*.o
  cp "$src/tinyxml.h" "$src/tinystr.h" "$PREFIX/include/"
}

# OpenSSL as DLLs (libssl-3-x64.dll, libcrypto-3-x64.dll) with import libraries and headers:
# only the libraries are built, no programs, tests or manuals, to keep a cold build short.
build_openssl() {
  if [ -f "$PREFIX/bin/libssl-3-x64.dll" ] && [ -f "$PREFIX/lib/libssl.dll.a" ]; then
    return
  fi
  start_build openssl "OpenSSL (libraries only)"
  local out=$DEPS_DIR/openssl-build
  (
    cd "$out"
    perl "$SRC_DIR/openssl/Configure" mingw64 shared no-tests \
      --cross-compile-prefix=$HOST- --prefix="$PREFIX" --libdir=lib \
      CC=gcc-posix CXX=g++-posix >configure.log
    make -j"$JOBS" build_libs >build.log 2>&1 || { tail -n 40 build.log; exit 1; }
    make install_dev >install.log 2>&1 || { tail -n 40 install.log; exit 1; }
  )
  # The static archives would win over the import libraries under -static; tests must use the
  # same DLLs the library loads.
  rm -f "$PREFIX/lib/libssl.a" "$PREFIX/lib/libcrypto.a"
}

build_googletest() {
  if [ -f "$PREFIX/lib/libgtest.a" ]; then
    return
  fi
  start_build googletest GoogleTest
  local out=$DEPS_DIR/googletest-build
  cmake -S "$SRC_DIR/googletest" -B "$out" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$SOURCE_DIR/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$out" -j"$JOBS" >/dev/null
  cmake --install "$out" >/dev/null
}

install_packages
mkdir -p "$SRC_DIR" "$PREFIX"
build_tinyxml
build_openssl
build_googletest
echo "windows-deps: ready in $PREFIX"
