#!/usr/bin/python3
"""The web page of a large hint file, measured as its reader meets it.

    bench/webpage_benchmark.py [BUILD_DIR]        (default: build)

Writes a hint file of about 5 MB (subjects of 40 questions of 2 to 5 hints,
and one question of 1,000 hints) with zebtool build, then reports:
  - `zebtool html`: wall time (hyperfine, median, fresh process, output to
    a file) and peak resident memory (GNU time);
  - the page's size against the hint file's;
  - in headless Chromium, for fresh page loads: the time from navigation
    start to the first view drawn (the page's "zeb-first-view" mark, then
    the next frame), median of the loads;
  - revealing one hint in the question of 1,000 hints: the time of the
    click's work and the layout it forces, for every hint from the 2nd to
    the 1,000th; median and worst.
Needs chromium, chromedriver and python3-selenium (Debian), hyperfine and
GNU time. ZEB_BENCH_DIR keeps the generated files (default /tmp/zeb-bench).
"""
import json
import os
import random
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "webpage"))

WORDS = ("the lamp door key north look under behind try open old garden you might want to take a closer at "
         "shed rope ladder west of is in it that room castle wizard potion bridge troll give him coins before "
         "nightfall remember which lever pulled first cellar candle library painting fireplace secret passage "
         "and then").split()


def sentence(rng, low, high):
    words = [rng.choice(WORDS) for _ in range(rng.randint(low, high))]
    return " ".join(words).capitalize() + "."


def write_source(path, megabytes):
    """An authoring source of about that many megabytes once compiled."""
    rng = random.Random(5)
    lines = ["@subject Benchmark Hints", "@subject The Long Question",
             "@hint How do I get through the thousand doors?"]
    for i in range(1000):
        if i:
            lines.append("-")
        lines.append(f"Door {i + 1}: " + sentence(rng, 6, 14))
    lines += ["@end", "@end"]
    size = sum(len(line) + 2 for line in lines)
    subject = 0
    while size < megabytes * 1024 * 1024:
        subject += 1
        block = [f"@subject Part {subject}"]
        for _ in range(40):
            block.append("@hint " + sentence(rng, 3, 9)[:-1] + "?")
            for hint in range(rng.randint(2, 5)):
                if hint:
                    block.append("-")
                block += [sentence(rng, 2, 14) for _ in range(rng.randint(1, 3))]
            block.append("@end")
        block.append("@end")
        size += sum(len(line) + 2 for line in block)
        lines += block
    lines.append("@end")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


def median_wall(command):
    with tempfile.TemporaryDirectory() as work:
        result = os.path.join(work, "h.json")
        subprocess.run(["hyperfine", "-N", "--style", "none", "--warmup", "1", "--runs", "7",
                        "--export-json", result, " ".join(command)], check=True, stdout=subprocess.DEVNULL)
        with open(result) as f:
            return json.load(f)["results"][0]["median"]


def peak_kib(command):
    with tempfile.TemporaryDirectory() as work:
        peak = os.path.join(work, "peak")
        subprocess.run(["/usr/bin/time", "-o", peak, "-f", "%M"] + command, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(peak) as f:
            return int(f.read().split()[-1])


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build"))
    zebtool = os.path.join(build, "src", "tools", "zebtool")
    data = os.environ.get("ZEB_BENCH_DIR", "/tmp/zeb-bench")
    os.makedirs(data, exist_ok=True)
    source = os.path.join(data, "webpage-5.zebsrc")
    hint_file = os.path.join(data, "WEBPAGE5.ZEB")
    page = os.path.join(data, "WEBPAGE5.html")
    if not os.path.exists(hint_file):
        write_source(source, 5)
        subprocess.run([zebtool, "build", source, "-o", hint_file], check=True)
    command = [zebtool, "html", hint_file, "-o", page]
    subprocess.run(command, check=True)
    wall = median_wall(command)
    peak = peak_kib(command)
    file_size = os.path.getsize(hint_file)
    page_size = os.path.getsize(page)
    print(f"hint file: {hint_file}, {file_size / 1e6:.2f} MB")
    print(f"zebtool html: {wall * 1000:.0f} ms wall (median of 7), peak {peak / 1024:.0f} MiB")
    print(f"page: {page_size / 1e6:.2f} MB = {page_size / file_size:.3f} x the hint file")

    import browser  # tests/webpage/browser.py: headless Chromium without network
    driver = browser.start(1200, 900)
    try:
        ready = []
        for _ in range(7):
            driver.get("about:blank")
            driver.get("file://" + page)
            ready.append(driver.execute_async_script("""
                const done = arguments[arguments.length - 1];
                requestAnimationFrame(() => setTimeout(() => {
                  const mark = performance.getEntriesByName('zeb-first-view')[0];
                  done(mark ? performance.now() : -1);
                }, 0));"""))
        print(f"root view drawn: {statistics.median(ready):.0f} ms after navigation start "
              f"(median of {len(ready)} fresh loads; worst {max(ready):.0f} ms)")
        question = driver.execute_script("""
            const nodes = JSON.parse(document.getElementById('zeb-data').textContent).nodes;
            return nodes.findIndex(n => n.t === 'How do I get through the thousand doors?');""")
        driver.execute_script("localStorage.clear(); location.hash = '#v' + arguments[0];", question)
        times = driver.execute_script("""
            const times = [];
            const button = document.getElementById('more');
            while (button.textContent !== 'No more hints.') {
              const start = performance.now();
              button.click();
              document.body.offsetHeight;  // the layout the reveal causes
              times.push(performance.now() - start);
            }
            return times;""")
        times.sort()
        print(f"reveal one hint of 1,000: median {statistics.median(times):.2f} ms, "
              f"worst {times[-1]:.2f} ms over {len(times)} reveals")
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
