"""A Windows machine in a Wine prefix: printers and registry keys seeded
through regedit, the key tree read back through regedit's export, and a
program run with its exit code and output captured.

Wine's spooler lists every subkey of the Printers key below as a local
printer, and takes its "Printer Driver" value as the driver name."""

import os
import shutil
import subprocess
import tempfile

PRINTERS_KEY = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers"
SPOOL_DIRECTORY = r"C:\\windows\\system32\\spool\\printers"
VENDOR_KEY = r"HKEY_LOCAL_MACHINE\Software\Zanto"


class WineError(RuntimeError):
    pass


def _quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class WineMachine:
    """arch "win32" is a 32-bit Windows, where the program sees HKLM\\Software
    itself; "win64" is a 64-bit one, where it sees the WOW64 view and regedit
    (run by the 64-bit loader) sees the native one."""

    def __init__(self, prefix, arch="win32"):
        self.prefix = os.path.abspath(prefix)
        self.wine = "wine"
        self.regedit_wine = "wine"
        if arch == "win64":
            self.regedit_wine = shutil.which("wine64") or "/usr/lib/wine/wine64"
        self.env = dict(os.environ)
        self.env.update(WINEPREFIX=self.prefix, WINEARCH=arch, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)

    # The prefix ---------------------------------------------------------------

    def ready(self):
        return os.path.exists(os.path.join(self.prefix, "system.reg"))

    def create(self):
        """Makes the prefix once; a prefix that already exists is reused."""
        if self.ready():
            return
        os.makedirs(os.path.dirname(self.prefix), exist_ok=True)
        self._run(["wineboot", "-i"], timeout=300)
        self.wait()
        if not self.ready():
            raise WineError("wineboot made no prefix at " + self.prefix)

    def wait(self):
        subprocess.run(["wineserver", "-w"], env=self.env, check=False, timeout=120)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, check=False, timeout=60,
                       stderr=subprocess.DEVNULL)

    def remove(self):
        self.stop()
        shutil.rmtree(self.prefix, ignore_errors=True)

    # The registry -------------------------------------------------------------

    def seed(self, printers, keys, root=VENDOR_KEY):
        """Replaces the printers and the keys below root with these; printers=None
        keeps the printers there are.

        printers: (name, driver) pairs; keys: {path below root: {value name: reg data}}."""
        lines = ["Windows Registry Editor Version 5.00", "", "[-" + root + "]", ""]
        if printers is not None:
            lines += ["[-" + PRINTERS_KEY + "]", "",
                      "[" + PRINTERS_KEY + "]",
                      '"DefaultSpoolDirectory"="' + SPOOL_DIRECTORY + '"', ""]
            for name, driver in printers:
                lines += ["[" + PRINTERS_KEY + "\\" + name + "]",
                          '"Printer Driver"=' + _quote(driver), ""]
        for path, values in keys.items():
            lines.append("[" + root + "\\" + path + "]")
            lines += [_quote(name) + "=" + data for name, data in values.items()]
            lines.append("")
        self.import_reg("\r\n".join(lines) + "\r\n")

    def import_reg(self, text):
        with tempfile.NamedTemporaryFile("wb", suffix=".reg", delete=False) as reg:
            reg.write(b"\xff\xfe" + text.encode("utf-16-le"))
        try:
            self._run(["regedit", "/S", self.windows_path(reg.name)], wine=self.regedit_wine)
        finally:
            os.unlink(reg.name)

    def tree(self, key=VENDOR_KEY):
        """{path below key: {value name: reg data}} for the key and all below it;
        {} when the key does not exist."""
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "export.reg")
            self._run(["regedit", "/E", self.windows_path(out), key], check=False,
                      wine=self.regedit_wine)
            if not os.path.exists(out):
                return {}
            with open(out, "rb") as handle:
                text = handle.read().decode("utf-16")
        return parse_export(text, key)

    # Programs -----------------------------------------------------------------

    def run(self, exe, args=(), timeout=600):
        """Runs a Windows program and waits for it: (exit code, stdout, stderr)."""
        return self._capture([exe, *args], timeout)

    def _run(self, command, check=True, timeout=300, wine=None):
        code, _, err = self._capture(command, timeout, wine)
        if check and code != 0:
            raise WineError("%s failed with %d: %s" % (" ".join(command), code,
                                                        err.decode(errors="replace")))
        return code

    def _capture(self, command, timeout, wine=None):
        # Output goes to files, not pipes: a wineserver started by this call
        # inherits them and would hold a pipe open for seconds after the program ends.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run([wine or self.wine, *command], env=self.env,
                                    stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            return result.returncode, out.read(), err.read()

    @staticmethod
    def windows_path(path):
        # Wine maps the Unix root to drive Z:.
        return "Z:" + os.path.abspath(path).replace("/", "\\")


def parse_export(text, root):
    """Reads regedit's export into {path below root: {value name: data}}; the root is ''."""
    tree = {}
    current = None
    pending = ""
    prefix = root.lower()
    for raw in text.replace("\r\n", "\n").split("\n"):
        line = pending + raw.strip() if pending else raw.rstrip()
        pending = ""
        if line.endswith("\\") and current is not None and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1]
            if name.lower() != prefix and not name.lower().startswith(prefix + "\\"):
                raise WineError("export holds a key outside %s: %s" % (root, name))
            current = name[len(root) + 1:]
            tree[current] = {}
        elif current is not None and line and "=" in line:
            name, data = _split_value(line)
            tree[current][name] = data
    return tree


def _split_value(line):
    if line.startswith("@="):
        return "@", line[2:]
    # "name"=data, where the name may hold escaped quotes.
    end = 1
    while end < len(line):
        if line[end] == "\\":
            end += 2
            continue
        if line[end] == '"':
            break
        end += 1
    name = line[1:end].replace('\\"', '"').replace("\\\\", "\\")
    return name, line[end + 2:]
