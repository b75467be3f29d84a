// CommonDialog: `cd1`, the window's file-open dialog.
//
// It keeps the three members the window uses: write `Filter`, call `ShowOpen`,
// read `FileName`. The dialog itself is the view's (Form2View::ShowOpen).
#ifndef ZEROVA_WINDOW_COMMON_DIALOG_H_
#define ZEROVA_WINDOW_COMMON_DIALOG_H_

#include <string>

#include "window/form2_view.h"

namespace zerova {

class CommonDialog {
 public:
  // `view` must outlive this object.
  explicit CommonDialog(Form2View& view) : view_(view) {}
  CommonDialog(const CommonDialog&) = delete;
  CommonDialog& operator=(const CommonDialog&) = delete;

  // Shows the modal file-open dialog with the types of `Filter` and returns when
  // the user closes it, by a choice or by a cancel. Sets `FileName` to the chosen
  // file's full path, or to empty text after a cancel.
  void ShowOpen() { FileName = view_.ShowOpen(Filter); }

  // The file types offered, "Description|pattern|...".
  std::string Filter;

  // The full path of the chosen file; empty until a file is chosen.
  std::string FileName;

 private:
  Form2View& view_;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_COMMON_DIALOG_H_
