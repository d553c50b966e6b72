// The folders are layers, and includes run one way: from a folder to
// itself or to a lower layer, never sideways or up. Outside the Win32
// framework only *_win files may see Windows headers, and no portable file
// includes a *_win header.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int>& Layers() {
  static const std::map<std::string, int> layers{
      {"base", 0},      {"framework", 1},       {"controls", 2}, {"pictures", 2},
      {"slideshow", 3}, {"settings_dialog", 3}, {"program", 4},  {"installer", 4},
  };
  return layers;
}

// The resources' identifiers serve every layer that talks to Windows.
constexpr int kLowestLayerWithResources = 1;

bool IsWindowsHeader(const std::string& header) {
  static const std::set<std::string> headers{"windows.h", "windowsx.h", "wincodec.h", "commctrl.h",
                                             "objbase.h", "propidl.h",  "shellapi.h", "psapi.h"};
  return headers.count(header) != 0;
}

bool IsWin32File(const fs::path& file) { return file.stem().string().ends_with("_win"); }

// What an include line names, with its opening '"' or '<'; nothing for any other line.
std::optional<std::pair<char, std::string>> Included(std::string line) {
  std::erase_if(line, [](char c) { return c == ' ' || c == '\t'; });  // no blanks in our paths
  const char opening = line.starts_with("#include") && line.size() > 8 ? line[8] : '\0';
  const std::size_t end = line.find(opening == '<' ? '>' : '"', 9);
  if ((opening != '"' && opening != '<') || end == std::string::npos) return std::nullopt;
  return std::pair{opening, line.substr(9, end - 9)};
}

// Every include that breaks the rules, as "file: include".
std::vector<std::string> IncludeViolations(const fs::path& root) {
  std::vector<std::string> found;
  for (const auto& [folder, rank] : Layers()) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      const fs::path& file = entry.path();
      if (file.extension() != ".h" && file.extension() != ".cpp") continue;
      const std::string name = folder + "/" + file.filename().string();
      const bool portable = folder != "framework" && !IsWin32File(file);
      std::ifstream in(file);
      for (std::string line; std::getline(in, line);) {
        const auto included = Included(line);
        if (!included) continue;
        const auto& [opening, path] = *included;
        const std::size_t slash = path.find('/');
        if (opening == '"' && slash != std::string::npos && slash > 0) {
          const std::string target = path.substr(0, slash);
          const std::string header = path.substr(slash + 1);
          const auto layer = Layers().find(target);
          const bool allowed = target == folder || (layer != Layers().end() && layer->second < rank) ||
                               (target == "assets" && rank >= kLowestLayerWithResources && !portable);
          const bool portableSeesWin32 =
              portable && (target == "framework" || fs::path(header).stem().string().ends_with("_win"));
          if (!allowed || portableSeesWin32) found.push_back(name + ": " + target + "/" + header);
        } else if (opening == '<' && portable && IsWindowsHeader(path)) {
          found.push_back(name + ": <" + path + ">");
        }
      }
    }
  }
  return found;
}

TEST(Layers, EveryIncludeRunsDownward) {
  const fs::path root = SALVANTO_SOURCE_DIR;
  for (const auto& [folder, rank] : Layers()) ASSERT_TRUE(fs::is_directory(root / folder)) << folder;
  EXPECT_EQ(IncludeViolations(root), std::vector<std::string>{});
}

TEST(Layers, WrongWayIncludesAreFound) {
  const fs::path root =
      fs::temp_directory_path() / ("layers_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::remove_all(root);
  const auto write = [&](const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  write("base/ok.h", "#include <string>\n#include \"base/other.h\"\n");
  write("base/up.cpp", "#include \"slideshow/layout.h\"\n");
  write("base/windows.cpp", "#include <windows.h>\n");
  write("controls/sideways_win.cpp", "#include \"pictures/picture_win.h\"\n#include \"framework/window.h\"\n");
  write("slideshow/form1_win.cpp", "#include \"settings_dialog/delay.h\"\n#include \"assets/resource.h\"\n");
  write("slideshow/captions.cpp", "#include \"pictures/listing_win.h\"\n#include \"assets/resource.h\"\n");
  write("program/main_win.cpp", "#include \"slideshow/form1_win.h\"\n#include \"settings_dialog/settings_win.h\"\n");
  const std::vector<std::string> expected{
      "base/up.cpp: slideshow/layout.h",
      "base/windows.cpp: <windows.h>",
      "controls/sideways_win.cpp: pictures/picture_win.h",
      "slideshow/captions.cpp: pictures/listing_win.h",
      "slideshow/captions.cpp: assets/resource.h",
      "slideshow/form1_win.cpp: settings_dialog/delay.h",
  };
  std::vector<std::string> found = IncludeViolations(root);
  fs::remove_all(root);
  std::sort(found.begin(), found.end());
  std::vector<std::string> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(found, sorted);
}

}  // namespace
