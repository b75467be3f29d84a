// OpenDialog: the Qt file dialog behind Form2Window's ShowOpen (cd1's dialog).
//
// It sits behind an interface so that tests can stand in for the user; the
// real one is Qt's own (non-native) QFileDialog.
#ifndef ZEROVA_WINDOW_QT_OPEN_DIALOG_H_
#define ZEROVA_WINDOW_QT_OPEN_DIALOG_H_

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
// with its patterns ("(Excel File) (*.xls)"), the first chosen, existing files only.
std::unique_ptr<OpenDialog> NewQtOpenDialog();

// Turns a filter in the "Description|pattern|Description|pattern" form into Qt's
// name filters, one per pair: "(Excel File)|*.xls" gives "(Excel File) (*.xls)".
// Patterns separated by ';' become space-separated. A description without a
// pattern is dropped.
QStringList NameFiltersFromFilter(const QString& filter);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_QT_OPEN_DIALOG_H_
