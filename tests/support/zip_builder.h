// ZipBuilder: builds a small zip in memory for tests of the .xlsx and .ods readers.
#ifndef ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
#define ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zerova::testing {

class ZipBuilder {
 public:
  // Adds the member `path` ("xl/workbook.xml"; folders are made as needed) holding
  // `contents`, deflated unless `stored`. Members are written in the order added.
  ZipBuilder& Add(std::string path, std::string contents, bool stored = false);

  // Drops the member `path` added before, if any.
  ZipBuilder& Remove(const std::string& path);

  // The zip file's bytes.
  std::vector<std::uint8_t> Bytes() const;

 private:
  struct Member {
    std::string path;
    std::string contents;
    bool stored;
  };
  std::vector<Member> members_;
};

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
