#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing KOVA needs:
# the MinGW-w64 i686 cross toolchain, 32-bit Wine, a virtual X display and
# the build tools. Safe to run again; it only installs what is missing.
set -euo pipefail

PACKAGES=(
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools binutils-mingw-w64-i686
  wine wine32:i386 xvfb xauth
  cmake meson ninja-build nasm make pkg-config xz-utils patch perl dpkg-dev
  libz-mingw-w64-dev googletest
  fonts-dejavu-core fonts-liberation fonts-droid-fallback fonts-wqy-microhei
  python3 python3-fonttools python3-pil ffmpeg imagemagick ccache locales
)
# Wine takes a program's ANSI code page from its Unix locale: the file-name tests run under
# these, for code pages 1252, 1251 and 932.
LOCALES=(en_US ru_RU ja_JP)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

make_locales() {
  local l
  for l in "${LOCALES[@]}"; do
    locale -a 2>/dev/null | grep -qx "$l.utf8" || as_root localedef -i "$l" -f UTF-8 "$l.UTF-8"
  done
}

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
need_src=0
grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ || need_src=1
need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

if [ ${#missing[@]} -eq 0 ] && [ $need_src = 0 ] && [ $need_i386 = 0 ]; then
  make_locales
  echo "install-packages: everything is installed"
  exit 0
fi

[ $need_i386 = 1 ] && as_root dpkg --add-architecture i386
if [ $need_src = 1 ]; then
  # Source packages (OpenCV, FFmpeg, libjpeg-turbo, libpng, giflib) come from Debian's deb-src.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -n '/^Types: deb$/,/^$/p' /etc/apt/sources.list.d/debian.sources | sed 's/^Types: deb$/Types: deb-src/' \
      | as_root tee /etc/apt/sources.list.d/kova-deb-src.sources >/dev/null
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee /etc/apt/sources.list.d/kova-deb-src.list >/dev/null
  fi
fi
as_root apt-get update -q
echo "install-packages: installing ${missing[*]:-nothing new}"
[ ${#missing[@]} -eq 0 ] || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
make_locales
