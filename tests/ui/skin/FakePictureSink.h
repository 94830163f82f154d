#pragma once
// A picture sink that "decodes" the files it was told about and records
// every request.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/skin/SkinTheme.h"

namespace evdo::test {

class FakePictureSink : public SkinPictureSink {
public:
  std::map<std::string, PictureSize> files;  // path -> size of a readable picture
  std::vector<std::pair<SkinPicture, std::string>> loads;
  int releases = 0;

  void ReleaseAll() override {
    ++releases;
    held.clear();
  }
  std::optional<PictureSize> Load(SkinPicture slot, const std::string& path) override {
    loads.emplace_back(slot, path);
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    held[slot] = path;
    return it->second;
  }
  std::vector<std::string> LoadedPaths() const {
    std::vector<std::string> paths;
    for (const auto& l : loads) paths.push_back(l.second);
    return paths;
  }
  std::map<SkinPicture, std::string> held;
};

}  // namespace evdo::test
