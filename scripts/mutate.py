#!/usr/bin/env python3
"""Mutation testing of the portable core (src/patch) against the native core tests, or with
--windows of the code only the Windows build reaches against the Windows tests under Wine.

Copies the repository's tracked files (or a commit's, with --rev) to a scratch folder, builds
core_tests there natively (Debug, no sanitizers, ninja -j1) and checks that they pass. Then, one
mutant at a time, it changes one token of a src/patch file (a comparison, an arithmetic or
logical operator, a `!`, an integer literal, true/false, break/continue) or leaves out a
statement line, rebuilds, runs the tests (a timeout counts as killed) and restores the file. An
integer is raised by one, a layout's twips by 15 (a pixel at 96 DPI).
Mutants that do not build under the project's flags are counted apart, and so are those that
scripts/equivalent-mutants.txt judges equivalent (no test can tell them from the code, each entry
says why): they are not run. Names the tests that failed for each mutant killed (under Wine the
first only: the run stops there), so that each test can be judged by the faults it catches alone.
Prints the score per file (killed of killed and survived), with and without files_posix.cpp
(POSIX-only), and the score with the judged ones counted as survivors; writes the survivors to a
report, and names the list's entries that match no mutant any more.

With --windows the mutants are in src/window, src/app and src/patch/files_win32.cpp. The scratch
copy is cross-built as the windows preset builds it (MinGW-w64, Release) and has a Wine prefix
and drive F: of its own, made once. A mutant rebuilds only the test programs that can see it and
runs them under Xvfb and Wine with the project's scripts, holding /tmp/wine.lock (as
`flock /tmp/wine.lock` does) for that one run only, so that other Wine runs can come between:
the end-to-end tests for the window and the start-up, the core tests and then the end-to-end ones
for the Win32 file layer. Some minutes a mutant, so it is no part of ./test.sh.

    scripts/mutate.py --rev HEAD --sample 250 --seed 1    # a bounded, repeatable run
    scripts/mutate.py --files numbers.cpp --list          # only count the mutants
    scripts/mutate.py --windows --sample 30 --seed 1      # the Windows side, under Wine
"""
import argparse, contextlib, fcntl, json, os, random, re, shutil, subprocess, sys, tempfile, time
from pathlib import Path

POSIX_ONLY = "src/patch/files_posix.cpp"
# What only the Windows build compiles, by glob under the repository.
WINDOWS_ONLY = ["src/window/*.cpp", "src/window/*.h", "src/app/*.cpp", "src/patch/files_win32.cpp"]
SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==", "+": "-", "-": "+",
         "*": "/", "/": "*", "%": "*", "&": "|", "|": "&", "^": "|", "<<": ">>", ">>": "<<",
         "&&": "||", "||": "&&", "+=": "-=", "-=": "+=", "|=": "&=", "&=": "|=", "++": "--",
         "--": "++", "true": "false", "false": "true", "break": "continue", "continue": "break"}
# Binary operators stand between spaces in this formatted code; template brackets never do.
SWAP_RE = re.compile(r"(?<= )(<<|>>|<=|>=|==|!=|&&|\|\||[-+|&]=|[<>+\-*/%&|^])(?= )"
                     r"|\+\+|--|\b(true|false|break|continue)\b")
NUMBER_RE = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F']+|\d[\d']*)(?=[uUlL]*(?![\w.']))")
NOT_RE, COND_RE = re.compile(r"!(?!=)"), re.compile(r"\b(if|while) \(")
STATEMENT_RE = re.compile(r"^\s*(\+\+|--)?[\w:.\[\]>*-]+(\(|\s*[-+|&]?=\s|\+\+|--)")
JUDGED = "scripts/equivalent-mutants.txt"
LEFT_OUT = "(line left out)"


def judged(path, everything):
    """{mutant: why} for the mutants that the list of judged ones names, and the list's entries that
    name none as they say. An entry is a "## why" line, then a mutant as the survivors report gives
    it. Where the change is made on one line of the file alone, its line number is only a guide;
    where several lines would take it, it names that line, or with "*N" all N of them (no more, so
    that a new line of the same text is judged anew)."""
    lines = path.read_text().split("\n") if path.is_file() else []
    found, stale, why = {}, [], None
    for k, line in enumerate(lines):
        if line.startswith("## "): why = line[3:].strip()
        if not (re.match(r"^src/\S+:(\d+|\*\d+)$", line) and why and k + 2 < len(lines)): continue
        name, at = line.rsplit(":", 1)
        entry = (name, lines[k + 1][4:].strip(), lines[k + 2][4:].strip())
        same = [m for m in everything if (m[0], m[2].strip(), m[3].strip() or LEFT_OUT) == entry]
        taken = (same if at == f"*{len(same)}" else [] if at.startswith("*") else
                 [m for m in same if len(same) == 1 or str(m[1]) == at])
        found.update((m, why) for m in taken)
        if not taken: stale.append(entry)
    return found, stale


def masked(lines):
    """Each line with comments and string/char literals blanked, so only code is mutated."""
    out, in_comment = [], False
    for line in lines:
        code, i = [], 0
        while i < len(line):
            c = line[i]
            if in_comment:
                in_comment = not (i and line.startswith("*/", i - 1))
                code.append(" ")
            elif line.startswith("//", i):
                break
            elif line.startswith("/*", i):
                in_comment, i = True, i + 1
                code.append("  ")
            elif c == '"' or (c == "'" and not (i and line[i - 1].isalnum())):  # not 100'000
                j = i + 1
                while j < len(line) and line[j] != c: j += 2 if line[j] == "\\" else 1
                code.append(c + " " * (j - i - 1) + c); i = j
            else:
                code.append(c)
            i += 1
        out.append("".join(code).ljust(len(line)))
    return out


def mutants(path, name):
    """(file name, line number, original line, mutated line) for every mutant of a file."""
    lines = path.read_text().split("\n")
    codes = masked(lines)
    for n, (line, code) in enumerate(zip(lines, codes), 1):
        if code.lstrip().startswith("#") or "static_assert" in code: continue
        edits = []
        for m in SWAP_RE.finditer(code):  # string - "..." and `T f() || {` would not build
            near = code[m.start() - 2] + code[m.end() + 1:m.end() + 2]
            if not (m.group() in ("+", "-", "+=", "-=") and '"' in near
                    or code[m.end():].startswith(" {")):
                edits.append((m.start(), m.end(), SWAPS[m.group()]))
        edits += [(m.start(), m.end(), "") for m in NOT_RE.finditer(code)]
        for m in NUMBER_RE.finditer(code):
            digits = m.group(1).replace("'", "").lower()
            value = int(digits, 16 if digits.startswith("0x") else 8 if digits[0] == "0" else 10)
            # A twip is a fifteenth of a pixel at 96 DPI: one more rounds to the same pixel at
            # nearly every DPI, while a pixel's worth more moves a control by one.
            twips = (name.endswith("layout.h") or "Twips" in code) and value >= 15
            step = 15 if twips else 1
            edits.append((m.start(), m.end(),
                          hex(value + step) if "x" in digits else str(value + step)))
        for m in COND_RE.finditer(code):  # if (c) -> if (!(c)), when c ends on this line
            depth, close = 0, None
            for k in range(m.end() - 1, len(code)):
                depth += {"(": 1, ")": -1}.get(code[k], 0)
                if depth == 0: close = k; break
            if close and code[m.end()] != "!" and not code[m.end():].startswith("auto "):
                edits.append((m.end(), close, "!(" + line[m.end():close] + ")"))
        for a, b, new in edits:
            yield name, n, line, line[:a] + new + line[b:]
        before = next((c.rstrip() for c in reversed(codes[:n - 1]) if c.strip()), "{")
        if (STATEMENT_RE.match(code) and code.rstrip().endswith(";")
                and before.endswith((";", "{", "}")) and not code.lstrip().startswith("return")):
            yield name, n, line, ""  # the statement left out


def run(cmd, cwd, timeout=None, env=None):
    """True when cmd succeeds; a timeout kills its whole process group and counts as failure."""
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return proc.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, 9); proc.wait()
        return False


@contextlib.contextmanager
def wine_lock():
    """The lock that every Wine run on this machine takes, so that two never run at once."""
    with open("/tmp/wine.lock", "a") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        yield


def copy_tree(repo, rev, src):
    """The sources, dated now: in a reused work folder, a build from the last mutant of a run
    before must not look newer than them."""
    if rev:
        archive = subprocess.run(["git", "-C", repo, "archive", rev], check=True,
                                 capture_output=True).stdout
        return subprocess.run(["tar", "-x", "-m", "-C", src], input=archive, check=True)
    names = subprocess.run(["git", "-C", repo, "ls-files", "-z"], check=True,
                           capture_output=True, text=True).stdout.split("\0")
    for name in filter(lambda name: (repo / name).is_file(), filter(None, names)):
        (src / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(repo / name, src / name)


class Core:
    """The portable core, built natively, judged by core_tests."""
    failed = ""  # the tests that failed last, where known
    def __init__(self, work, src):
        self.build, self.tmp = work / "build", work / "tmp"
        self.env = dict(os.environ, TMPDIR=str(self.tmp))  # the tests' folders, emptied after each
        self.tmp.mkdir(exist_ok=True)
        self.src = src

    def files(self):
        return [p for p in (self.src / "src/patch").iterdir()
                if p.suffix in (".cpp", ".h") and p.name != "files_win32.cpp"]

    def configure(self):
        return run(["cmake", "-G", "Ninja", "-S", self.src, "-B", self.build,
                    "-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_COMPILER=clang++",
                    "-DPATCH_SANITIZE=OFF"], self.src)

    def build_for(self, name):
        return run(["ninja", "-j1", "core_tests"], self.build)

    def tests_pass(self, name, timeout):
        report = self.build / "results.json"  # GoogleTest's: which tests failed
        report.unlink(missing_ok=True)
        try:
            passed = run([self.build / "tests/core/core_tests", f"--gtest_output=json:{report}"],
                         self.build, timeout, self.env)
            try:  # none, or cut short, when the tests crashed or ran out of time
                suites = json.loads(report.read_text())["testsuites"]
            except (OSError, ValueError):
                suites = []
            self.failed = " ".join(f"{suite['name']}.{test['name']}" for suite in suites
                                   for test in suite["testsuite"] if test.get("failures"))
            return passed
        finally:
            shutil.rmtree(self.tmp, ignore_errors=True); self.tmp.mkdir()


class Windows:
    """The window, the start-up and the Win32 file layer, cross-built, judged under Wine."""
    def __init__(self, work, src):
        self.build, self.src = work / "build-windows", src
        self.env = dict(os.environ, PATCH_WINEPREFIX=str(work / "wine"),
                        PATCH_F_DRIVE=str(work / "f-drive"))
        self.env.pop("DISPLAY", None)  # a virtual display of its own, never someone's screen

    def files(self):
        return [p for pattern in WINDOWS_ONLY for p in self.src.glob(pattern)]

    def configure(self):
        return run(["cmake", "-G", "Ninja", "-S", self.src, "-B", self.build,
                    "-DCMAKE_BUILD_TYPE=Release",
                    f"-DCMAKE_TOOLCHAIN_FILE={self.src}/cmake/mingw-w64-x86_64.cmake"], self.src)

    @staticmethod
    def core_tests_see(name):
        """The window and the start-up are seen by the window's and the end-to-end tests alone;
        the Win32 file layer by the core tests too. '' (the unmutated code) stands for every file."""
        return not name or name.startswith("src/patch/")

    def build_for(self, name):  # the tool itself is a dependency of e2e_tests
        core = ["core_tests"] if self.core_tests_see(name) else []
        return run(["ninja", "-j2", *core, "window_tests", "e2e_tests"], self.build)

    def tests_pass(self, name, timeout):
        # CTest runs the core tests first, as they are the quicker.
        which = "" if self.core_tests_see(name) else "-R '^(window|e2e)\\.'"
        script = ("source scripts/xvfb.sh && scripts/wine-prefix.sh && "
                  f"ctest --test-dir '{self.build}' --stop-on-failure {which}")
        failed = self.build / "Testing/Temporary/LastTestsFailed.log"
        failed.unlink(missing_ok=True)
        with wine_lock():
            passed = run(["bash", "-c", script], self.src, timeout, self.env)
            # Which test failed, so that a chance failure can be told from a fault caught.
            self.failed = " ".join(line.partition(":")[2] for line in
                                   failed.read_text().split()) if failed.is_file() else ""
            # A run cut short leaves the prefix's Wine server behind; it ends with the lock.
            run(["bash", "-c", "source scripts/wine-env.sh && wineserver -k"], self.src,
                60, self.env)
        return passed


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--repo", default=Path(__file__).resolve().parent.parent, type=Path)
    ap.add_argument("--rev", help="mutate this commit instead of the tracked files as they are")
    ap.add_argument("--work", type=Path, help="scratch folder (default: a new one under /tmp)")
    ap.add_argument("--windows", action="store_true",
                    help="mutate the Windows-only code, judged by the Windows tests under Wine")
    ap.add_argument("--files", nargs="+", help="only these files (names or paths)")
    ap.add_argument("--sample", type=int, default=0, help="try N mutants at random (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=int, help="seconds for one test run (60; 1200 --windows)")
    ap.add_argument("--list", action="store_true", help="only count the mutants per file")
    args = ap.parse_args()
    work = args.work or Path(tempfile.mkdtemp(prefix="mutate-"))
    src = work / "src"
    shutil.rmtree(src, ignore_errors=True); src.mkdir(parents=True)
    copy_tree(args.repo, args.rev, src)
    side = (Windows if args.windows else Core)(work, src)
    timeout = args.timeout or (1200 if args.windows else 60)
    named = {str(p.relative_to(src)): p for p in side.files()
             if not args.files or p.name in args.files or str(p.relative_to(src)) in args.files}
    everything = [m for name in sorted(named) for m in mutants(named[name], name)]
    equivalent, stale = judged(src / JUDGED, everything)
    # An entry whose line changed, or that names no file there is: to be judged again.
    stale = [e for e in stale if e[0] in named or not (src / e[0]).is_file()]
    report_stale = lambda: [print(f"stale entry in {JUDGED}: {name}\n  - {old}\n  + {new}")
                            for name, old, new in stale]
    report_stale()
    if args.list:
        for name in sorted(named): print(f"{name:28} {sum(m[0] == name for m in everything):4}")
        return print(f"{'all':28} {len(everything):4}")
    chosen = everything
    if 0 < args.sample < len(everything):  # sorted by file: fewer recompiles
        chosen = sorted(random.Random(args.seed).sample(everything, args.sample))

    start = time.time()
    if not (side.configure() and side.build_for("") and side.tests_pass("", timeout)):
        sys.exit(f"the unmutated tests do not build or pass in {work}")
    print(f"{work}: unmutated build and tests pass ({time.time() - start:.0f} s); "
          f"{len(chosen)} of {len(everything)} mutants to try", flush=True)

    results, survivors, start = {}, [], time.time()
    for k, (name, n, old, new) in enumerate(chosen, 1):
        if (name, n, old, new) in equivalent:
            results.setdefault(name, []).append("equivalent")
            print(f"[{k}/{len(chosen)}] judged equivalent {name}:{n}: "
                  f"{equivalent[name, n, old, new]}", flush=True)
            continue
        path = src / name
        original = path.read_text()
        lines = original.split("\n")
        lines[n - 1] = new
        path.write_text("\n".join(lines))
        try:
            outcome = ("no build" if not side.build_for(name) else
                       "survived" if side.tests_pass(name, timeout) else "killed")
        finally:
            path.write_text(original)
        results.setdefault(name, []).append(outcome)
        if outcome == "survived": survivors.append((name, n, old, new))
        by = f"  [failed: {side.failed}]" if outcome == "killed" and side.failed else ""
        print(f"[{k}/{len(chosen)} {time.time() - start:.0f} s] {outcome:8} {name}:{n}: "
              f"{new.strip() or LEFT_OUT}{by}", flush=True)

    def row(label, outcomes):
        killed, survived = outcomes.count("killed"), outcomes.count("survived")
        same = outcomes.count("equivalent")
        score = f"{100 * killed / (killed + survived):.1f}%" if killed + survived else "-"
        print(f"{label:28} {len(outcomes):5} {outcomes.count('no build'):8} {killed:6} "
              f"{survived:8} {same:10} {score:>6}")
    print(f"\n{'file':28} {'drawn':>5} {'no build':>8} {'killed':>6} {'survived':>8} "
          f"{'equivalent':>10} score")
    for name in sorted(results): row(name, results[name])
    if not args.windows:
        row("all but files_posix.cpp", [o for f, rs in results.items() if f != POSIX_ONLY
                                         for o in rs])
    everyone = [o for rs in results.values() for o in rs]
    row("all", everyone)
    killed = everyone.count("killed")
    if everyone.count("equivalent"):  # the score as if no mutant had been judged
        built = len(everyone) - everyone.count("no build")
        print(f"{'all, the judged as survivors':28} {built:5} {'':8} {killed:6} "
              f"{built - killed:8} {'':10} {100 * killed / built:5.1f}%")
    report_stale()
    report = work / "survivors.txt"
    report.write_text("".join(f"{name}:{n}\n  - {old.strip()}\n  + "
                              f"{new.strip() or LEFT_OUT}\n"
                              for name, n, old, new in survivors))
    print(f"\n{(time.time() - start) / max(len(chosen), 1):.1f} s a mutant; survivors: {report}")


if __name__ == "__main__":
    main()
