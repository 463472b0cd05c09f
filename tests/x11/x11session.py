"""A real X session for the program: Xvfb, the openbox window manager, the
stand-in federation server and the program itself, driven with real X events
through xdotool, its windows read through the window manager's own lists
(EWMH: the stacking order and the active window)."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time


class Failure(Exception):
    pass


def _free_display():
    for n in range(70, 200):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise Failure("no free X display")


class Session:
    """Xvfb + openbox + the stand-in server + a copy of the program in a folder
    of its own (its settings, snapshots and exports go there)."""

    def __init__(self, program, server, settings=None, timeout=20.0):
        self.timeout = timeout
        self.folder = tempfile.mkdtemp(prefix="tavlor-x11-")
        self.processes = []
        self.display = f":{_free_display()}"
        self.env = dict(os.environ, DISPLAY=self.display, LANG="C", LC_ALL="C", QT_QPA_PLATFORM="xcb",
                        HOME=self.folder, XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                        XDG_DATA_HOME=os.path.join(self.folder, "data"))
        self.env.pop("WAYLAND_DISPLAY", None)
        try:
            self._start(program, server, settings)
        except BaseException:
            self.close()
            raise

    # ---- start and end

    def _spawn(self, args, **kw):
        p = subprocess.Popen(args, env=self.env, stdout=kw.pop("stdout", subprocess.DEVNULL),
                             stderr=kw.pop("stderr", subprocess.DEVNULL), **kw)
        self.processes.append(p)
        return p

    def _start(self, program, server, settings):
        self.fbdir = os.path.join(self.folder, "fb")
        os.makedirs(self.fbdir)
        self._spawn(["Xvfb", self.display, "-screen", "0", "1280x900x24", "-nolisten", "tcp", "-fbdir", self.fbdir])
        self.wait(lambda: self._run(["xdpyinfo"], check=False) is not None, "Xvfb started")
        # openbox may find the display not quite ready and give up: start it again then.
        for attempt in range(3):
            wm = self._spawn(["openbox", "--sm-disable"],
                             stderr=open(os.path.join(self.folder, "openbox.log"), "a"))
            try:
                self.wait(lambda: self._root_property("_NET_SUPPORTING_WM_CHECK") or wm.poll() is not None,
                          "openbox managing the screen")
            except Failure:
                if attempt == 2:
                    raise
                wm.kill()
                continue
            if wm.poll() is None:
                break
        self.wm = wm
        log = open(os.path.join(self.folder, "server.log"), "w+")
        self.server = self._spawn([server, "--port", "0"], stdout=log)
        self.port = self.wait(lambda: self._port(log), "the stand-in server's port")
        self.base = f"http://127.0.0.1:{self.port}"
        shutil.copy(program, os.path.join(self.folder, "tavlor"))
        with open(os.path.join(self.folder, "tavlor.ini"), "w", encoding="cp1252") as ini:
            ini.write(f"[URLS]\n0={self.base}/3bandes\n1={self.base}/cadre\n2={self.base}/bande\n3={self.base}/libre\n")
            if settings:
                ini.write(settings)
        self.program = self._spawn([os.path.join(self.folder, "tavlor")],
                                   stderr=open(os.path.join(self.folder, "program.log"), "w"))

    @staticmethod
    def _port(log):
        log.seek(0)
        m = re.search(r"^port (\d+)", log.read(), re.M)
        return m and int(m.group(1))

    def close(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(self.folder, ignore_errors=True)

    # ---- reading the screen

    def _run(self, args, check=True):
        try:
            out = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=10)
        except subprocess.TimeoutExpired:
            return None
        if out.returncode != 0:
            if check:
                raise Failure(f"{' '.join(args)}: {out.stderr.strip()}")
            return None
        return out.stdout

    def _root_property(self, name):
        out = self._run(["xprop", "-root", name], check=False)
        return out if out and "not found" not in out and "no such atom" not in out else None

    # The program's first window may take long on a loaded machine (other
    # tests running beside): waited for this long.
    START_TIMEOUT = 90.0

    def wait(self, probe, what, timeout=None):
        end = time.monotonic() + (timeout or self.timeout)
        while time.monotonic() < end:
            self._keep_window_manager()
            value = probe()
            if value:
                return value
            if self.program_ended() and what.startswith("window"):
                raise Failure(f"the program ended while waiting for {what}")
            time.sleep(0.05)
        raise Failure(f"timed out waiting for {what}")

    def _keep_window_manager(self):
        """A window manager that died (seen on loaded machines) is started
        again: it takes over the windows as they are, and the windows' lists
        read from it stay true."""
        wm = getattr(self, "wm", None)
        if wm is None or wm.poll() is None:
            return
        with open(os.path.join(self.folder, "openbox.log"), "a") as log:
            log.write(f"-- openbox ended ({wm.returncode}), started again\n")
        self.wm = self._spawn(["openbox", "--sm-disable"], stderr=open(os.path.join(self.folder, "openbox.log"), "a"))
        time.sleep(0.5)

    def program_ended(self):
        return getattr(self, "program", None) is not None and self.program.poll() is not None

    def stacking(self):
        """The managed windows, bottom first."""
        out = self._root_property("_NET_CLIENT_LIST_STACKING") or ""
        return [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", out)]

    def active(self):
        out = self._run(["xdotool", "getactivewindow"], check=False)
        return int(out) if out and out.strip().isdigit() else None

    def title(self, window):
        out = self._run(["xdotool", "getwindowname", str(window)], check=False)
        return out.rstrip("\n") if out is not None else None

    def visible(self, window):
        out = self._run(["xwininfo", "-id", str(window)], check=False)
        return bool(out) and "IsViewable" in out

    def windows(self):
        return [(w, self.title(w)) for w in self.stacking() if self.visible(w)]

    def window(self, title, timeout=None):
        """The viewable window of that exact title, once it exists."""
        def probe():
            for w, t in self.windows():
                if t == title:
                    return w
            return None
        return self.wait(probe, f"window {title!r}", timeout)

    def gone(self, window, timeout=None):
        self.wait(lambda: window not in self.stacking() or not self.visible(window), f"window {window} closed", timeout)

    def on_top_with_keyboard(self, title, timeout=None):
        """The window of that title is the top of the stacking order among the
        viewable windows and has the keyboard; answers it."""
        def probe():
            shown = self.windows()
            if not shown:
                return None
            top, top_title = shown[-1]
            if top_title == title and self.active() == top:
                return top
            return None
        try:
            return self.wait(probe, f"window {title!r} on top with the keyboard", timeout)
        except Failure:
            raise Failure(f"{title!r} is not on top with the keyboard: stacking {[t for _, t in self.windows()]}, "
                          f"active {self.title(self.active()) if self.active() else None!r}")

    # ---- acting

    def keys(self, *keys, delay=40):
        for k in keys:
            self._run(["xdotool", "key", "--clearmodifiers", "--delay", str(delay), k])
            time.sleep(0.08)

    def type(self, text):
        self._run(["xdotool", "type", "--clearmodifiers", "--delay", "30", text])
        time.sleep(0.1)

    def screenshot(self, path):
        """The whole screen as a PNG, for looking at (needs netpbm): Xvfb keeps
        its screen in a file, read as it stands (the X server's own image of
        the root leaves the windows mapped late black)."""
        self._run(["sh", "-c", f"xwdtopnm '{self.fbdir}/Xvfb_screen0' 2>/dev/null | pnmtopng > '{path}'"],
                  check=False)

    def files(self, suffix):
        return sorted(f for f in os.listdir(self.folder) if f.endswith(suffix))
