#!/usr/bin/env bash
# Installs what the build and the tests need, skipping what is present:
# native and cross compilers, CMake, GoogleTest sources, clang for the
# fuzzer, and a 32-bit Wine. Where the kernel cannot run 32-bit programs
# itself, they run through qemu's user-mode emulator.
set -euo pipefail

as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: $* needs root" >&2
    exit 1
  fi
}

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'; }

install_packages() {
  local need=()
  for p in "$@"; do have "$p" || need+=("$p"); done
  [ ${#need[@]} -eq 0 ] && return 0
  as_root "installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if printf '%s\n' "${need[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
}

install_packages cmake ninja-build g++ make clang libclang-rt-14-dev googletest \
  g++-mingw-w64-i686 wine wine32:i386 wine64

# 32-bit programs (Wine's loader) need either the kernel's 32-bit support
# or an emulator registered for them.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  install_packages qemu-user-static
  as_root "registering qemu for 32-bit programs"
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      > /proc/sys/fs/binfmt_misc/register
  fi
  /usr/lib/wine/wine --version >/dev/null
fi
