// Text in SpreadsheetML: string items and the _xHHHH_ escapes.
//
// A string item (<si> in the shared strings, or a cell's <is>) is either one <t>
// or a list of rich text runs <r><t>..</t></r>; its text is the runs' text
// joined. Phonetic runs (<rPh>), phonetic properties and run properties are left
// out. Element names are matched whatever their namespace.
#ifndef ZEROVA_FORMATS_XLSX_STRING_ITEM_H_
#define ZEROVA_FORMATS_XLSX_STRING_ITEM_H_

#include <string>
#include <string_view>

namespace zerova {

// Replaces each escape "_xHHHH_" (a UTF-16 code unit, hex in either case) in
// `text` with the character it stands for, as UTF-8; a surrogate pair written as
// two escapes becomes one character, a lone surrogate U+FFFD.
void DecodeXlsxEscapes(std::string& text);

// Collects the text of one string item from the parser's events inside it.
// Reused from item to item.
class XlsxStringItem {
 public:
  // A new item starts (its <si> or <is>).
  void Start();
  // An element inside the item starts or ends, at `depth` in the document.
  void StartElement(std::string_view local_name, int depth);
  void EndElement(int depth);
  // Text inside the item.
  void Text(std::string_view text) {
    if (text_depth_ >= 0) text_.append(text);
  }
  // The item has ended: its text, escapes decoded. Valid until the next Start.
  std::string& Finish();

 private:
  std::string text_;
  int text_depth_ = -1;  // of the <t> whose text is being kept, else -1
  int skip_depth_ = -1;  // of the element whose content is left out, else -1
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_STRING_ITEM_H_
