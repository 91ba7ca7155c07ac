#pragma once
// How a program that loads large hint files takes its memory from the C
// library. A load fills tens of megabytes of fresh memory; on the systems we
// run on, each first touch of a small page is a page fault, and those faults
// are most of the time of a load. With the system's transparent huge pages
// (2 MiB), and with the large blocks of a loaded file taken from the main
// heap (which huge pages back) instead of mappings of their own (which they
// do not), a load takes a few hundred faults instead of tens of thousands.
//
// The C library reads these settings when a process starts, so the program
// starts itself again with them, once, before it does anything else. A
// setting the user made is left alone, a restart that fails leaves the
// program running as it was, and the restarted program takes the setting
// out of its environment again, so the programs it starts do not inherit it.

// Restarts the program (argv as main got it) with the settings; returns only
// when the settings are already in place or the restart failed.
void RestartWithLargePages(char** argv);
