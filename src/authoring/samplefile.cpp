// Writes a small sample hint file: an 88a section and a newer section with
// subjects, graded hints, a nested hint, a picture, a link and credits.
#include <exception>
#include <iostream>

#include "authoring/hintwriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zebsample OUT.ZEB\n";
    return 64;
  }
  try {
    THintFileWriter file;
    file.Title88a = "The Lighthouse Keeper";
    file.Subjects = {{"The Shore", {{"How do I get into the lighthouse", {"Look at the door.", "The key is under the mat."}}}}};
    file.NoteLines = {"These hints were written for the sample file."};

    auto door = Hint("How do I open the lighthouse door?",
                     {"Have you looked around the doorstep?", "-", "Lift the mat.", "-", "The key is under the mat."});
    auto lamp = NestHint("Why won't the lamp light?",
                         {"Something is missing from the lamp.", "-", "Oil.",
                          Hint("Where is the oil?", {"In the shed.", "-", "Behind the paint tins."})});
    auto shore = Subject("The Shore", {door});
    auto tower = Subject("The Tower", {lamp, Link("See also: the door", door)});
    auto root = Subject("The Lighthouse Keeper", {shore, tower});
    file.Hunks = {root, PlainHunk("VERSION", "96a", {"Sample writer"}),
                  PlainHunk("INFO", "", {"AUTHOR=The ZEB Reader team", "PUBLISHER=Nobody in particular",
                                         "DATE=10-Dec-26", "TIME=12:00", "COPYRIGHT=Free to share."})};
    file.Save(argv[1]);
  } catch (const std::exception& e) {
    std::cerr << "zebsample: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
