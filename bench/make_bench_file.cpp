// Writes a large hint file of a given shape and size, for the whole-operation
// benchmarks of bench/run:
//
//   make_bench_file --shape short|long --mb N -o FILE
//
// short: the usual shape of hint files in the wild. Subjects of 40 questions;
//        each question holds 2 to 5 hints of 1 to 3 lines of 2 to 14 words,
//        so most of the file is short lines.
// long:  long paragraph lines (TEXT data and hints of 60 to 400 words) and a
//        picture with hot regions in every subject.
//
// The same arguments always give the same bytes.
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "authoring/hintwriter.h"

namespace {

class TWords {
 public:
  explicit TWords(std::uint32_t seed) : Engine(seed) {}

  std::size_t Between(std::size_t low, std::size_t high) { return low + Engine() % (high - low + 1); }

  // A sentence of `count` words, with a capital and a full stop.
  std::string Sentence(std::size_t count) {
    static const char* const words[] = {
        "the",     "lamp",   "door",    "key",      "north",   "look",    "under",   "behind",  "try",
        "open",    "old",    "garden",  "you",      "might",   "want",    "to",      "take",    "a",
        "closer",  "at",     "shed",    "rope",     "ladder",  "west",    "of",      "is",      "in",
        "it",      "that",   "room",    "castle",   "wizard",  "potion",  "bridge",  "troll",   "give",
        "him",     "coins",  "before",  "nightfall", "remember", "which",  "lever",   "pulled",  "first",
        "cellar",  "candle", "library", "painting", "fireplace", "secret", "passage", "and",     "then"};
    std::string line;
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) line += ' ';
      line += words[Engine() % std::size(words)];
    }
    line[0] = static_cast<char>(line[0] - 'a' + 'A');
    return line + (count % 3 == 0 ? "?" : ".");
  }

 private:
  std::mt19937 Engine;
};

// Approximate bytes a line adds to the file (CR LF included).
std::size_t Cost(const std::string& line) { return line.size() + 2; }

void AddShortSubject(THintFileWriter&, TWords& words, std::vector<TWHunkPtr>& subjects, std::size_t& size) {
  std::vector<TWHunkPtr> questions;
  for (int q = 0; q < 40; ++q) {
    const std::string title = words.Sentence(words.Between(3, 9));
    size += Cost(title) + 12;
    std::vector<std::string> lines;
    const std::size_t hints = words.Between(2, 5);
    for (std::size_t h = 0; h < hints; ++h) {
      if (h > 0) lines.push_back("-");
      const std::size_t count = words.Between(1, 3);
      for (std::size_t l = 0; l < count; ++l) lines.push_back(words.Sentence(words.Between(2, 14)));
    }
    for (const std::string& line : lines) size += Cost(line);
    if (q % 4 == 3)
      questions.push_back(NestHint(title, std::vector<TWNestItem>(lines.begin(), lines.end())));
    else
      questions.push_back(Hint(title, std::move(lines)));
  }
  const std::string title = words.Sentence(words.Between(2, 5));
  size += Cost(title) + 12;
  subjects.push_back(Subject(title, std::move(questions)));
}

void AddLongSubject(THintFileWriter& file, TWords& words, std::vector<TWHunkPtr>& subjects, std::size_t& size) {
  std::vector<TWHunkPtr> items;
  for (int q = 0; q < 8; ++q) {
    const std::string title = words.Sentence(words.Between(3, 9));
    std::vector<std::string> lines;
    for (std::size_t h = 0; h < words.Between(2, 4); ++h) {
      if (h > 0) lines.push_back("-");
      lines.push_back(words.Sentence(words.Between(60, 400)));
    }
    for (const std::string& line : lines) size += Cost(line);
    size += Cost(title) + 12;
    items.push_back(Hint(title, std::move(lines)));
  }
  std::vector<std::string> paragraphs;
  for (int p = 0; p < 6; ++p) {
    paragraphs.push_back(words.Sentence(words.Between(60, 400)));
    size += Cost(paragraphs.back());
  }
  items.push_back(file.Text(words.Sentence(4), 0, std::move(paragraphs)));
  // A picture of about 40 KB with two hot regions.
  const std::string png = TinyPng(256, 160);
  size += png.size() + 400;
  items.push_back(file.HyperPng(words.Sentence(3), png,
                                {{0, 0, 128, 80, Hint("Left half?", {words.Sentence(12)})},
                                 {128, 80, 256, 160, Hint("Right half?", {words.Sentence(12)})}}));
  const std::string title = words.Sentence(words.Between(2, 5));
  size += Cost(title) + 12;
  subjects.push_back(Subject(title, std::move(items)));
}

int Usage() {
  std::cerr << "usage: make_bench_file --shape short|long --mb N -o FILE\n";
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shape;
  std::string output;
  double megabytes = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--shape") shape = argv[i + 1];
    else if (option == "--mb") megabytes = std::atof(argv[i + 1]);
    else if (option == "-o") output = argv[i + 1];
    else return Usage();
  }
  if ((shape != "short" && shape != "long") || megabytes <= 0 || output.empty()) return Usage();

  const auto target = static_cast<std::size_t>(megabytes * 1000 * 1000);
  THintFileWriter file;
  TWords words(static_cast<std::uint32_t>(target) ^ (shape == "long" ? 0x5a5a5a5au : 0u));
  file.Title88a = "Benchmark Adventure";
  file.Subjects = {{"Getting started", {{"Where do I begin?", {"At the start.", "Really."}}}}};
  file.NoteLines = {"A file for measuring the reader."};
  std::vector<TWHunkPtr> subjects;
  std::size_t size = 0;
  while (size < target) {
    if (shape == "short") AddShortSubject(file, words, subjects, size);
    else AddLongSubject(file, words, subjects, size);
  }
  file.Hunks = {Subject("Benchmark Adventure", std::move(subjects)), PlainHunk("version", "96a", {"bench"}),
                PlainHunk("info", "", {"AUTHOR=Benchmark", "DATE=01-Jan-26", "TIME=00:00"})};
  try {
    file.Save(output);
  } catch (const std::exception& e) {
    std::cerr << "make_bench_file: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
