#include "formats/xlsx/shared_strings.h"

#include "formats/xlsx/package.h"
#include "formats/xlsx/string_item.h"
#include "formats/xml/member_parse.h"

namespace zerova {
namespace {

// The <si> children of the root, each one string of the table.
class SharedStringsHandler final : public SaxHandler {
 public:
  void Prepare(const SaxNames& names) override {
    si_ = names.Find("si");
    main_ = names.Find(kXlsxNamespace);
    strict_ = names.Find(kXlsxStrictNamespace);
  }

  void StartElement(const SaxElement& element) override {
    if (in_item_) {
      item_.StartElement(element.local_name(), element.depth());
    } else if (element.depth() == 1 && element.name() == si_ &&
               (element.ns() == main_ || element.ns() == strict_)) {
      in_item_ = true;
      item_.Start();
    }
  }

  void EndElement(int depth) override {
    if (!in_item_) return;
    if (depth == 1) {
      strings_.Add(item_.Finish());
      in_item_ = false;
    } else {
      item_.EndElement(depth);
    }
  }

  void Text(std::string_view text) override {
    if (in_item_) item_.Text(text);
  }

  StringTable& strings() { return strings_; }

 private:
  SaxName si_, main_, strict_;  // as the parse holds them
  StringTable strings_;
  XlsxStringItem item_;
  bool in_item_ = false;
};

}  // namespace

StringTable ReadXlsxSharedStrings(ZipArchive& zip, const std::string& part) {
  SharedStringsHandler handler;
  ParseXmlMember(zip, part, handler);
  return std::move(handler.strings());
}

}  // namespace zerova
