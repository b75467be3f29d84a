// VisibleText: the text of an HTML table cell as a browser shows it.
//
// Outside preformatted text, each run of white space (space, TAB, LF, CR, FF)
// becomes one space, and spaces at the start and end of a line are dropped. <br>
// ends a line; a block (a paragraph, a list item, a nested table's row) starts
// on a new line unless it is the first thing shown. A <br> that ends the cell
// draws no further line, so it adds nothing. A no-break space (U+00A0) is not
// white space and stays.
#ifndef ZEROVA_FORMATS_HTML_VISIBLE_TEXT_H_
#define ZEROVA_FORMATS_HTML_VISIBLE_TEXT_H_

#include <string>
#include <string_view>

namespace zerova {

class VisibleText {
 public:
  // Adds text as written in the document (UTF-8); `preformatted` keeps its white
  // space as it is (inside <pre>).
  void Append(std::string_view text, bool preformatted);

  // <br>: ends the line.
  void LineBreak();

  // The start or end of a block: what follows starts on a new line, if anything
  // has been shown before it.
  void BlockBoundary();

  // TAB between two cells of a nested table's row.
  void CellSeparator();

  // The text so far; the builder starts again empty.
  std::string Take();

  bool empty() const { return text_.empty(); }

 private:
  // Puts out the space or line break pending before the next visible character.
  void Flush();

  std::string text_;
  bool space_ = false;       // white space seen since the last visible character
  bool new_line_ = false;    // a block boundary since the last visible character
  bool ends_in_br_ = false;  // the last thing added was a <br>
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_HTML_VISIBLE_TEXT_H_
