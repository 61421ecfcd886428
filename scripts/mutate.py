#!/usr/bin/env python3
"""Mutation testing of the portable core (src/patch) against the native core tests.

Copies the repository's tracked files (or a commit's, with --rev) to a scratch folder, builds
core_tests there natively (Debug, no sanitizers, ninja -j1) and checks that they pass. Then, one
mutant at a time, it changes one token of a src/patch file (a comparison, an arithmetic or
logical operator, a `!`, an integer literal, true/false, break/continue) or leaves out a
statement line, rebuilds, runs the tests (a timeout counts as killed) and restores the file.
Mutants that do not build under the project's flags are counted apart. Prints the score per
file, with and without files_posix.cpp (POSIX-only), and writes the survivors to a report.

    scripts/mutate.py --rev HEAD --sample 250 --seed 1    # a bounded, repeatable run
    scripts/mutate.py --files numbers.cpp --list          # only count the mutants
"""
import argparse, os, random, re, shutil, subprocess, sys, tempfile, time
from pathlib import Path

POSIX_ONLY = "files_posix.cpp"
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


def mutants(path):
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
            edits.append((m.start(), m.end(), hex(value + 1) if "x" in digits else str(value + 1)))
        for m in COND_RE.finditer(code):  # if (c) -> if (!(c)), when c ends on this line
            depth, close = 0, None
            for k in range(m.end() - 1, len(code)):
                depth += {"(": 1, ")": -1}.get(code[k], 0)
                if depth == 0: close = k; break
            if close and code[m.end()] != "!" and not code[m.end():].startswith("auto "):
                edits.append((m.end(), close, "!(" + line[m.end():close] + ")"))
        for a, b, new in edits:
            yield path.name, n, line, line[:a] + new + line[b:]
        before = next((c.rstrip() for c in reversed(codes[:n - 1]) if c.strip()), "{")
        if (STATEMENT_RE.match(code) and code.rstrip().endswith(";")
                and before.endswith((";", "{", "}")) and not code.lstrip().startswith("return")):
            yield path.name, n, line, ""  # the statement left out


def run(cmd, cwd, timeout=None, env=None):
    """True when cmd succeeds; a timeout kills its whole process group and counts as failure."""
    proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        return proc.wait(timeout=timeout) == 0
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, 9); proc.wait()
        return False


def copy_tree(repo, rev, src):
    if rev:
        archive = subprocess.run(["git", "-C", repo, "archive", rev], check=True,
                                 capture_output=True).stdout
        return subprocess.run(["tar", "-x", "-C", src], input=archive, check=True)
    names = subprocess.run(["git", "-C", repo, "ls-files", "-z"], check=True,
                           capture_output=True, text=True).stdout.split("\0")
    for name in filter(lambda name: (repo / name).is_file(), filter(None, names)):
        (src / name).parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(repo / name, src / name)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--repo", default=Path(__file__).resolve().parent.parent, type=Path)
    ap.add_argument("--rev", help="mutate this commit instead of the tracked files as they are")
    ap.add_argument("--work", type=Path, help="scratch folder (default: a new one under /tmp)")
    ap.add_argument("--files", nargs="+", help="only these src/patch files (names)")
    ap.add_argument("--sample", type=int, default=0, help="try N mutants at random (0: all)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=int, default=60, help="seconds for one test run")
    ap.add_argument("--list", action="store_true", help="only count the mutants per file")
    args = ap.parse_args()
    work = args.work or Path(tempfile.mkdtemp(prefix="mutate-"))
    src, build, tmp = work / "src", work / "build", work / "tmp"
    shutil.rmtree(src, ignore_errors=True); src.mkdir(parents=True); tmp.mkdir(exist_ok=True)
    copy_tree(args.repo, args.rev, src)
    files = sorted(p for p in (src / "src/patch").iterdir() if p.suffix in (".cpp", ".h")
                   and p.name != "files_win32.cpp" and (not args.files or p.name in args.files))
    everything = [m for p in files for m in mutants(p)]
    if args.list:
        for p in files: print(f"{p.name:22} {sum(m[0] == p.name for m in everything):4}")
        return print(f"{'all':22} {len(everything):4}")
    chosen = everything
    if 0 < args.sample < len(everything):  # sorted by file: fewer recompiles
        chosen = sorted(random.Random(args.seed).sample(everything, args.sample))

    env = dict(os.environ, TMPDIR=str(tmp))  # the tests' folders, emptied after each run
    ninja, tests = ["ninja", "-j1", "core_tests"], [build / "tests/core/core_tests"]
    start = time.time()
    if not (run(["cmake", "-G", "Ninja", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
                 "-DCMAKE_CXX_COMPILER=clang++", "-DPATCH_SANITIZE=OFF"], work)
            and run(ninja, build) and run(tests, build, args.timeout, env)):
        sys.exit(f"the unmutated core tests do not build or pass in {work}")
    print(f"{work}: unmutated build and tests pass ({time.time() - start:.0f} s); "
          f"{len(chosen)} of {len(everything)} mutants to try", flush=True)

    results, survivors, start = {}, [], time.time()
    for k, (name, n, old, new) in enumerate(chosen, 1):
        path = src / "src/patch" / name
        original = path.read_text()
        lines = original.split("\n")
        lines[n - 1] = new
        path.write_text("\n".join(lines))
        try:
            outcome = ("no build" if not run(ninja, build) else
                       "survived" if run(tests, build, args.timeout, env) else "killed")
        finally:
            path.write_text(original)
            shutil.rmtree(tmp, ignore_errors=True); tmp.mkdir()
        results.setdefault(name, []).append(outcome)
        if outcome == "survived": survivors.append((name, n, old, new))
        print(f"[{k}/{len(chosen)} {time.time() - start:.0f} s] {outcome:8} {name}:{n}: "
              f"{new.strip() or '(line left out)'}", flush=True)

    def row(label, outcomes):
        killed, survived = outcomes.count("killed"), outcomes.count("survived")
        score = f"{100 * killed / (killed + survived):.1f}%" if killed + survived else "-"
        print(f"{label:28} {len(outcomes):5} {outcomes.count('no build'):8} {killed:6} "
              f"{survived:8} {score:>6}")
    print(f"\n{'file':28} {'tried':>5} {'no build':>8} {'killed':>6} {'survived':>8} score")
    for name in sorted(results): row(name, results[name])
    row("all but " + POSIX_ONLY, [o for f, rs in results.items() if f != POSIX_ONLY for o in rs])
    row("all", [o for rs in results.values() for o in rs])
    report = work / "survivors.txt"
    report.write_text("".join(f"{name}:{n}\n  - {old.strip()}\n  + "
                              f"{new.strip() or '(line left out)'}\n"
                              for name, n, old, new in survivors))
    print(f"\n{(time.time() - start) / max(len(chosen), 1):.1f} s a mutant; survivors: {report}")


if __name__ == "__main__":
    main()
