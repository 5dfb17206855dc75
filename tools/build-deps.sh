#!/usr/bin/env bash
# Cross-builds KOVA's media dependencies as static libraries for i686-w64-mingw32
# from Debian 12 source packages: libjpeg-turbo, libpng, giflib, dav1d, an FFmpeg 5.1 that
# reads the video formats users bring (LGPL parts, video decoders only, and the two encoders
# the MP4 export uses) and OpenCV 4.6 (core, imgproc, imgcodecs, videoio). The result lands
# in a prefix outside the work tree and is rebuilt only when the recipe version below changes.
#
#   tools/build-deps.sh [PREFIX]      default: $KOVA_DEPS or ~/.cache/kova/deps-r<version>
#
# Facts this recipe depends on:
#  - Debian's OpenCV tarball carries no 3rdparty/ folder, so every codec library is ours.
#  - OpenCV never asks pkg-config for FFmpeg on a Windows target: FFmpeg comes in through
#    find_package with a generated config that sets the version variables.
#  - OpenCV 4.6 needs <libavcodec/version.h> in ffmpeg_codecs.hpp to build against FFmpeg 5.1.
#  - FFmpeg with inline asm but without nasm miscomputes swscale's BGR24->YUVJ420P on i686:
#    either nasm or pure C, never the mix.
#  - FFmpeg 5.1's own AV1 decoder only drives hardware: AV1 comes through dav1d.
#  - OpenCV 4.6 turns a video by the display matrix's angle taken as clockwise, but
#    av_display_rotation_get gives it counter-clockwise: a phone's portrait video (90 or 270)
#    came out upside down. Later OpenCV releases negate it, and so does the patch below.
set -euo pipefail

RECIPE=3
HOST=i686-w64-mingw32
CC_X=$HOST-gcc-posix
CXX_X=$HOST-g++-posix
SYSROOT=/usr/$HOST
ZLIB_A=$SYSROOT/lib/libz.a

PREFIX=$(realpath -m "${1:-${KOVA_DEPS:-$HOME/.cache/kova/deps-r$RECIPE}}")
STAMP=$PREFIX/.stamp
if [ -f "$STAMP" ] && grep -qx "recipe=$RECIPE" "$STAMP"; then
  echo "build-deps: $PREFIX is current (recipe $RECIPE)"
  exit 0
fi

JOBS=${JOBS:-$(nproc)}
CACHE=$(realpath -m "${KOVA_DEPS_WORK:-$HOME/.cache/kova/deps-work}")
DL=$CACHE/sources
SRC=$CACHE/src
BLD=$CACHE/build
LOGS=$CACHE/logs
START=$SECONDS
say() { echo "build-deps: [$((SECONDS - START))s] $*"; }
die() { echo "build-deps: error: $*" >&2; exit 1; }
step() {  # step LOGNAME command...
  local log=$LOGS/$1.log; shift
  if ! "$@" >>"$log" 2>&1; then
    echo "build-deps: failed: $*" >&2; tail -n 40 "$log" >&2; exit 1
  fi
}

for tool in "$CC_X" "$CXX_X" cmake meson ninja make nasm dpkg-source; do
  command -v "$tool" >/dev/null || die "$tool is missing: run tools/install-packages.sh first"
done
[ -f "$ZLIB_A" ] || die "$ZLIB_A is missing (libz-mingw-w64-dev)"

mkdir -p "$DL" "$LOGS" "$PREFIX"
rm -rf "$SRC" "$BLD" "$LOGS"/*.log
mkdir -p "$SRC" "$BLD"

# ---- sources: Debian source packages, downloaded once into the cache
newest() { ls -1 "$DL"/$1 2>/dev/null | sort -V | tail -n 1 || true; }
# A mirror sometimes serves the upstream tarball of a security update but not its .dsc:
# the upstream tarball is enough, the Debian patches are taken when they are there.
fetch() {  # fetch PACKAGE ORIG-GLOB
  [ -n "$(newest "$2")" ] && return 0
  say "downloading source package $1"
  (cd "$DL" && apt-get source --download-only "$1") >>"$LOGS/download.log" 2>&1 || true
  [ -n "$(newest "$2")" ] || die "apt-get source $1 failed (needs a deb-src entry: tools/install-packages.sh adds it)"
}
fetch opencv        'opencv_4.6.0+dfsg.orig.tar.xz'
fetch ffmpeg        'ffmpeg_5.1.*.orig.tar.xz'
fetch libjpeg-turbo 'libjpeg-turbo_2.*.orig.tar.gz'
fetch libpng1.6     'libpng1.6_1.6.*.orig.tar.gz'
fetch giflib        'giflib_5.*.orig.tar.gz'
fetch dav1d         'dav1d_1.*.orig.tar.xz'

unpack() {  # unpack NAME PACKAGE-PREFIX ORIG-GLOB
  local dsc; dsc=$(newest "$2_*.dsc")
  if [ -n "$dsc" ] && (cd "$DL" && dpkg-source --no-check -x "$dsc" "$SRC/$1") >>"$LOGS/unpack.log" 2>&1; then
    return 0
  fi
  rm -rf "${SRC:?}/$1"; mkdir -p "$SRC/$1"
  tar -xf "$(newest "$3")" -C "$SRC/$1" --strip-components=1 || die "unpacking $1 failed"
}
say "unpacking"
unpack ffmpeg        ffmpeg        'ffmpeg_5.1.*.orig.tar.xz' &
unpack libjpeg-turbo libjpeg-turbo 'libjpeg-turbo_2.*.orig.tar.gz' &
unpack libpng        libpng1.6     'libpng1.6_1.6.*.orig.tar.gz' &
unpack giflib        giflib        'giflib_5.*.orig.tar.gz' &
unpack dav1d         dav1d         'dav1d_1.*.orig.tar.xz' &
# OpenCV from its main tarball only: the .dsc would also unpack the large contrib tarball.
mkdir -p "$SRC/opencv"
tar -xf "$(newest 'opencv_4.6.0+dfsg.orig.tar.xz')" -C "$SRC/opencv" --strip-components=1 \
  --exclude='*/samples' --exclude='*/data/haarcascades*' --exclude='*/data/lbpcascades' &
wait
codecs=$SRC/opencv/modules/videoio/src/ffmpeg_codecs.hpp
grep -q 'libavcodec/version.h' "$codecs" \
  || sed -i 's|#include <libavformat/avformat.h>|#include <libavcodec/version.h>\n#include <libavformat/avformat.h>|' "$codecs"
grep -q 'libavcodec/version.h' "$codecs" || die "could not patch $codecs"
capture=$SRC/opencv/modules/videoio/src/cap_ffmpeg_impl.hpp
sed -i 's|rotation_angle = cvRound(av_display_rotation_get(|rotation_angle = -cvRound(av_display_rotation_get(|' "$capture"
grep -q 'rotation_angle = -cvRound(av_display_rotation_get(' "$capture" || die "could not patch $capture"

TC=$PREFIX/toolchain.cmake
cat > "$TC" <<TCEOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER   $CC_X)
set(CMAKE_CXX_COMPILER $CXX_X)
set(CMAKE_RC_COMPILER  $HOST-windres)
set(CMAKE_FIND_ROOT_PATH $SYSROOT "$PREFIX")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TCEOF
export PKG_CONFIG_LIBDIR=$PREFIX/lib/pkgconfig PKG_CONFIG_PATH= PKG_CONFIG_SYSROOT_DIR=

cmake_build() {  # cmake_build NAME SOURCE-DIR cmake-args...
  local name=$1 src=$2; shift 2
  step "$name" cmake -S "$src" -B "$BLD/$name" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TC" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@"
  step "$name" ninja -C "$BLD/$name" -j "$JOBS"
  step "$name" cmake --install "$BLD/$name"
}

say "libjpeg-turbo"
cmake_build jpeg "$SRC/libjpeg-turbo" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm

say "libpng"
cmake_build png "$SRC/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DZLIB_LIBRARY="$ZLIB_A" -DZLIB_INCLUDE_DIR="$SYSROOT/include" \
  -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON

say "giflib"
# Debian's patches put GifQuantizeBuffer into libgif.a, which the GIF writer needs.
step giflib make -C "$SRC/giflib" -j "$JOBS" libgif.a CC="$CC_X" AR=$HOST-ar
install -m 644 "$SRC/giflib/libgif.a" "$PREFIX/lib/libgif.a"
install -m 644 "$SRC/giflib/gif_lib.h" "$PREFIX/include/gif_lib.h"

say "dav1d"
cat > "$PREFIX/meson-cross.txt" <<MESONEOF
[binaries]
c = '$CC_X'
ar = '$HOST-ar'
strip = '$HOST-strip'
windres = '$HOST-windres'
nasm = 'nasm'

[host_machine]
system = 'windows'
cpu_family = 'x86'
cpu = 'i686'
endian = 'little'
MESONEOF
step dav1d meson setup "$BLD/dav1d" "$SRC/dav1d" --cross-file "$PREFIX/meson-cross.txt" \
  --prefix="$PREFIX" --libdir=lib --buildtype=release --default-library=static \
  -Denable_tools=false -Denable_tests=false -Denable_examples=false -Dbitdepths=8,16 -Denable_asm=true
step dav1d ninja -C "$BLD/dav1d" -j "$JOBS"
step dav1d meson install -C "$BLD/dav1d"
rm -f "$PREFIX/meson-cross.txt"

say "FFmpeg"
# What OpenCV's stock Windows back-end opens: the video decoders and containers people's files
# come in, no audio decoders (OpenCV reads video only), nothing under the GPL. The raw video
# demuxers stay: the program-stream demuxer tells a stream's codec by probing them.
FF_DECODERS=(h264 hevc vp8 vp9 libdav1d mpeg1video mpeg2video mpeg4 h263 h263p flv
             msmpeg4v1 msmpeg4v2 msmpeg4v3 wmv1 wmv2 wmv3 vc1 theora prores cinepak mjpeg dnxhd rawvideo)
FF_DEMUXERS=(mov avi matroska mpegps mpegts asf ogg flv h264 hevc m4v mpegvideo vc1 mjpeg)
FF_PARSERS=(h264 hevc vp8 vp9 av1 mpeg4video mpegvideo h263 vc1 vp3 mjpeg dnxhd)
FF_BSFS=(h264_mp4toannexb hevc_mp4toannexb mpeg4_unpack_bframes vp9_superframe_split)
mkdir -p "$BLD/ffmpeg"
(cd "$BLD/ffmpeg" && step ffmpeg "$SRC/ffmpeg/configure" \
  --prefix="$PREFIX" --enable-cross-compile --target-os=mingw32 --arch=x86 \
  --cross-prefix=$HOST- --cc="$CC_X" --cxx="$CXX_X" --pkg-config=pkg-config --x86asmexe=nasm \
  --enable-static --disable-shared --disable-autodetect --enable-w32threads \
  --disable-programs --disable-doc --disable-debug --disable-network \
  --disable-avdevice --disable-avfilter --disable-postproc --disable-swresample \
  --disable-everything --enable-libdav1d \
  --enable-decoder="$(IFS=,; echo "${FF_DECODERS[*]}")" --enable-encoder=mpeg4,mjpeg \
  --enable-parser="$(IFS=,; echo "${FF_PARSERS[*]}")" \
  --enable-demuxer="$(IFS=,; echo "${FF_DEMUXERS[*]}")" --enable-muxer=mov,mp4,avi \
  --enable-protocol=file --enable-bsf="$(IFS=,; echo "${FF_BSFS[*]}")")
step ffmpeg make -C "$BLD/ffmpeg" -j "$JOBS"
step ffmpeg make -C "$BLD/ffmpeg" install

pcversion() { sed -n 's/^Version: *//p' "$PREFIX/lib/pkgconfig/$1.pc"; }
ffversion=$(sed -n 's/^#define FFMPEG_VERSION "\(.*\)"/\1/p' "$BLD/ffmpeg/libavutil/ffversion.h")
mkdir -p "$PREFIX/lib/cmake/ffmpeg"
cat > "$PREFIX/lib/cmake/ffmpeg/FFMPEGConfig.cmake" <<FFEOF
get_filename_component(_ff_prefix "\${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
set(FFMPEG_FOUND TRUE)
set(FFMPEG_VERSION $ffversion)
set(FFMPEG_INCLUDE_DIRS "\${_ff_prefix}/include")
set(FFMPEG_LIBRARIES "\${_ff_prefix}/lib/libavformat.a" "\${_ff_prefix}/lib/libavcodec.a"
    "\${_ff_prefix}/lib/libdav1d.a" "\${_ff_prefix}/lib/libswscale.a" "\${_ff_prefix}/lib/libavutil.a"
    bcrypt ole32 user32)
set(FFMPEG_libavcodec_VERSION  $(pcversion libavcodec))
set(FFMPEG_libavformat_VERSION $(pcversion libavformat))
set(FFMPEG_libavutil_VERSION   $(pcversion libavutil))
set(FFMPEG_libswscale_VERSION  $(pcversion libswscale))
FFEOF

say "OpenCV"
off() { local a; for a in "$@"; do printf -- '-D%s=OFF ' "$a"; done; }
# shellcheck disable=SC2046
cmake_build opencv "$SRC/opencv" -DBUILD_SHARED_LIBS=OFF -DBUILD_LIST=core,imgproc,imgcodecs,videoio \
  $(off BUILD_TESTS BUILD_PERF_TESTS BUILD_EXAMPLES BUILD_opencv_apps BUILD_DOCS BUILD_JAVA \
        BUILD_opencv_python2 BUILD_opencv_python3 BUILD_opencv_js BUILD_PACKAGE \
        BUILD_ZLIB BUILD_JPEG BUILD_PNG BUILD_TIFF BUILD_WEBP BUILD_OPENJPEG BUILD_JASPER BUILD_OPENEXR \
        BUILD_PROTOBUF BUILD_IPP_IW BUILD_ITT BUILD_TBB \
        WITH_TIFF WITH_WEBP WITH_OPENJPEG WITH_JASPER WITH_OPENEXR WITH_IMGCODEC_HDR WITH_IPP WITH_ITT \
        WITH_OPENCL WITH_LAPACK WITH_EIGEN WITH_PROTOBUF WITH_ADE WITH_QUIRC WITH_CUDA WITH_VTK WITH_GTK \
        WITH_QT WITH_WIN32UI WITH_OPENGL WITH_DIRECTX WITH_OPENCL_D3D11_NV WITH_DSHOW WITH_MSMF \
        WITH_MSMF_DXVA WITH_OBSENSOR WITH_GSTREAMER WITH_1394 WITH_OPENVX WITH_TBB WITH_OPENMP \
        WITH_CAROTENE WITH_VA WITH_VA_INTEL WITH_MFX WITH_GDAL WITH_GDCM WITH_GPHOTO2 \
        VIDEOIO_ENABLE_PLUGINS ENABLE_PRECOMPILED_HEADERS OPENCV_GENERATE_PKGCONFIG) \
  -DOPENCV_PYTHON_SKIP_DETECTION=ON -DWITH_JPEG=ON -DWITH_PNG=ON \
  -DWITH_FFMPEG=ON -DOPENCV_FFMPEG_USE_FIND_PACKAGE=FFMPEG -DFFMPEG_DIR="$PREFIX/lib/cmake/ffmpeg" \
  -DOPENCV_FFMPEG_SKIP_DOWNLOAD=ON \
  -DZLIB_LIBRARY="$ZLIB_A" -DZLIB_INCLUDE_DIR="$SYSROOT/include" \
  -DJPEG_LIBRARY="$PREFIX/lib/libjpeg.a" -DJPEG_INCLUDE_DIR="$PREFIX/include" \
  -DPNG_LIBRARY="$PREFIX/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$PREFIX/include"
grep -q 'FFMPEG: *YES' "$LOGS/opencv.log" || die "OpenCV was configured without FFmpeg"
# The exported targets name the codec libraries by absolute path: make them relative.
sed -i "s|$PREFIX/|\${_IMPORT_PREFIX}/|g" "$PREFIX/lib/cmake/opencv4/OpenCVModules.cmake"
rm -rf "$PREFIX/bin" "$PREFIX/share/man" "$PREFIX/share/doc" "$PREFIX/share/ffmpeg" "$PREFIX/setup_vars_opencv4.cmd"

printf 'recipe=%s\nbuilt=%s\nffmpeg=%s\n' "$RECIPE" "$(date -u +%FT%TZ)" "$ffversion" > "$STAMP"
rm -rf "$SRC" "$BLD"
say "done: $PREFIX ($(du -sh "$PREFIX" | cut -f1))"
