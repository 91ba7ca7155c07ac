// Where the program's files live: everything in ZEBWIN_HOME when it is set,
// otherwise the user's config, cache and data places.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "settings/homefolder.h"
#include "settings/inifile.h"
#include "support/fixtures.h"

namespace fs = std::filesystem;

namespace {

// Saves the variables that decide the places and puts them back afterwards.
class HomeFolderTest : public ::testing::Test {
 protected:
  static constexpr const char* Names[] = {"ZEBWIN_HOME", "HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                          "XDG_DATA_HOME"};

  void SetUp() override {
    for (const char* name : Names) {
      const char* value = std::getenv(name);
      Saved.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
    Home = Dir.Path().string();
    setenv("HOME", Home.c_str(), 1);
  }
  void TearDown() override {
    for (std::size_t i = 0; i < Saved.size(); ++i) {
      if (Saved[i])
        setenv(Names[i], Saved[i]->c_str(), 1);
      else
        unsetenv(Names[i]);
    }
  }

  TTempDir Dir;
  std::string Home;
  std::vector<std::optional<std::string>> Saved;
};

TEST_F(HomeFolderTest, EverythingInZebwinHomeWhenSet) {
  const std::string folder = (Dir.Path() / "portable").string();
  for (const std::string& value : {folder, folder + "/"}) {
    SCOPED_TRACE(value);
    setenv("ZEBWIN_HOME", value.c_str(), 1);
    EXPECT_EQ(THomeFolder::SettingsFile(), folder + "/ZEBWIN.INI");
    EXPECT_EQ(THomeFolder::UpdateListFile(), folder + "/zebinet.dat");
    EXPECT_EQ(THomeFolder::CatalogCacheFile(), folder + "/zeblocal.dat");
    EXPECT_EQ(THomeFolder::DefaultHintFolder(), folder + "/hints/") << "hint files keep out of the settings folder";
  }
}

TEST_F(HomeFolderTest, UserPlacesWithoutZebwinHome) {
  EXPECT_EQ(THomeFolder::SettingsFile(), Home + "/.config/zebwin/ZEBWIN.INI");
  EXPECT_EQ(THomeFolder::UpdateListFile(), Home + "/.cache/zebwin/zebinet.dat");
  EXPECT_EQ(THomeFolder::CatalogCacheFile(), Home + "/.cache/zebwin/zeblocal.dat");
  EXPECT_EQ(THomeFolder::DefaultHintFolder(), Home + "/.local/share/zebwin/hints/");
}

TEST_F(HomeFolderTest, XdgVariablesMoveTheUserPlaces) {
  const std::string config = Home + "/cfg";
  const std::string cache = Home + "/cache";
  const std::string data = Home + "/data";
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("XDG_CACHE_HOME", cache.c_str(), 1);
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  EXPECT_EQ(THomeFolder::SettingsFile(), config + "/zebwin/ZEBWIN.INI");
  EXPECT_EQ(THomeFolder::UpdateListFile(), cache + "/zebwin/zebinet.dat");
  EXPECT_EQ(THomeFolder::CatalogCacheFile(), cache + "/zebwin/zeblocal.dat");
  EXPECT_EQ(THomeFolder::DefaultHintFolder(), data + "/zebwin/hints/");

  // ZEBWIN_HOME still wins over them.
  const std::string portable = Home + "/portable";
  setenv("ZEBWIN_HOME", portable.c_str(), 1);
  EXPECT_EQ(THomeFolder::SettingsFile(), portable + "/ZEBWIN.INI");
  EXPECT_EQ(THomeFolder::DefaultHintFolder(), portable + "/hints/");
}

TEST_F(HomeFolderTest, FirstSettingsWriteCreatesTheConfigFolder) {
  TIniFile ini(THomeFolder::SettingsFile());
  ASSERT_TRUE(ini.WriteIniString("ZEBWIN", "Counting", "On"));
  EXPECT_TRUE(fs::is_regular_file(Dir.Path() / ".config" / "zebwin" / "ZEBWIN.INI"));

  THomeFolder::MakeFolderFor(THomeFolder::CatalogCacheFile());
  EXPECT_TRUE(fs::is_directory(Dir.Path() / ".cache" / "zebwin"));
  EXPECT_FALSE(fs::exists(THomeFolder::CatalogCacheFile())) << "only the folder is made";
}

TEST(HelpFile, BesideTheProgramElseInTheInstalledPlace) {
  EXPECT_EQ(THomeFolder::HelpFile("/opt/zeb/"), "/opt/zeb/ZEBWIN.ZEB") << "neither exists: the one beside";
  EXPECT_EQ(THomeFolder::HelpFile("/opt/zeb"), "/opt/zeb/ZEBWIN.ZEB");

  TTempDir prefix;
  const fs::path bin = prefix.Path() / "bin";
  const fs::path share = prefix.Path() / "share" / "zebreader";
  fs::create_directories(bin);
  fs::create_directories(share);
  std::ofstream(share / "ZEBWIN.ZEB") << "ZEB\r\n";
  EXPECT_EQ(THomeFolder::HelpFile(bin.string() + "/"), (share / "ZEBWIN.ZEB").string());
  std::ofstream(bin / "ZEBWIN.ZEB") << "ZEB\r\n";
  EXPECT_EQ(THomeFolder::HelpFile(bin.string() + "/"), (bin / "ZEBWIN.ZEB").string()) << "beside the program first";
}

}  // namespace
