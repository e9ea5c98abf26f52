#!/usr/bin/env python3
"""The device image (cmake --install of the component "device" into a staging root) and the
Debian package of the GUI: exactly the program, its bus policy and its service unit, and package
dependencies that cover every Qt library, plugin and QML module the program really loads on its
way to the first frame. The second package, newgui-toolsim: the simulator, its unit, bus policy,
maintainer scripts and the whole sample tree, and dependencies that cover its libraries."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

BUILD = os.path.abspath(sys.argv.pop(1)) if len(sys.argv) > 1 else os.getcwd()
IMAGE = {
    "usr/bin/newgui",
    "usr/share/dbus-1/system.d/com.velmar.akku.GUIService.conf",
    "usr/lib/systemd/system/newgui.service",
}


def run(*cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def files_under(root):
    return {os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs}


def owners(paths):
    """Debian packages of each file (without the architecture qualifier); a library found
    through /usr/lib may be registered under /lib and the other way round (merged /usr)."""
    alias = {}
    for p in paths:
        alias[p] = p
        alias[p[4:] if p.startswith("/usr/") else "/usr" + p] = p
    out = subprocess.run(["dpkg", "-S", *alias], capture_output=True, text=True).stdout
    found = {}
    for line in out.splitlines():
        pkgs, path = line.split(": ", 1)
        found.setdefault(alias[path], set()).update(p.split(":")[0] for p in pkgs.split(", "))
    return found


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.stage = os.path.join(cls.tmp.name, "stage")
        run("cmake", "--install", BUILD, "--prefix", "/usr", "--component", "device", env=dict(os.environ, DESTDIR=cls.stage))
        run("cpack", "-G", "DEB", "-B", os.path.join(cls.tmp.name, "deb"), "--config", os.path.join(BUILD, "CPackConfig.cmake"))
        debs = sorted(f for f in os.listdir(os.path.join(cls.tmp.name, "deb")) if f.endswith(".deb"))
        version = re.search(r'CPACK_PACKAGE_VERSION "([^"]+)"', open(os.path.join(BUILD, "CPackConfig.cmake")).read()).group(1)
        arch = run("dpkg", "--print-architecture").strip()
        assert debs == ["newgui-toolsim_%s_%s.deb" % (version, arch), "newgui_%s_%s.deb" % (version, arch)], debs
        cls.sim_deb, cls.deb = (os.path.join(cls.tmp.name, "deb", d) for d in debs)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_image_and_package_hold_the_device_files_only(self):
        self.assertEqual(files_under(self.stage), IMAGE)
        listed = {line.split()[-1].lstrip("./") for line in run("dpkg-deb", "-c", self.deb).splitlines()
                  if not line.startswith("d")}
        self.assertEqual(listed, IMAGE)
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Architecture").strip(),
                         run("dpkg", "--print-architecture").strip())
        # The unit starts the installed program once the bus is up, never with the VNC platform.
        with open(os.path.join(self.stage, "usr/lib/systemd/system/newgui.service")) as f:
            unit = f.read()
        self.assertIn("ExecStart=/usr/bin/newgui\n", unit)
        self.assertIn("BusName=com.velmar.akku.GUIService\n", unit)
        self.assertNotIn("vnc", unit.lower())

    def test_simulator_package(self):
        sample = os.path.join(os.path.dirname(__file__), "../../tools/toolsim/sample")
        expected = {"usr/bin/toolsim", "usr/share/dbus-1/system.d/com.velmar.akku.ToolSim.conf",
                    "usr/lib/systemd/system/newgui-toolsim.service"}
        expected |= {"usr/share/newgui-toolsim/sample/" + f for f in files_under(sample)}
        with tempfile.TemporaryDirectory() as root:
            run("dpkg-deb", "-x", self.sim_deb, root)
            self.assertEqual(files_under(root), expected)
            with open(os.path.join(root, "usr/lib/systemd/system/newgui-toolsim.service")) as f:
                self.assertIn("ExecStart=/usr/bin/toolsim run --device\n", f.read())
            program = os.path.join(root, "usr/bin/toolsim")
            needed = set(re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", program)))
            linked = dict(re.findall(r"^\s*(\S+) => (\S+)", run("ldd", program), re.M))
        with tempfile.TemporaryDirectory() as control:
            run("dpkg-deb", "-e", self.sim_deb, control)
            with open(os.path.join(control, "postinst")) as f:
                self.assertIn("addgroup --system tool", f.read())
        depends = {re.split(r"[ (]", d.strip())[0] for d in run("dpkg-deb", "-f", self.sim_deb, "Depends").split(",")}
        self.assertIn("libqt6sql6-sqlite", depends)  # the SQLite driver is loaded, not linked
        found = owners(sorted(os.path.realpath(linked[lib]) for lib in needed))
        self.assertEqual(len(found), len(needed), found)
        for path, packages in found.items():
            self.assertTrue(packages & depends, f"{path} ({', '.join(packages)}) is not in Depends")

    def test_dependencies_cover_what_the_program_loads(self):
        depends = {re.split(r"[ (]", d.strip())[0]
                   for d in run("dpkg-deb", "-f", self.deb, "Depends").split(",")}
        program = os.path.join(self.stage, "usr/bin/newgui")
        needed = set(re.findall(r"NEEDED\s+(\S+)", run("objdump", "-p", program)))
        # Start to the first frame with nothing of the host: an empty system root and no bus.
        with tempfile.TemporaryDirectory() as root:
            env = dict(os.environ, TOOL_SYSROOT=root, NEWGUI_EXIT_AFTER_FIRST_FRAME="1", LD_DEBUG="files", QML_IMPORT_TRACE="1",
                       DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(root, "no-bus"),
                       QT_QPA_PLATFORM="offscreen", QT_QUICK_BACKEND="software")
            started = subprocess.run([program], env=env, capture_output=True, text=True, timeout=120)
        self.assertIn("first frame", started.stdout, started.stderr[-3000:])
        # Libraries and plugins (the loader's trace) and the QML modules' directory files (the
        # import trace): the program links Qt Quick itself, so the module has no plugin to load.
        loaded = set(re.findall(r"calling init: (/\S+)", started.stderr))
        # The scene's own qmldir is compiled into the program (qrc:/qml/qmldir), not a host file.
        loaded |= set(re.findall(r"(?<![:\w])(/[^\s\"]+/qmldir)\b", started.stderr))
        self.assertTrue(any(f.endswith("/qml/QtQuick/qmldir") for f in loaded), "the scene's QML module was not read")
        found = owners(sorted(loaded))
        self.assertFalse([f for f in loaded if f not in found and re.search(r"[Qq]t6|/qml/", f)])
        for path, packages in found.items():
            qt = any(re.match(r"(libqt6|qml6-|qt6-)", p) for p in packages)
            if qt or os.path.basename(path) in needed:
                self.assertTrue(packages & depends, f"{path} ({', '.join(packages)}) is not in Depends")


if __name__ == "__main__":
    unittest.main(verbosity=2)
