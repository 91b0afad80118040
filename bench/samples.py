"""The bench preset's build and the sample files that bench/run and bench/compare share."""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
CACHE = os.path.join(ROOT, "bench", "cache")
DECODER = os.path.join(BUILD, "survey-decoder")
SAMPLE = os.path.join(BUILD, "tools", "survey-sample", "survey-sample")
PROFILES = ("light", "wide")
ALL_YEARS = (68, 69, 70, 71, 72, 73, 74, 76, 78, 80, 82, 86, 88)


def build(*targets):
    """Configures and builds the bench preset (only `targets`, when given)."""
    subprocess.run(["cmake", "--preset", "bench"], cwd=ROOT, check=True, stdout=subprocess.DEVNULL)
    command = ["cmake", "--build", "--preset", "bench"]
    if targets:
        command += ["--target"] + list(targets)
    subprocess.run(command, cwd=ROOT, check=True, stdout=subprocess.DEVNULL)


def sample(year, profile, size):
    """The cached sample of `year` in value profile `profile`, made on first use with seed 1.

    `size` is "full" for a full-size file or a record count. The name ends in the year's two
    digits and a four-character extension, from which the decoder reads the year.
    """
    os.makedirs(CACHE, exist_ok=True)
    extra = ["--full-size"] if size == "full" else ["--records", str(size)]
    tag = "full" if size == "full" else "r%d-" % size
    path = os.path.join(CACHE, "%s-%s%d.dat" % (profile, tag, year))
    if not os.path.exists(path):
        if not os.path.exists(SAMPLE):
            sys.exit("no sample generator at " + SAMPLE)
        # The temporary name keeps the year digits before the extension too.
        partial = os.path.join(CACHE, "partial-%d.dat" % year)
        subprocess.run([SAMPLE, str(year), partial, "--seed", "1", "--values", profile] + extra,
                       check=True, stdout=subprocess.DEVNULL)
        os.rename(partial, path)
    return path


def remove(*paths):
    for path in paths:
        if os.path.exists(path):
            os.remove(path)
