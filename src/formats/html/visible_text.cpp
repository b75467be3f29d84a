#include "formats/html/visible_text.h"

namespace zerova {
namespace {

bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

}  // namespace

void VisibleText::Flush() {
  const bool line_start = text_.empty() || text_.back() == '\n' || text_.back() == '\t';
  if (new_line_ && !text_.empty() && text_.back() != '\n') {
    text_.push_back('\n');
  } else if (space_ && !line_start) {
    text_.push_back(' ');
  }
  space_ = new_line_ = ends_in_br_ = false;
}

void VisibleText::Append(std::string_view text, bool preformatted) {
  for (char c : text) {
    if (preformatted) {
      if (c == '\r') continue;  // the parser has made CR LF one LF already
      Flush();
      text_.push_back(c);
      continue;
    }
    if (IsHtmlSpace(c)) {
      space_ = true;
      continue;
    }
    Flush();
    text_.push_back(c);
  }
}

void VisibleText::LineBreak() {
  // Spaces before the break are dropped; one pending block line break is kept.
  if (new_line_ && !text_.empty() && text_.back() != '\n') text_.push_back('\n');
  space_ = new_line_ = false;
  text_.push_back('\n');
  ends_in_br_ = true;
}

void VisibleText::BlockBoundary() { new_line_ = true; }

void VisibleText::CellSeparator() {
  space_ = new_line_ = ends_in_br_ = false;
  text_.push_back('\t');
}

std::string VisibleText::Take() {
  if (ends_in_br_) text_.pop_back();
  std::string text = std::move(text_);
  text_.clear();
  space_ = new_line_ = ends_in_br_ = false;
  return text;
}

}  // namespace zerova
