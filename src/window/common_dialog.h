// CommonDialog: `cd1`, the window's file-open dialog.
//
// It keeps the three members the window uses: write `Filter`, call `ShowOpen`,
// read `FileName`. The dialog itself sits behind OpenDialog, so tests can stand
// in for the user; the real one is Qt's own (non-native) QFileDialog.
#ifndef ZEROVA_WINDOW_COMMON_DIALOG_H_
#define ZEROVA_WINDOW_COMMON_DIALOG_H_

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace zerova {

// Asks the user for one existing file.
class OpenDialog {
 public:
  virtual ~OpenDialog() = default;

  // Shows a modal file-open dialog over `parent` offering the file types in
  // `name_filters` (Qt's form, "Description (*.a *.b)"), and returns the chosen
  // file's absolute path, or empty text when the user cancels.
  virtual QString Choose(QWidget* parent, const QStringList& name_filters) = 0;
};

// Qt's own file dialog, as the user sees it: only the given types, each shown
// with its patterns ("(Excel File) (*.xls)"), existing files only.
std::unique_ptr<OpenDialog> NewQtOpenDialog();

// Turns a filter in the "Description|pattern|Description|pattern" form into Qt's
// name filters, one per pair: "(Excel File)|*.xls" gives "(Excel File) (*.xls)".
// Patterns separated by ';' become space-separated. A description without a
// pattern is dropped.
QStringList NameFiltersFromFilter(const QString& filter);

class CommonDialog {
 public:
  // `dialog` null means the real one. `parent` is the window the dialog belongs to.
  explicit CommonDialog(QWidget* parent, std::unique_ptr<OpenDialog> dialog = nullptr);
  CommonDialog(const CommonDialog&) = delete;
  CommonDialog& operator=(const CommonDialog&) = delete;

  // Shows the modal file-open dialog with the types of `Filter` and returns when
  // the user closes it, by a choice or by a cancel. Sets `FileName` to the chosen
  // file's full path, or to empty text after a cancel.
  void ShowOpen();

  // The file types offered, "Description|pattern|...".
  QString Filter;

  // The full path of the chosen file; empty until a file is chosen.
  QString FileName;

 private:
  QWidget* parent_;
  std::unique_ptr<OpenDialog> dialog_;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_COMMON_DIALOG_H_
