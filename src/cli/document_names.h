// DocumentNames: the one check that keeps apart the documents a batch writes
// into its folder (`zerova --outdir DIR`), whatever folders their FILEs come
// from and whatever their sheets are named.
//
// A name is claimed just before its document is written, and given back when
// the document was not written, so the check sees the names the batch actually
// writes. Each claimed name is a valid file name on this platform, within the
// longest name its file systems take, and differs from every name claimed
// before: where two documents would take one name, the later gets "-2", "-3",
// ... before ".xml". Names are compared with their case folded
// (services/case_folding.h) on every platform, so a batch gives the same names
// on Linux as on Windows and its folder may be copied to a disk that ignores
// case without losing a document.
#ifndef ZEROVA_CLI_DOCUMENT_NAMES_H_
#define ZEROVA_CLI_DOCUMENT_NAMES_H_

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "services/paths.h"

namespace zerova {

// What a file name must be here.
struct FileNameRule {
  bool (*valid)(std::string_view name) = IsValidFileName;
  // The longest file name, in bytes: 255, as ext4, XFS and Btrfs take it; NTFS
  // takes 255 UTF-16 units, never fewer than the name's bytes.
  std::size_t most_bytes = 255;
};

class DocumentNames {
 public:
  explicit DocumentNames(FileNameRule rule = {}) : rule_(rule) {}

  struct Claim {
    std::string name;      // NAME.xml, to write in the batch's folder
    std::string taken;     // "" unless renamed: the name wanted, which another document holds
    std::string taken_by;  // the source of the document that holds it
  };

  // Claims a name for the document of `source` (as notes name it: "a/x.xls",
  // "sheet "Q1" of a/x.xls"), wanted as `stem` + ".xml". Each character the
  // rule refuses in a name becomes '_'; the stem is cut, at a character's
  // end, so that the name with its "-N" and ".xml" fits `most_bytes`; a name
  // still refused (a device's name on Windows, "CON.xml") gets '_' after its
  // first part ("CON_.xml"). REQUIRES: stem is not empty.
  Claim Take(std::string_view stem, std::string source);

  // Gives back `name`, claimed by Take, whose document was not written.
  void GiveBack(const std::string& name);

 private:
  struct Holder {
    std::string name;
    std::string source;
  };

  // `stem` with each character the rule refuses as '_'.
  std::string Allowed(std::string_view stem) const;
  // The `attempt`th name for `stem` (1: no "-N").
  std::string Candidate(const std::string& stem, int attempt) const;

  FileNameRule rule_;
  std::map<std::u32string, Holder> taken_;  // by the name's folded case
};

}  // namespace zerova

#endif  // ZEROVA_CLI_DOCUMENT_NAMES_H_
