#!/usr/bin/env python3
"""The packages booted on Debian 12 under qemu, checked from outside: QMP reads the screen
and presses keys on the PS/2 keyboard, the serial console is a root shell inside. Made by
scripts/device-test.sh, which builds the image (root.img, vmlinuz, initrd.img in --out).

Checks, in one boot: systemd starts the GUI on linuxfb, the scene is drawn at 240 x 320 in the
top-left corner of the frame buffer, a result the simulator sends appears, the kernel keyboard
drives the menus, the installed bus policy on the real system bus, the restart after SIGSEGV,
a GUI that cannot start stops being restarted and the journal says why, bad files give a line
in the journal and a working screen. Then the pulled plugs: the GUI's settings save runs over
and over while the VM is hard-reset at random moments; after every reset a peer reads the
settings files before anything else runs, and at the end the GUI boots on them.

Screen dumps (PNG), the serial logs and timings.txt are kept in --out."""
import argparse
import ctypes
import json
import os
import random
import re
import socket
import subprocess
import sys
import threading
import time
import zlib

SCENE_W, SCENE_H = 240, 320
PR_SET_PDEATHSIG = 1


def die_with_parent():
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, 9)
GUI_CONF = "/etc/default/newgui"
SETTINGS = ("guiconfig.json", "wlan.json")


def write_png(path, width, height, rgb):
    raw = b"".join(b"\0" + rgb[y * width * 3:(y + 1) * width * 3] for y in range(height))

    def chunk(kind, data):
        return (len(data).to_bytes(4, "big") + kind + data
                + (zlib.crc32(kind + data) & 0xffffffff).to_bytes(4, "big"))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", width.to_bytes(4, "big") + height.to_bytes(4, "big") + b"\x08\x02\0\0\0")
                + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


class Screen:
    def __init__(self, ppm):
        parts = ppm.split(maxsplit=4)
        assert parts[0] == b"P6" and parts[3] == b"255", ppm[:20]
        self.w, self.h, self.rgb = int(parts[1]), int(parts[2]), parts[4]

    def rect(self, x0, y0, x1, y1):
        return b"".join(self.rgb[(y * self.w + x0) * 3:(y * self.w + x1) * 3] for y in range(y0, y1))

    def scene(self):
        return self.rect(0, 0, SCENE_W, SCENE_H)

    def colours(self, data):
        return len({data[i:i + 3] for i in range(0, len(data), 3)})

    def scene_shown(self):
        """The scene, and nothing else: many colours inside the top-left 240 x 320, one
        colour right of it and below it."""
        outside = self.rect(SCENE_W, 0, self.w, self.h) + self.rect(0, SCENE_H, SCENE_W, self.h)
        return self.colours(self.scene()) > 8 and self.colours(outside) == 1

    def save(self, path):
        write_png(path, self.w, self.h, self.rgb)


class Vm:
    """One qemu run of the image: the serial console on a socket (and in a log file), QMP."""

    def __init__(self, args, name, extra_append=""):
        self.out, self.name = args.out, name
        run = os.path.join(args.out, "run")
        os.makedirs(run, exist_ok=True)
        self.qmp_path, self.ser_path = os.path.join(run, "qmp.sock"), os.path.join(run, "serial.sock")
        for p in (self.qmp_path, self.ser_path):
            if os.path.exists(p):
                os.unlink(p)
        self.log = os.path.join(args.out, "serial-%s.log" % name)
        if os.path.exists(self.log):
            os.unlink(self.log)
        append = ("root=/dev/vda rw console=ttyS0,115200 quiet loglevel=3 vt.global_cursor_default=0 "
                  "systemd.show_status=0 " + extra_append).strip()
        cmd = ["qemu-system-x86_64", "-accel", args.accel, "-m", "1024", "-smp", "2", "-nodefaults", "-no-user-config",
               "-vga", "std", "-display", "none", "-nic", "none",
               "-kernel", os.path.join(args.out, "vmlinuz"), "-initrd", os.path.join(args.out, "initrd.img"),
               "-append", append,
               "-drive", "file=%s,format=raw,if=virtio,cache=writeback" % os.path.join(args.out, "root.img"),
               "-chardev", "socket,id=ser0,path=%s,server=on,wait=off,logfile=%s" % (self.ser_path, self.log),
               "-serial", "chardev:ser0", "-qmp", "unix:%s,server=on,wait=off" % self.qmp_path]
        self.started = time.monotonic()
        self.proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, preexec_fn=die_with_parent,
                                     stderr=open(os.path.join(args.out, "qemu-%s.err" % name), "w"))
        self.ser = self._connect(self.ser_path)
        self.qmp = self._connect(self.qmp_path)
        self.qmp_file = self.qmp.makefile("rb")
        self.qmp_file.readline()
        self.command("qmp_capabilities")
        self.buf, self.cursor, self.lock, self.n = "", 0, threading.Lock(), 0
        threading.Thread(target=self._read, daemon=True).start()

    def _connect(self, path):
        deadline = time.monotonic() + 30
        while True:
            try:
                s = socket.socket(socket.AF_UNIX)
                s.connect(path)
                return s
            except OSError:
                if time.monotonic() > deadline or self.proc.poll() is not None:
                    raise RuntimeError("qemu did not start (qemu-%s.err)" % self.name)
                time.sleep(0.1)

    def _read(self):
        while True:
            try:
                data = self.ser.recv(4096)
            except OSError:
                return
            if not data:
                return
            with self.lock:
                self.buf += data.decode("utf-8", "replace").replace("\r", "")

    def command(self, name, **arguments):
        self.qmp.sendall(json.dumps({"execute": name, "arguments": arguments}).encode() + b"\n")
        while True:
            line = self.qmp_file.readline()
            if not line:
                raise RuntimeError("QMP closed")
            reply = json.loads(line)
            if "return" in reply:
                return reply["return"]
            if "error" in reply:
                raise RuntimeError("QMP %s: %s" % (name, reply["error"]))

    def expect(self, pattern, timeout):
        """The first match of pattern in the console output after the last one."""
        deadline = time.monotonic() + timeout
        while True:
            with self.lock:
                m = re.compile(pattern, re.M).search(self.buf, self.cursor)
                if m:
                    self.cursor = m.end()
                    return m
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise TimeoutError("no %r on the serial console within %d s (%s)" % (pattern, timeout, self.log))
            time.sleep(0.1)

    def skip_output(self):
        with self.lock:
            self.cursor = len(self.buf)

    def login(self, timeout):
        self.expect(r"root@tool-vm:~# ", timeout)
        self.ser.sendall(b"stty -echo; export PS1= PS2= SYSTEMD_PAGER= SYSTEMD_COLORS=0 TERM=dumb\n")
        self.sh("true")

    def sh(self, command, timeout=60):
        """Runs a shell command on the console; returns (exit status, output)."""
        self.n += 1
        self.skip_output()
        start = self.cursor
        self.ser.sendall(("%s; printf '@@rc %%s %d@@\\n' $?\n" % (command, self.n)).encode())
        m = self.expect(r"@@rc (\d+) %d@@" % self.n, timeout)
        with self.lock:
            return int(m.group(1)), self.buf[start:m.start()].strip()

    def screen(self, name=None):
        path = os.path.join(self.out, "run", "screen.ppm")
        self.command("screendump", filename=path)
        with open(path, "rb") as f:
            s = Screen(f.read())
        if name:
            s.save(os.path.join(self.out, name + ".png"))
        return s

    def wait_scene(self, timeout, name=None):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            s = self.screen()
            if s.scene_shown():
                if name:
                    s.save(os.path.join(self.out, name + ".png"))
                return s
            time.sleep(0.5)
        self.screen(name and name + "-missing")
        return None

    def wait_change(self, before, timeout, name):
        """The next screen whose scene differs from before, once it has settled."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            time.sleep(0.5)
            s = self.screen()
            if s.scene() != before.scene():
                time.sleep(1)
                return self.screen(name)
        return self.screen(name)

    def key(self, qcode):
        self.command("send-key", keys=[{"type": "qcode", "data": qcode}], **{"hold-time": 100})

    def stop(self):
        try:
            self.command("quit")
        except (RuntimeError, OSError):
            pass
        try:
            self.proc.wait(20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class DeviceTest:
    def __init__(self, args):
        self.args = args
        self.failures = []
        self.timings = []

    def check(self, ok, what):
        print(("ok      " if ok else "FAILED  ") + what, flush=True)
        if not ok:
            self.failures.append(what)
        return ok

    def timing(self, text):
        print("timing  " + text, flush=True)
        self.timings.append(text)

    def journal(self, vm, since_cursor=""):
        return vm.sh("journalctl -b -o cat -u newgui --no-pager %s" % since_cursor)[1]

    # ---- the first boot: display, keys, bus, restarts, bad files
    def boot_checks(self):
        vm = Vm(self.args, "boot")
        try:
            shown = vm.wait_scene(self.args.boot_timeout, "boot")
            if not self.check(shown is not None, "the GUI's scene is on the frame buffer after the boot (boot.png)"):
                return
            self.timing("boot to the GUI's first frame on screen: %.1f s (qemu start to screen dump)" % (time.monotonic() - vm.started))
            vm.login(120)
            _, startup = vm.sh("systemctl show -P ExecMainStartTimestampMonotonic newgui")
            self.timing("GUI started by systemd %.1f s after the kernel" % (int(startup or 0) / 1e6))
            rc, out = vm.sh("systemctl is-active newgui newgui-toolsim; tr '\\0' '\\n' < /proc/$(systemctl show -P MainPID newgui)/environ | grep QT_QPA_PLATFORM; cat /sys/class/graphics/fb0/virtual_size")
            self.check(rc == 0 and "QT_QPA_PLATFORM=linuxfb" in out and out.count("active") == 2,
                       "systemd runs newgui and newgui-toolsim, the GUI on linuxfb (%s)" % " ".join(out.split()))
            self.check((shown.w, shown.h) != (SCENE_W, SCENE_H) and shown.scene_shown(),
                       "the scene is 240 x 320 in the top-left corner of the %d x %d frame buffer" % (shown.w, shown.h))
            self.result(vm)
            self.keys(vm)
            self.bus_policy(vm)
            self.restarts(vm)
            self.bad_files(vm)
            vm.sh("sync")  # the pulled plugs start from the files as they are now
        finally:
            vm.stop()

    def result(self, vm):
        before = vm.screen()
        rc, out = vm.sh("toolsim ctl result ok torque=43.21 angle=123")
        after = vm.wait_change(before, 20, "result")
        self.check(rc == 0 and after.scene() != before.scene() and after.scene_shown(),
                   "a result sent by the simulator (toolsim ctl, as root on the booted system) appears (result.png; %s)" % out)

    def keys(self, vm):
        home = vm.screen()
        vm.key("a")
        menu = vm.wait_change(home, 20, "key-a")
        vm.key("right")
        right = vm.wait_change(menu, 20, "key-right")
        vm.key("left")
        left = vm.wait_change(right, 20, "key-left")
        self.check(menu.scene() != home.scene() and right.scene() != menu.scene() and left.scene() == menu.scene(),
                   "the kernel keyboard drives the menus on linuxfb with the README's evdev settings: A opens the "
                   "menu, Right moves, Left moves back (key-a.png, key-right.png, key-left.png)")
        # Back to the start view the way the operator goes, for the checks that follow.
        vm.sh("systemctl restart newgui")
        vm.wait_scene(60)

    def bus_policy(self, vm):
        call = ("dbus-send --system --print-reply --dest=com.velmar.akku.GUIService /GUI "
                "com.velmar.akku.gui.getFccTestMode")
        rc_out, out_out = vm.sh("runuser -u outsider -- " + call)
        rc_mem, out_mem = vm.sh("runuser -u member -- " + call)
        self.check(rc_out != 0 and "AccessDenied" in out_out and rc_mem == 0 and "boolean" in out_mem,
                   "a user outside the tool group cannot call the GUI, a member can")
        own = ("busctl --system call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus RequestName "
               "su com.velmar.akku.GUIService 4")
        rc_out, out_out = vm.sh("runuser -u outsider -- " + own)
        rc_mem, out_mem = vm.sh("runuser -u member -- " + own)
        rc_root, out_root = vm.sh(own)
        self.check(rc_out != 0 and "denied" in out_out.lower() and rc_mem != 0 and rc_root == 0 and out_root == "u 3",
                   "only root may take the GUI's name (outsider: %s; member: %s; root, while the GUI has it: %s)"
                   % (out_out, out_mem, out_root))
        # The battery signal of the system service: the header's battery shows what it says.
        signal = "dbus-send --system --type=signal /SysObj com.velmar.akku.SysInterface.battpowerchanged int32:3"
        before = vm.screen()
        vm.sh("runuser -u outsider -- " + signal)
        time.sleep(3)
        outsider = vm.screen("signal-outsider")
        vm.sh("runuser -u member -- " + signal)
        member = vm.wait_change(before, 20, "signal-member")
        self.check(outsider.scene() == before.scene() and member.scene() != before.scene(),
                   "a battery signal from a user outside the tool group is not delivered, a member's is "
                   "(signal-outsider.png, signal-member.png)")
        vm.sh("toolsim ctl battery power=80")

    def restarts(self, vm):
        _, pid = vm.sh("systemctl show -P MainPID newgui")
        # The dead GUI's last frame stays in the frame buffer: blank it, so that only a new
        # GUI can bring the scene back.
        t0 = time.monotonic()
        vm.sh("kill -SEGV %s; sleep 0.2; cat /dev/zero > /dev/fb0 2>/dev/null" % pid)
        back = vm.wait_scene(60, "restart")
        elapsed = time.monotonic() - t0
        _, new_pid = vm.sh("systemctl show -P MainPID newgui")
        rc, log = vm.sh("journalctl -b -u newgui -o cat | grep -c 'status=11/SEGV'")
        if self.check(back is not None and new_pid not in ("0", pid) and rc == 0,
                      "killed with SIGSEGV, the GUI is back on screen (restart.png) within %.1f s" % elapsed):
            self.timing("SIGSEGV to the scene on screen again: %.1f s (unit's RestartSec=2 included)" % elapsed)
        # No frame buffer: the unit gives up after a few tries and the journal says why.
        vm.sh("cp %s /root/newgui.default && echo QT_QPA_PLATFORM=linuxfb:fb=/dev/fb7 >> %s" % (GUI_CONF, GUI_CONF))
        vm.sh("journalctl --rotate >/dev/null 2>&1; systemctl restart newgui")
        deadline = time.monotonic() + 150
        state = ""
        while time.monotonic() < deadline:
            _, state = vm.sh("systemctl show -P ActiveState newgui")
            if state == "failed":
                break
            time.sleep(3)
        _, restarts = vm.sh("systemctl show -P NRestarts newgui")
        time.sleep(10)
        _, state_later = vm.sh("systemctl show -P ActiveState newgui")
        _, log = vm.sh("journalctl -b -o cat -u newgui --no-pager | grep -i -m3 -E 'fb7|framebuffer|platform plugin'")
        self.check(state == "failed" and state_later == "failed" and log != "",
                   "without a frame buffer the unit stops retrying (failed after %s restarts) and the journal says why: %s"
                   % (restarts, log.replace("\n", " | ")))
        vm.sh("cp /root/newgui.default %s; systemctl reset-failed newgui; systemctl start newgui" % GUI_CONF)
        self.check(vm.wait_scene(90) is not None, "with the frame buffer back, the GUI starts again")

    def bad_files(self, vm):
        _, stopped = vm.sh("systemctl stop newgui; systemctl show -P ActiveState newgui; cp /home/tool/config/guiconfig.json /root/guiconfig.json.good")
        self.check(stopped == "inactive", "systemctl stop leaves the unit stopped, not failed (%s)" % stopped)
        vm.sh("cp -a /home/tool/config/langs /root/langs.good")
        vm.sh("printf '{\"global\": {\"language\": ' > /home/tool/config/guiconfig.json; rm -rf /home/tool/config/langs")
        vm.sh("cp /home/tool/data/result.sq3 /root/result.sq3.good; : > /home/tool/data/result.sq3")
        _, since = vm.sh("date +%s")
        vm.sh("systemctl reset-failed newgui; systemctl start newgui")
        shown = vm.wait_scene(90)
        # A result announced in the empty database.
        vm.sh("dbus-send --system --type=signal /ResObj com.velmar.akku.ResInterface.newresult "
              "string:/home/tool/data/result.sq3 int32:1")
        time.sleep(5)
        shown = shown and vm.wait_scene(30, "bad-files")
        _, log = vm.sh("journalctl -o cat -t newgui --no-pager --since=@%s" % since)
        _, state = vm.sh("systemctl show -P ActiveState newgui; systemctl show -P NRestarts newgui")
        lines = [re.search(p, log) for p in (r".*guiconfig\.json.*", r".*[Ll]anguage.*", r".*(DB Error|result database).*")]
        self.check(shown is not None and state.split() == ["active", "0"] and all(lines),
                   "a corrupt guiconfig.json, no language folder and an empty result database: a working screen "
                   "(bad-files.png), no restart, and in the journal: %s" % " | ".join(m.group(0) if m else "(none)" for m in lines))
        vm.sh("systemctl stop newgui; cp /root/guiconfig.json.good /home/tool/config/guiconfig.json; "
              "cp -a /root/langs.good /home/tool/config/langs; "
              "cp /root/result.sq3.good /home/tool/data/result.sq3; systemctl start newgui")

    # ---- pulled plugs
    def peer_lines(self, vm):
        vm.expect(r"^@@round-boot", 300)
        lines = vm.expect(r"^((?:@@peer .*\n)*)@@peer-done", 120).group(1)
        return dict(re.findall(r"^@@peer (\S+) (.*)$", lines, re.M))

    def judge_peer(self, round_no, seen, saved_once):
        bad = []
        for name in SETTINGS:
            state = seen.get(name, "missing")
            if state.startswith("ok "):
                saved_once.add(name)
            elif not (state == "missing" and name not in saved_once and name == "wlan.json"):
                bad.append("%s %s" % (name, state))
        return bad

    def pulled_plugs(self):
        rounds = self.args.rounds
        vm = Vm(self.args, "plugs", "init=/usr/local/sbin/plug-round")
        saved_once, broken_after_reset, broken_while_saving = set(), [], []
        times = []
        try:
            for i in range(rounds):
                t = time.monotonic()
                seen = self.peer_lines(vm)
                bad = self.judge_peer(i, seen, saved_once)
                if bad:
                    broken_after_reset.append("before reset %d: %s" % (i, ", ".join(bad)))
                vm.expect(r"^@@saving", 60)
                time.sleep(random.uniform(0.3, 3.0))
                with vm.lock:
                    broken_while_saving += re.findall(r"^@@peer-saw (.*)$", vm.buf[vm.cursor:], re.M)
                vm.command("system_reset")
                times.append(time.monotonic() - t)
            print("        %d hard resets while saving, %.1f s per round" % (rounds, sum(times) / max(1, len(times))), flush=True)
        finally:
            vm.stop()
        # After the last reset: the peer reads, then systemd boots and the GUI comes up on the files.
        vm = Vm(self.args, "plugs-boot", "init=/usr/local/sbin/plug-round plug=boot")
        try:
            seen = self.peer_lines(vm)
            bad = self.judge_peer(rounds, seen, saved_once)
            if bad:
                broken_after_reset.append("after the last reset: " + ", ".join(bad))
            self.check(not broken_after_reset,
                       "after each of %d hard resets while saving, a peer reading before anything else runs finds every "
                       "settings file whole, old or new content%s" % (rounds, ": " + "; ".join(broken_after_reset) if broken_after_reset else ""))
            self.check(not broken_while_saving,
                       "a peer reading beside the saves never finds a settings file that is not whole%s"
                       % (": saw " + "; ".join(broken_while_saving) if broken_while_saving else ""))
            shown = vm.wait_scene(self.args.boot_timeout, "plugs-boot")
            vm.login(120)
            _, after = vm.sh("peer-check once")
            after = dict(re.findall(r"^@@peer (\S+) (.*)$", after, re.M))
            # the saved texts pair German with the blue theme (light rows under the header) and
            # French with the black one (dark rows)
            language = seen.get("guiconfig.json", "").split()[1:2]
            expected = {"de": "light", "fr": "dark"}.get(language[0] if language else "", "-")
            drawn = "-"
            if shown is not None:
                shown = vm.wait_change(shown, 5, "plugs-boot")
                row = shown.rect(120, 150, 160, 170)
                light = sum(row) / max(1, len(row))
                drawn = "light" if light > 150 else "dark" if light < 100 else "-"
            self.check(shown is not None and drawn == expected
                       and all(after.get(n) == seen.get(n) for n in SETTINGS if seen.get(n, "").startswith("ok")),
                       "then the GUI comes up (plugs-boot.png) with the files as the peer read them: %s, rows %s for %s"
                       % (after, drawn, language))
        finally:
            vm.stop()

    def run(self):
        if "boot" in self.args.parts:
            self.boot_checks()
        if "plugs" in self.args.parts:
            self.pulled_plugs()
        with open(os.path.join(self.args.out, "timings.txt"), "w") as f:
            f.write("\n".join(self.timings) + "\n")
        print("device test: %d failed" % len(self.failures) if self.failures else "device test: all passed", flush=True)
        return 1 if self.failures else 0


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--out", required=True)
    p.add_argument("--rounds", type=int, default=20, help="hard resets while saving (default 20)")
    p.add_argument("--parts", default="boot,plugs", help="boot, plugs or both (default)")
    p.add_argument("--accel", default="tcg")
    p.add_argument("--boot-timeout", type=int, default=300)
    args = p.parse_args()
    args.out = os.path.abspath(args.out)
    args.parts = args.parts.split(",")
    return DeviceTest(args).run()


if __name__ == "__main__":
    sys.exit(main())
