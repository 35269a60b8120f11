#pragma once
// A fresh program folder (with trailing '/') under the system temp dir, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "merrowin-app-XXXXXX");
        if (mkdtemp(pattern.data())) path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Writes `text` to a file below the folder, creating the folders on the way.
    void Write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path p = path_ + relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    }

  private:
    std::string path_;
};

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
