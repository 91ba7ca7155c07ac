#pragma once
// Where the program's files live. With ZEBWIN_HOME set, everything is in that
// folder: the settings, both caches and the default hint-file folder
// "hints/". Otherwise the settings go to the config location, the two caches
// to the cache location and hint files to the data location of the user.
// Folder texts end with "/".

#include <string>

class THomeFolder {
 public:
  // The settings file "ZEBWIN.INI".
  static std::string SettingsFile();
  // The last update list "zebinet.dat".
  static std::string UpdateListFile();
  // The catalog cache "zeblocal.dat".
  static std::string CatalogCacheFile();
  // The default hint-file folder.
  static std::string DefaultHintFolder();
  // The help file "ZEBWIN.ZEB": beside the executable (a build tree), else
  // where an installation puts it, "<prefix>/share/zebreader/" for a program
  // in "<prefix>/bin/". When neither holds it, the one beside the executable,
  // which the missing-help message then names. programDir ends with "/".
  static std::string HelpFile(const std::string& programDir);

  // The folder text ending with "/", as folder texts here do.
  static std::string WithSlash(std::string folder);

  // Creates the folder of a file (and its parents) when missing.
  static void MakeFolderFor(const std::string& file);
};
