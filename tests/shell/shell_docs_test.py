#!/usr/bin/env python3
"""--help, manual page and Bash completion of each program name the same options, both ways,
and the completion offers the values --help gives (on|off, 0..6, a listed NAME:, FILE).

    shell_docs_test.py DOCS_DIR PROGRAM...     (DOCS_DIR holds man/NAME.1, completions/NAME)
"""
import os
import re
import subprocess
import sys
import tempfile

OPTION = re.compile(r"--[a-z][a-z0-9-]*")
BASH_COMPLETION = "/usr/share/bash-completion/bash_completion"
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def complete(completion, name, line):
    """COMPREPLY for the command line `line` (the cursor at its end)."""
    function = "_" + re.sub(r"\W", "_", name)
    script = f"""
source {BASH_COMPLETION}
source {completion}
COMP_LINE='{line}'; COMP_POINT=${{#COMP_LINE}}
read -ra COMP_WORDS <<< "$COMP_LINE"
[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
COMP_CWORD=$(( ${{#COMP_WORDS[@]}} - 1 ))
{function} {name} "${{COMP_WORDS[COMP_CWORD]}}" "${{COMP_WORDS[COMP_CWORD-1]}}"
printf '%s\\n' "${{COMPREPLY[@]}}"
"""
    out = subprocess.run(["bash", "--norc", "-c", script], capture_output=True, text=True, timeout=60)
    check(out.returncode == 0, f"{name}: completion of '{line}' failed: {out.stderr}")
    return {w for w in out.stdout.split("\n") if w}


def values_in_help(option, text):
    """The values --help spells right after option: a|b|c or N..M."""
    match = re.search(re.escape(option) + r"[ =]([a-z0-9-]+(?:\|[a-z0-9-]+)+|\d+\.\.\d+)\b", text)
    if not match:
        return None
    if ".." in match.group(1):
        low, high = map(int, match.group(1).split(".."))
        return {str(n) for n in range(low, high + 1)}
    return set(match.group(1).split("|"))


def check_program(docs, program):
    name = os.path.basename(program)
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
    text = subprocess.run([program, "--help"], capture_output=True, text=True, env=env,
                          timeout=60, check=True).stdout
    options = set(OPTION.findall(text))
    check(len(options) >= 3, f"{name}: --help names {sorted(options)}")

    with open(os.path.join(docs, "man", name + ".1"), encoding="utf-8") as f:
        page = re.sub(r"\\f[BIRP]", "", f.read().replace("\\-", "-"))
    in_page = set(OPTION.findall(page))
    check(options <= in_page, f"{name}: missing in the manual page: {sorted(options - in_page)}")
    check(in_page <= options, f"{name}: the manual page names what --help does not: {sorted(in_page - options)}")

    completion = os.path.join(docs, "completions", name)
    with open(completion, encoding="utf-8") as f:
        in_completion = set(OPTION.findall(re.sub(r"(?m)^#.*$", "", f.read())))
    check(in_completion <= options, f"{name}: the completion names what --help does not: {sorted(in_completion - options)}")
    offered = complete(completion, name, f"{name} --")
    check(offered == options, f"{name}: '--<Tab>' offers {sorted(offered)}, --help has {sorted(options)}")

    for option in sorted(options):
        values = values_in_help(option, text)
        if values:
            got = complete(completion, name, f"{name} {option} ")
            check(got == values, f"{name}: '{option} <Tab>' offers {sorted(got)}, --help says {sorted(values)}")


def check_controller_arguments(docs, program):
    """Values that --help gives in words, and files."""
    completion = os.path.join(docs, "completions", "qvt-vz1-controller")
    drive = complete(completion, "qvt-vz1-controller", "qvt-vz1-controller --drive ")
    check({"up", "down-right", "zoom-out"} <= drive and "--ms" not in drive,
          f"'--drive <Tab>' offers {sorted(drive)}")
    check(not complete(completion, "qvt-vz1-controller", "qvt-vz1-controller --drive up --ms "),
          "'--ms <Tab>' offers the drive directions")
    with tempfile.TemporaryDirectory() as folder:
        open(os.path.join(folder, "settings.ini"), "w").close()
        for verb in ("--export", "--import", "--firmware"):
            got = complete(completion, "qvt-vz1-controller", f"qvt-vz1-controller {verb} {folder}/se")
            check(got == {folder + "/settings.ini"}, f"'{verb} FILE<Tab>' offers {sorted(got)}")


def main():
    docs, programs = sys.argv[1], sys.argv[2:]
    if not os.path.exists(BASH_COMPLETION):
        sys.exit(f"{BASH_COMPLETION} is missing (package bash-completion)")
    for program in programs:
        check_program(docs, program)
        if os.path.basename(program) == "qvt-vz1-controller":
            check_controller_arguments(docs, program)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(programs)} programs, {len(failures)} failures")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
