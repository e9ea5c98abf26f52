#!/usr/bin/env bash
# The packages on a booted Debian 12 under systemd: builds newgui and newgui-toolsim, installs
# them with dpkg into a minimal image, boots it under qemu (x86-64, software emulation) and
# checks the display, the keys, the bus policy, the restarts and pulled plugs from outside,
# through QMP and the serial console (tests/device/device_test.py).
#   scripts/device-test.sh [--rounds N] [device_test.py options]
# N pulled plugs (default 20). Screen dumps, the serial log and the timings go to
# ${BUILD_DIR:-build}/device-test/. Needs root (the image's files belong to root) and about
# 3 GB in the build folder; the base system (Debian's packages) is kept there as a tarball
# keyed by its package list, so a second run skips the download.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${BUILD_DIR:-build}")
OUT=$BUILD/device-test
SUITE=bookworm

if [ "$(id -u)" != 0 ]; then
  echo "device-test: run as root (the image's files must belong to root)" >&2
  exit 2
fi
need=()
command -v mmdebstrap >/dev/null || need+=(mmdebstrap)
command -v qemu-system-x86_64 >/dev/null || need+=(qemu-system-x86)
command -v mkfs.ext4 >/dev/null || need+=(e2fsprogs)
command -v cpack >/dev/null || need+=(cmake)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

[ -x "$BUILD/src/app/newgui" ] && [ -x "$BUILD/tests/hostile/settingswriter" ] && [ -z "${NG_DEVICE_REBUILD:-}" ] \
  || scripts/build.sh
cmake --build "$BUILD" -j"$(nproc)" --target newgui toolsim settingswriter >/dev/null

mkdir -p "$OUT"
rm -rf "$OUT/debs" "$OUT/root"
(cd "$BUILD" && cpack -G DEB -B "$OUT/debs" >/dev/null)
mapfile -t DEBS < <(ls "$OUT"/debs/*.deb)
[ ${#DEBS[@]} -eq 2 ] || { echo "device-test: expected two packages, got ${DEBS[*]}" >&2; exit 1; }

# The base system: the kernel, systemd, the bus, udev, the packages' dependencies, Python for
# the peer that reads the settings files, Mesa's software drivers for eglfs. The initramfs
# holds only what the VM's disk needs (a quicker boot for the pulled-plug rounds); dpkg
# skips fsync and documentation (the base is built once and kept).
deps=$(for d in "${DEBS[@]}"; do dpkg-deb -f "$d" Depends; done | tr ',' '\n' | sed 's/(.*)//; s/ //g' \
  | grep -v '^newgui' | sort -u)
PACKAGES=$(printf '%s\n' linux-image-amd64 systemd-sysv dbus udev kmod python3 libgl1-mesa-dri libegl-mesa0 $deps | sort -u | paste -sd,)
MMDEBSTRAP=(mmdebstrap --quiet --format=tar --variant=minbase --include="$PACKAGES"
  --dpkgopt=force-unsafe-io --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*'
  --dpkgopt='path-exclude=/usr/share/locale/*' --aptopt='Acquire::Languages "none"'
  --setup-hook='mkdir -p "$1/etc/initramfs-tools/conf.d" "$1/usr/share/initramfs-tools/modules.d"'
  --setup-hook='echo MODULES=list > "$1/etc/initramfs-tools/conf.d/tool-vm"'
  --setup-hook='printf "virtio_pci\nvirtio_blk\next4\n" > "$1/usr/share/initramfs-tools/modules.d/tool-vm"'
  "$SUITE")
BASE=$OUT/base-$(echo "${MMDEBSTRAP[*]}" | sha256sum | cut -c1-16).tar
if [ ! -s "$BASE" ]; then
  rm -f "$OUT"/base-*.tar
  echo "device-test: building the base system ($SUITE)"
  "${MMDEBSTRAP[@]}" "$BASE.part"
  mv "$BASE.part" "$BASE"
fi

# The image: the base, the two packages, the test's users and helpers.
ROOT=$OUT/root
mkdir -p "$ROOT"
tar -xf "$BASE" -C "$ROOT"
mkdir -p "$ROOT/tmp/debs"
cp "${DEBS[@]}" "$ROOT/tmp/debs/"
chroot "$ROOT" sh -c 'dpkg -i /tmp/debs/*.deb >/dev/null && rm -r /tmp/debs && systemctl enable newgui.service >/dev/null 2>&1'
chroot "$ROOT" sh -c 'useradd -m -s /bin/sh outsider && useradd -m -s /bin/sh -G tool member'
# The tool's configuration as the simulator leaves it at its first start.
cp -r "$ROOT/usr/share/newgui-toolsim/sample/home" "$ROOT/"
install -m 755 "$BUILD/tests/hostile/settingswriter" "$ROOT/usr/local/bin/settingswriter"
install -m 755 tests/device/plug-round "$ROOT/usr/local/sbin/plug-round"
install -m 755 tests/device/peer-check "$ROOT/usr/local/bin/peer-check"
# The README's key settings for the PS/2 keyboard of the VM.
cat > "$ROOT/etc/default/newgui" <<'EOF'
QT_QPA_FB_NO_LIBINPUT=1
QT_QPA_EVDEV_KEYBOARD_PARAMETERS=/dev/input/by-path/platform-i8042-serio-0-event-kbd
EOF
echo tool-vm > "$ROOT/etc/hostname"
echo '/dev/vda / ext4 defaults 0 1' > "$ROOT/etc/fstab"
# The serial console is the test's shell; nothing draws text on the frame buffer.
mkdir -p "$ROOT/etc/systemd/system/serial-getty@ttyS0.service.d"
cat > "$ROOT/etc/systemd/system/serial-getty@ttyS0.service.d/autologin.conf" <<'EOF'
[Service]
ExecStart=
ExecStart=-/sbin/agetty --autologin root --noclear --keep-baud 115200 %I vt100
EOF
ln -sf /dev/null "$ROOT/etc/systemd/system/getty@tty1.service"
cp "$ROOT"/boot/vmlinuz-* "$OUT/vmlinuz"
cp "$ROOT"/boot/initrd.img-* "$OUT/initrd.img"
rm -f "$OUT/root.img"
mkfs.ext4 -q -F -L toolroot -d "$ROOT" "$OUT/root.img" 3G
rm -rf "$ROOT"

exec python3 tests/device/device_test.py --out "$OUT" "$@"
