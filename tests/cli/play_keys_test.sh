# tolva play in a pseudo-terminal, its sound written by SDL's disk driver in real time: pause,
# seeks, next file, q and Ctrl-C, and the terminal's settings afterwards.
source "$(dirname "$0")/lib.sh"

python3 - "$tolva" "$demo" "$corpus" "$work" "$bad" <<'PY' || failures=$((failures + 1))
import array, os, pty, select, subprocess, sys, time

tolva, demo, corpus, work, bad = sys.argv[1:6]
card = os.path.join(work, "card")
frame = 4
rate = 44100
errors = []

def check(ok, what):
    if not ok:
        errors.append(what)
        print("FAIL:", what, file=sys.stderr)

def render(*args):
    return subprocess.run([tolva, "render", *args, "-o", "-"], check=True,
                          stdout=subprocess.PIPE).stdout

class Session:
    """tolva play in a pseudo-terminal of 100 columns, with `stty -g` taken before and after."""

    def __init__(self, *args):
        if os.path.exists(card):
            os.remove(card)
        env = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=card)
        env.pop("SDL_DISKAUDIODELAY", None)
        quoted = " ".join("'%s'" % a for a in [tolva, "play", *args])
        script = ("stty cols 100 rows 30; stty -g >%s/before; %s 2>%s/stderr; echo $? >%s/status;"
                  " stty -g >%s/after" % (work, quoted, work, work, work))
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execvpe("sh", ["sh", "-c", script], env)
        self.screen = b""

    def read_for(self, seconds):
        end = time.time() + seconds
        while time.time() < end:
            ready, _, _ = select.select([self.fd], [], [], max(0, end - time.time()))
            if ready:
                try:
                    self.screen += os.read(self.fd, 65536)
                except OSError:
                    return

    def wait_for(self, text, seconds=10):
        end = time.time() + seconds
        while text.encode() not in self.screen and time.time() < end:
            self.read_for(0.05)
        return text.encode() in self.screen

    def wait_sound(self, seconds):
        """Reads the screen until the card holds `seconds` of sound not counting its gaps,
        however slow the machine."""
        end = time.time() + 20
        while time.time() < end and self.sound() < seconds * rate * frame:
            self.read_for(0.05)

    def sound(self):
        return len(gaps_out(open(card, "rb").read())[0]) if os.path.exists(card) else 0

    def finish(self):
        for _ in range(100):
            self.read_for(0.1)
            if os.waitpid(self.pid, os.WNOHANG)[0]:
                break
        else:
            os.kill(self.pid, 9)
            os.waitpid(self.pid, 0)
        read = lambda name: open(os.path.join(work, name)).read().strip()
        check(read("before") == read("after"), "terminal settings changed")
        return int(read("status")), read("stderr"), open(card, "rb").read()

def gaps_out(pcm, run=64):
    """The sound without its silent frames, and whether it held a run of `run` of them. The card
    plays silence while paused and whenever the player falls behind, however briefly, so only
    the frames that sound are the song in the order played."""
    frames = array.array("I", pcm[:len(pcm) - len(pcm) % frame])
    return (array.array("I", filter(None, frames)).tobytes(),
            frames.tobytes().count(bytes(frame * run)) > 0)

def first_difference(a, b):
    n = min(len(a), len(b))
    return next((i for i in range(0, n, frame) if a[i:i + frame] != b[i:i + frame]), n)

ref, _ = gaps_out(render(demo, "--seconds", "30"))

# The display shows the song. Pause holds it while the card plays silence; resume goes on where
# it stopped; q quits with status 0 and the cursor shown again. The first pattern lasts 7.68 s:
# the screen shows its order, not the next one.
s = Session(demo)
check(s.wait_for("q quit"), "no status display")
s.wait_sound(0.5)
os.write(s.fd, b" ")
check(s.wait_for("PAUSED"), "pause not shown")
s.read_for(0.8)
os.write(s.fd, b" ")
s.read_for(0.5)
os.write(s.fd, b"q")
status, err, sound = s.finish()
check(status == 0, "q exited %d" % status)
check(b"order 0/3" in s.screen and b"order 1/3" not in s.screen, "order shown is not the one playing")
check(b"\033[?25h" in s.screen, "cursor not shown again")
heard, gaps = gaps_out(sound)
check(gaps, "no silence while paused")
check(len(heard) > 0 and heard == ref[:len(heard)], "sound after resume does not continue the song")

# Seeks: left from under 10 s lands on the start; right lands on a whole second 10 s on,
# where render --start begins. Ctrl-C then quits with status 130, the terminal as before.
s = Session(demo)
s.wait_for("q quit")
s.wait_sound(1.2)
os.write(s.fd, b"\033[D")
s.wait_sound(s.sound() / (rate * frame) + 0.5)
os.write(s.fd, b"\033[C")
s.wait_sound(s.sound() / (rate * frame) + 0.5)
os.write(s.fd, b"\x03")
status, err, sound = s.finish()
check(status == 130, "Ctrl-C exited %d" % status)
heard, _ = gaps_out(sound)
# Found by content rather than by where the key fell, so a glitch at the seams cannot hide a seek.
back = heard.find(ref[:8192], frame)
while back > 0 and back % frame:
    back = heard.find(ref[:8192], back + 1)
check(back > 0, "left seek did not restart the song (%d bytes heard, the first %d as the song)"
      % (len(heard), first_difference(heard, ref)))
ahead = back + first_difference(heard[back:], ref)
heard_s = (ahead - back) // frame // rate
landed = [t for t in range(heard_s + 10, heard_s + 12)
          if heard.find(gaps_out(render(demo, "--start", str(t), "--seconds", "0.2"))[0], back) > 0]
check(len(landed) == 1, "right seek did not land where render --start %d..%d begins"
      % (heard_s + 10, heard_s + 11))

# n skips to the next file; a refused file on the way is reported and the one after plays.
it = os.path.join(corpus, "songs", "pingus-data__gd-matth.it")
s = Session(demo, bad, it)
s.wait_for("q quit")
s.read_for(0.3)
os.write(s.fd, b"n")
check(s.wait_for("gd-matth.it"), "the file after the refused one is not shown")
s.read_for(0.5)
os.write(s.fd, b"q")
status, err, sound = s.finish()
check(status == 1, "a refused file left exit status %d" % status)
check(("tolva: %s: " % bad) in err, "refused file not reported: " + err)
check(gaps_out(sound)[0].find(gaps_out(render(it, "--seconds", "0.2"))[0]) > 0,
      "the file after the refused one did not play")

# With --all-subsongs, n and p step through a song's subsongs before the next file.
tunes = os.path.join(work, "tunes.mod")
subprocess.run([os.path.join(os.path.dirname(demo), "tests", "write_test_mod"), tunes, "tunes",
                "--tunes", "3", "0"], check=True)
s = Session("--all-subsongs", tunes, demo)
check(s.wait_for("subsong 1/3") and s.wait_for("n/p subsong"), "subsong not shown")
for key, shown in ((b"n", "subsong 2/3"), (b"n", "subsong 3/3"), (b"p", "subsong 2/3"),
                   (b"n", "subsong 3/3"), (b"n", "demo.mod")):
    s.screen = b""
    os.write(s.fd, key)
    check(s.wait_for(shown), "%s did not lead to %s" % (key, shown))
os.write(s.fd, b"q")
check(s.finish()[0] == 0, "q after stepping through subsongs")

sys.exit(1 if errors else 0)
PY
finish
