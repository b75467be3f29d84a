#include "window/qt/open_dialog.h"

#include <QFileDialog>

namespace zerova {
namespace {

class QtOpenDialog final : public OpenDialog {
 public:
  QString Choose(QWidget* parent, const QStringList& name_filters) override {
    QFileDialog dialog(parent);
    // Qt's own dialog looks the same on every desktop and takes a typed path.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(name_filters);
    if (!name_filters.isEmpty()) dialog.selectNameFilter(name_filters.first());
    dialog.setWindowTitle(QStringLiteral("Open"));
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
  }
};

}  // namespace

std::unique_ptr<OpenDialog> NewQtOpenDialog() { return std::make_unique<QtOpenDialog>(); }

QStringList NameFiltersFromFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList name_filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
      if (!pattern.trimmed().isEmpty()) patterns.append(pattern.trimmed());
    }
    name_filters.append(parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                        QLatin1Char(')'));
  }
  return name_filters;
}

}  // namespace zerova
