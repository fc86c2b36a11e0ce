#!/usr/bin/env python3
"""Mutation testing: small faults put into the code one at a time; the fast tests must catch each.

Works on copies of the tracked sources under build/mutate/, one per worker, so an interrupted
run never leaves a fault in the working tree. A mutant that does not compile is stillborn and not
counted; one marked in scripts/mutants-equivalent.txt (it cannot change behaviour) is
listed apart and left out of the kill rate.

Before the mutants, a build with coverage runs each fast test alone and notes the lines it
runs. Each mutant first meets only the tests that reach its line, where most die soon; one
that lives through them meets every test before it is called a survivor, and one on a line
no test runs is shown as such.
"""

import argparse
import glob
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build", "mutate")
COPY = os.path.join(WORK, "copy-1")  # the first worker's copy, which the coverage build uses
COVERAGE = os.path.join(WORK, "coverage")
COVERAGE_MAP = os.path.join(WORK, "coverage-map.json")
GOLDEN = "golden transcripts"
# The store's shell tests: the settings file beside FIFOs, links, other users' files and
# killed saves, then two runners saving one file at once and a save that cannot have the lock
# (the only test of the save lock). A few rounds are enough here, and they run only on mutants
# whose line they run.
STORE = "store tests"
STORE_ROUNDS = "10"
EQUIVALENT_LIST = os.path.join(ROOT, "scripts", "mutants-equivalent.txt")
FOLDERS = ("core/", "app/", "render/", "tools/sim/")
# Compiled only for Windows, the browser or a build without Qt: a fault there cannot reach
# the native tests.
NOT_BUILT_HERE = re.compile(r".*_(win32|web)\.cpp|tools/sim/no_picture\.cpp")
# Soak runs exist for memory growth over minutes; every fault they catch shows sooner elsewhere.
TEST_FILTER = "-*Soak*"

TOKEN = re.compile(r"""
    (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*')
  | (?P<number>0[xX][0-9a-fA-F']+[uUlL]*|\d[\d']*(?:\.\d+)?(?:[eE][+-]?\d+)?[uUlLfF]*)
  | (?P<word>[A-Za-z_]\w*)
  | (?P<op>&&|\|\||<<=|>>=|<=>|<=|>=|==|!=|<<|>>|->|::|\+\+|--|[-+*/%&|^!~<>=?:;,.(){}\[\]])
  | (?P<space>\s+)
""", re.VERBOSE | re.DOTALL)

BOUNDARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
FLIPPED = {"<": ">", ">": "<", "<=": ">=", ">=": "<=", "==": "!=", "!=": "=="}
LOGICAL = {"&&": "||", "||": "&&"}
# A statement with an effect: a call or an assignment through a name, a member or an element.
# A declaration ("int count = 0;") starts with a type and a space, and is left alone.
EFFECT = re.compile(r"[A-Za-z_][\w:]*(?:(?:\.|->)\w+|\[[^\]]*\]|\(\))*\s*"
                    r"(?:\(|[-+*/%|&^]?=(?!=)|<<=|>>=|\+\+|--)")


class Mutant:
    def __init__(self, path, line, start, end, replacement, change, key):
        self.path, self.line, self.start, self.end = path, line, start, end
        self.replacement, self.change = replacement, change
        self.ident = hashlib.sha1(key.encode()).hexdigest()[:10]

    def describe(self):
        return f"{self.path}:{self.line}: {self.change}  [{self.ident}]"


def tokens(text):
    """Yields (kind, start, end) for the code outside preprocessor lines."""
    pos = 0
    at_line_start = True
    while pos < len(text):
        if at_line_start and re.match(r"[ \t]*#", text[pos:pos + 200]):
            end = pos
            while True:  # a directive ends at a newline that no backslash continues
                end = text.find("\n", end)
                if end < 0 or text[end - 1] != "\\":
                    break
                end += 1
            pos = len(text) if end < 0 else end + 1
            continue
        match = TOKEN.match(text, pos)
        if not match:
            pos += 1
            continue
        kind = match.lastgroup if match.lastgroup != "delim" else "string"
        if kind != "space" and kind != "comment":
            yield kind, match.start(), match.end()
        at_line_start = kind == "space" and "\n" in match.group() or kind == "comment" and (
            match.group().startswith("//"))
        pos = match.end()


def spaced(text, start, end):
    """A binary operator formatted with a space each side (templates' brackets are not)."""
    return text[start - 1:start] == " " and text[end:end + 1] == " "


def matching_paren(text, open_at):
    depth = 0
    for index in range(open_at, len(text)):
        if text[index] == "(":
            depth += 1
        elif text[index] == ")":
            depth -= 1
            if depth == 0:
                return index
    return -1


def operator_mutants(text, kind, start, end):
    value = text[start:end]
    if kind == "op" and spaced(text, start, end):
        for table, name in ((BOUNDARY, "boundary"), (FLIPPED, "flipped"), (LOGICAL, "logic")):
            if value in table:
                yield start, end, table[value], f"{name}: '{value}' -> '{table[value]}'"
    if kind == "number" and re.fullmatch(r"\d+[uUlL]*", value.replace("'", "")):
        literal = re.match(r"\d+", value.replace("'", "")).group()
        # A leading zero makes the literal octal, as a file's mode is written; so is its mutant.
        octal = len(literal) > 1 and literal.startswith("0")
        digits = int(literal, 8 if octal else 10)
        suffix = re.sub(r"^[\d']+", "", value)
        for delta in (1, -1):
            if digits + delta >= 0:
                new = (f"0{digits + delta:o}" if octal else f"{digits + delta}") + suffix
                yield start, end, new, f"constant: {value} -> {new}"
    if kind == "word" and value in ("true", "false"):
        new = "false" if value == "true" else "true"
        yield start, end, new, f"constant: {value} -> {new}"


def condition_mutants(text, kind, start, end):
    if kind != "word" or text[start:end] not in ("if", "while"):
        return
    open_at = text.find("(", end)
    if open_at != end + 1:
        return
    close_at = matching_paren(text, open_at)
    if close_at > 0:
        inner = text[open_at + 1:close_at]
        yield open_at, close_at + 1, f"(!({inner}))", f"negated condition of '{text[start:end]}'"


def statement_mutants(text, kind, start, end):
    """Deletes a whole one-line statement, or replaces what a function returns."""
    line_start = text.rfind("\n", 0, start) + 1
    if text[line_start:start].strip():
        return
    line_end = text.find("\n", start)
    statement = text[start:line_end]
    if not statement.endswith(";") or statement.count("(") != statement.count(")"):
        return
    word = text[start:end]
    if word == "return":
        value = statement[len("return"):-1].strip()
        if value and value not in ("{}", "true", "false"):
            yield start, line_end, "return {};", f"return value: '{value}' -> '{{}}'"
        return
    if EFFECT.match(statement) or statement.startswith(("if (", "++", "--")):
        yield start, line_end, ";", f"deleted: '{statement}'"


def mutants_of(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as source:
        text = source.read()
    found, seen, lines = [], {}, text.splitlines()
    for kind, start, end in tokens(text):
        for generator in (operator_mutants, condition_mutants, statement_mutants):
            for m_start, m_end, replacement, change in generator(text, kind, start, end):
                line = text.count("\n", 0, m_start) + 1
                # Named by the line's text rather than its number, so that a mark in the list
                # of equivalents survives edits elsewhere in the file.
                key = f"{path}\0{lines[line - 1].strip()}\0{change}"
                seen[key] = seen.get(key, 0) + 1
                found.append(Mutant(path, line, m_start, m_end, replacement, change,
                                    f"{key}\0{seen[key]}"))
    return text, found


def tracked_sources():
    listed = subprocess.run(["git", "ls-files", *FOLDERS], cwd=ROOT, check=True,
                            capture_output=True, text=True).stdout.split()
    return [p for p in listed
            if p.endswith((".cpp", ".h")) and not NOT_BUILT_HERE.fullmatch(p)]


def equivalent_marks():
    marks = {}
    if os.path.exists(EQUIVALENT_LIST):
        with open(EQUIVALENT_LIST, encoding="utf-8") as listing:
            for entry in listing:
                fields = entry.split(None, 1)
                if fields and not fields[0].startswith("#"):
                    marks[fields[0]] = fields[1].strip() if len(fields) > 1 else ""
    return marks


def prepare_copy(copy):
    listed = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                            check=True, capture_output=True, text=True).stdout.split("\n")
    for path in filter(None, listed):
        source, target = os.path.join(ROOT, path), os.path.join(copy, path)
        if not os.path.isfile(source):
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if not os.path.exists(target) or not same_bytes(source, target):
            shutil.copyfile(source, target)  # a fresh time, so a build redoes what a mutant left
        shutil.copymode(source, target)  # the scripts the tests run must stay executable


def same_bytes(first, second):
    with open(first, "rb") as a, open(second, "rb") as b:
        return a.read() == b.read()


def run(command, folder, timeout=None):
    """The command's status, or "timeout": then its whole process group is killed, since a
    mutant that loops forever is often a grandchild (the runner under the golden check)."""
    with subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, start_new_session=True) as process:
        try:
            return process.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            return "timeout"


def build(folder):
    return run(["cmake", "--build", folder, "--target", "volarin-tests", "volarin-sim"], folder)


def unit_tests(folder):
    return os.path.join(folder, "tests", "volarin-tests")


def golden_check(copy, folder, timeout=None):
    return run([os.path.join(copy, "tests", "golden", "check.sh"),
                os.path.join(folder, "tools", "volarin-sim")], folder, timeout)


def store_check(copy, folder, timeout=None):
    sim = os.path.join(folder, "tools", "volarin-sim")
    store = os.path.join(copy, "tests", "store")
    return (run([os.path.join(store, "file_policy_test.sh"), sim], folder, timeout) or
            run([os.path.join(store, "concurrent_saves_test.sh"), sim, STORE_ROUNDS], folder,
                timeout))


def configure(copy, folder, flags, sanitize=False):
    """Ninja, no debugging information and lld where the machine has them: a mutant's
    rebuild is then mostly its one file's compile, a few times sooner than with make."""
    settings = ["-DCMAKE_BUILD_TYPE=None", f"-DCMAKE_CXX_FLAGS={flags}",
                "-DVOLARIN_BENCHMARKS=OFF", f"-DVOLARIN_SANITIZE={'ON' if sanitize else 'OFF'}"]
    if shutil.which("ninja"):
        settings.append("-GNinja")
    if shutil.which("ld.lld"):
        settings.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    cache = os.path.join(folder, "CMakeCache.txt")
    if os.path.exists(cache) and "CMAKE_GENERATOR:INTERNAL=Ninja" not in open(cache).read():
        shutil.rmtree(folder)  # made by an older run with another generator
    os.makedirs(folder, exist_ok=True)
    code = subprocess.run(["cmake", "-S", copy, "-B", folder, *settings],
                          capture_output=True).returncode
    if code != 0:
        sys.exit("mutate: cmake could not configure the copy in " + folder)


class Worker:
    """One copy of the sources and its build; workers run mutants side by side."""

    def __init__(self, number, sanitize=False):
        self.copy = os.path.join(WORK, f"copy-{number}")
        # Kept apart, so that neither kind of run rebuilds the other's every file.
        self.build = os.path.join(WORK, f"build-{number}" + ("-sanitize" if sanitize else ""))
        self.sanitize = sanitize
        self.changed = None  # the file of the copy that holds a mutant, if any

    def prepare(self):
        prepare_copy(self.copy)
        configure(self.copy, self.build, "-O1", self.sanitize)
        return build(self.build) == 0

    def test(self, timeout, test_filter=TEST_FILTER, golden=True, store=False):
        """The unit tests, the kept transcripts, then the store tests; the first failure kills
        the mutant."""
        if test_filter:
            outcome = run([unit_tests(self.build), "--gtest_brief=1",
                           f"--gtest_filter={test_filter}", "--gtest_fail_fast"], self.build,
                          timeout)
            if outcome != 0:
                return outcome
        if golden:
            outcome = golden_check(self.copy, self.build, timeout)
            if outcome != 0:
                return outcome
        return store_check(self.copy, self.build, timeout) if store else 0

    def write(self, path, text):
        with open(os.path.join(self.copy, path), "w", encoding="utf-8") as target:
            target.write(text)

    def restore(self, texts):
        if self.changed:
            self.write(self.changed, texts[self.changed])
            self.changed = None

    def try_mutant(self, mutant, texts, timeout, test_filter, reaching, every_test=False):
        if self.changed != mutant.path:
            self.restore(texts)
        text = texts[mutant.path]
        self.write(mutant.path, text[:mutant.start] + mutant.replacement + text[mutant.end:])
        self.changed = mutant.path
        if build(self.build) != 0:
            return "stillborn"
        if reaching:  # most mutants die in the tests that run their line, sooner than in all
            units = ":".join(name for name in reaching if name not in (GOLDEN, STORE))
            if self.test(timeout, units, GOLDEN in reaching, STORE in reaching) != 0:
                return "killed"
        # A survivor meets every test: a test whose line ran in a child that could not write
        # its counts (under a file-size limit, or as another user) is missing from the map.
        # The store tests, seconds long, run only where the map says they reach.
        outcome = self.test(timeout, test_filter, store=every_test)
        return "killed" if outcome != 0 else "survived"


def test_names(test_filter):
    listing = subprocess.run([unit_tests(COVERAGE), "--gtest_list_tests",
                              f"--gtest_filter={test_filter}"], capture_output=True, text=True,
                             check=True).stdout
    names, suite = [], ""
    for line in listing.splitlines():
        name = line.split("#")[0].strip()
        if not name:
            continue
        if line.startswith(" "):
            names.append(suite + name)
        else:
            suite = name
    return names


def lines_run():
    """{path: {line: runs}} over the copy's sources, from the counts the last run left."""
    counts = {}
    data = glob.glob(os.path.join(COVERAGE, "**", "*.gcda"), recursive=True)
    if not data:
        return counts
    output = subprocess.run(["gcov", "--json-format", "--stdout", *data], cwd=COVERAGE,
                            capture_output=True, text=True).stdout
    decoder, position = json.JSONDecoder(), 0
    while True:
        while position < len(output) and output[position].isspace():
            position += 1
        if position >= len(output):
            return counts
        document, position = decoder.raw_decode(output, position)
        for entry in document.get("files", []):
            path = os.path.relpath(os.path.realpath(entry["file"]), os.path.realpath(COPY))
            if path.startswith(".."):
                continue
            lines = counts.setdefault(path, {})
            for line in entry.get("lines", []):
                number = line["line_number"]
                lines[number] = lines.get(number, 0) + line["count"]


def forget_counts():
    for data in glob.glob(os.path.join(COVERAGE, "**", "*.gcda"), recursive=True):
        os.remove(data)


def note_lines(reach, code, test_name):
    for path, lines in lines_run().items():
        for number, runs in lines.items():
            key = f"{path}:{number}"
            code.add(key)
            if runs:
                reach.setdefault(key, []).append(test_name)


def sources_digest():
    """Of what the tests are built from and read; the scripts and the documents are not."""
    digest = hashlib.sha1()
    for folder, subfolders, files in os.walk(COPY):
        subfolders[:] = sorted(name for name in subfolders
                               if os.path.join(folder, name) != os.path.join(COPY, "scripts"))
        for name in sorted(files):
            if name.endswith(".md") or name in ("CHANGELOG", "LICENSE"):
                continue
            path = os.path.join(folder, name)
            digest.update(path.encode())
            with open(path, "rb") as source:
                digest.update(source.read())
    return digest.hexdigest()


def coverage_map(test_filter):
    """Which fast tests run each line of code, each test alone; kept until a source changes."""
    digest = f"{sources_digest()} {test_filter}"
    if os.path.exists(COVERAGE_MAP):
        with open(COVERAGE_MAP, encoding="utf-8") as kept:
            saved = json.load(kept)
        if saved.get("digest") == digest:
            return saved["reach"], set(saved["code"])
    configure(COPY, COVERAGE, "-O0 --coverage")
    if build(COVERAGE) != 0:
        sys.exit("mutate: the copy does not build with coverage")
    reach, code = {}, set()
    names = test_names(test_filter)
    for number, name in enumerate(names, 1):
        print(f"  coverage {number}/{len(names) + 1}: {name}", file=sys.stderr, flush=True)
        forget_counts()
        run([unit_tests(COVERAGE), f"--gtest_filter={name}"], COVERAGE)
        note_lines(reach, code, name)
    forget_counts()
    golden_check(COPY, COVERAGE)
    note_lines(reach, code, GOLDEN)
    forget_counts()
    store_check(COPY, COVERAGE)
    note_lines(reach, code, STORE)
    with open(COVERAGE_MAP, "w", encoding="utf-8") as kept:
        json.dump({"digest": digest, "reach": reach, "code": sorted(code)}, kept)
    return reach, code


def tests_reaching(mutant, reach, code):
    """The tests that run the mutant's line; None when gcov counts no code there (a
    declaration, a constant folded away), which leaves every test to run."""
    key = f"{mutant.path}:{mutant.line}"
    if key not in code:
        return None
    return reach.get(key, [])


def choose(all_mutants, count, seed):
    if count and count < len(all_mutants):
        all_mutants = random.Random(seed).sample(all_mutants, count)
    # Grouped by file, so each file is restored and rebuilt once rather than once per mutant.
    return sorted(all_mutants, key=lambda m: (m.path, m.start))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("count", nargs="?", type=int, default=0,
                        help="mutants to sample (0: all of them)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample")
    parser.add_argument("--list", action="store_true", help="list the mutants, run nothing")
    parser.add_argument("--only", default="", help="only files whose path contains this text")
    parser.add_argument("--ids", default="",
                        help="only these mutants (comma-separated), e.g. a run's survivors")
    # Left out, a test whose faults all die anyway adds nothing: e.g. --tests=-Missiles*.
    parser.add_argument("--tests", default=TEST_FILTER,
                        help="GoogleTest filter of the unit tests run on each mutant")
    parser.add_argument("--every-test", action="store_true",
                        help="run all the tests on every mutant, not only those reaching it")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1,
                        help="mutants tried side by side, each in its own copy (default: "
                             "one per processor)")
    # As the test script builds them: a write out of bounds, an overflow or a leak then kills a
    # mutant that an unchecked build lets through by luck. Slower, so best kept for survivors.
    parser.add_argument("--sanitize", action="store_true",
                        help="build the mutants with AddressSanitizer and "
                             "UndefinedBehaviorSanitizer")
    args = parser.parse_args()

    texts, every = {}, []
    for path in tracked_sources():
        if args.only in path:
            texts[path], found = mutants_of(path)
            every.extend(found)
    if args.ids:
        wanted = set(args.ids.split(","))
        every = [mutant for mutant in every if mutant.ident in wanted]
    chosen = choose(every, args.count, args.seed)
    if args.list:
        for mutant in chosen:
            print(mutant.describe())
        print(f"{len(chosen)} of {len(every)} mutants")
        return 0

    forget_older_layout()
    workers = [Worker(number, args.sanitize)
               for number in range(1, max(1, min(args.jobs, len(chosen))) + 1)]
    for worker in workers:
        if not worker.prepare():
            sys.exit("mutate: the unmutated code does not build")
    began = time.monotonic()
    if workers[0].test(None) != 0:
        sys.exit("mutate: the fast tests fail before any mutation")
    # Each test program gets ten times what the unit tests and the transcripts took together;
    # the store tests, mostly a fixed wait for a held lock, fit in the 30 s floor.
    timeout = max(30.0, 10 * (time.monotonic() - began))
    if store_check(workers[0].copy, workers[0].build, timeout) != 0:
        sys.exit("mutate: the store tests fail before any mutation")
    # With no map, every line counts as one gcov saw no code on, and every test runs.
    reach, code = {}, set()
    if chosen and not args.every_test:
        reach, code = coverage_map(args.tests)
    return report(chosen, texts, workers, lambda worker, mutant: worker.try_mutant(
        mutant, texts, timeout, args.tests, tests_reaching(mutant, reach, code), args.every_test),
        lambda mutant: tests_reaching(mutant, reach, code) == [])


def forget_older_layout():
    """Runs before workers had one copy and one make-built tree each."""
    for old in ("src", "build"):
        if os.path.isdir(os.path.join(WORK, old)):
            shutil.rmtree(os.path.join(WORK, old))


def report(chosen, texts, workers, try_one, unreached):
    marks = equivalent_marks()
    tally = {"killed": 0, "survived": 0, "stillborn": 0, "equivalent": 0}
    lock, queue = threading.Lock(), iter(enumerate(chosen, 1))

    def work(worker):
        while True:
            with lock:
                number, mutant = next(queue, (0, None))
            if not mutant:
                return
            outcome = try_one(worker, mutant)
            if outcome == "survived" and mutant.ident in marks:
                outcome = "equivalent"
            with lock:
                tally[outcome] += 1
                if outcome == "survived":
                    why = "  (no test runs this line)" if unreached(mutant) else ""
                    print(f"SURVIVED {mutant.describe()}{why}", flush=True)
                print(f"  {number}/{len(chosen)} {outcome}: {mutant.describe()}",
                      file=sys.stderr, flush=True)

    threads = [threading.Thread(target=work, args=(worker,)) for worker in workers]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for worker in workers:
        worker.restore(texts)
        build(worker.build)  # leave the programs as the code is, not as a mutant made them
    counted = tally["killed"] + tally["survived"]
    rate = 100.0 * tally["killed"] / counted if counted else 100.0
    print(f"{tally['killed']} killed, {tally['survived']} survived, {tally['equivalent']} "
          f"marked equivalent, {tally['stillborn']} did not compile: kill rate {rate:.1f}%")
    return 0 if tally["survived"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
