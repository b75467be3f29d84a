// A test's folder of its own under the temporary folder, emptied when made and
// removed with what it holds when it goes. Its name is the test's choice, the
// same in a death test's child, which runs the test's body again.
#ifndef ZEROVA_TESTS_PLATFORM_WINDOWS_SCRATCH_FOLDER_H_
#define ZEROVA_TESTS_PLATFORM_WINDOWS_SCRATCH_FOLDER_H_

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace zerova::test {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : folder_(std::filesystem::temp_directory_path() / ("zerova-" + name)) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // The path of the file `name` (ASCII) in the folder, or of the folder
  // itself, in UTF-8.
  std::string Path(const std::string& name = "") const {
    const std::u8string path = (name.empty() ? folder_ : folder_ / name).u8string();
    return std::string(path.begin(), path.end());
  }

  // Writes `contents` into the file `name` in the folder; returns its path.
  std::string Write(const std::string& name, const std::string& contents) const {
    std::ofstream(folder_ / name, std::ios::binary) << contents;
    return Path(name);
  }

  bool Empty() const { return std::filesystem::is_empty(folder_); }

 private:
  std::filesystem::path folder_;
};

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_PLATFORM_WINDOWS_SCRATCH_FOLDER_H_
