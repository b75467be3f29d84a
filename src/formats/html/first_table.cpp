#include "formats/html/first_table.h"

#include <algorithm>
#include <array>

namespace zerova {
namespace {

// Elements whose content is not shown.
bool IsHidden(std::string_view name) {
  return name == "script" || name == "style" || name == "template" || name == "title" ||
         name == "head" || name == "noscript";
}

// Elements that start and end a block of text inside a cell.
bool IsBlock(std::string_view name) {
  static constexpr std::array<std::string_view, 24> kBlocks = {
      "p",  "div",     "ul",     "ol",      "li",      "dl",     "dt",     "dd",
      "h1", "h2",      "h3",     "h4",      "h5",      "h6",     "pre",    "blockquote",
      "hr", "address", "center", "section", "article", "header", "footer", "form"};
  return std::find(kBlocks.begin(), kBlocks.end(), name) != kBlocks.end();
}

}  // namespace

void FirstTable::Start(std::string_view name, std::string_view colspan, std::string_view rowspan) {
  if (done_) return;
  if (name == "table") {
    if (depth_ > 0 && in_cell_) text_.BlockBoundary();
    ++depth_;
    return;
  }
  if (depth_ == 0) return;
  if (IsHidden(name) || (depth_ == 1 && name == "caption")) ++hidden_;
  const bool cell = name == "td" || name == "th";
  if (depth_ == 1 && name == "tr") {
    layout_.StartRow();
    return;
  }
  if (depth_ == 1 && cell) {
    if (in_cell_) layout_.EndCell(text_.Take());  // a cell the parser left open
    layout_.StartCell(colspan, rowspan);
    in_cell_ = true;
    return;
  }
  if (!in_cell_ || hidden_ > 0) return;
  if (name == "br") {
    text_.LineBreak();
  } else if (name == "tr") {  // in a nested table
    text_.BlockBoundary();
    nested_row_started_ = false;
  } else if (cell) {
    if (nested_row_started_) text_.CellSeparator();
    nested_row_started_ = true;
  } else if (IsBlock(name)) {
    text_.BlockBoundary();
    if (name == "pre") ++preformatted_;
  }
}

void FirstTable::End(std::string_view name) {
  if (done_ || depth_ == 0) return;
  if (name == "table") {
    if (--depth_ == 0) {
      if (in_cell_) layout_.EndCell(text_.Take());
      in_cell_ = false;
      done_ = true;
    } else if (in_cell_) {
      text_.BlockBoundary();
    }
    return;
  }
  if ((IsHidden(name) || (depth_ == 1 && name == "caption")) && hidden_ > 0) {
    --hidden_;
    return;
  }
  if (depth_ == 1 && (name == "td" || name == "th")) {
    if (in_cell_) layout_.EndCell(text_.Take());
    in_cell_ = false;
    return;
  }
  if (depth_ == 1 && name == "tr") {
    if (in_cell_) layout_.EndCell(text_.Take());
    in_cell_ = false;
    layout_.EndRow();
    return;
  }
  if (!in_cell_ || hidden_ > 0) return;  // as at an element's start: hidden markup adds nothing
  if (IsBlock(name) || name == "tr") text_.BlockBoundary();
  if (name == "pre" && preformatted_ > 0) --preformatted_;
}

void FirstTable::Characters(std::string_view text) {
  if (in_cell_ && hidden_ == 0 && !done_) text_.Append(text, preformatted_ > 0);
}

std::unique_ptr<SheetStore> FirstTable::Finish() {
  if (in_cell_) layout_.EndCell(text_.Take());
  in_cell_ = false;
  return layout_.Finish();
}

}  // namespace zerova
