#include "window/message_boxes.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>

#include "services/error.h"
#include "window/form2.h"

namespace zerova {
namespace {

QString DecodedPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

// Widens `box` to show `informative` on one line, up to 800 pixels.
void FitInformativeText(QMessageBox& box, const QString& informative) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr || informative.isEmpty()) return;
  const int width = std::min(800, box.fontMetrics().horizontalAdvance(informative) + 40);
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// The first line of a failure's box: what could not be done, and to which
// file. A stop names the spreadsheet, whichever file its message names.
QString Headline(const FailureMessage& failure, const std::string& source) {
  const bool at_source = failure.cancelled || failure.file.empty() || failure.file == source;
  const QString name = QFileInfo(DecodedPath(at_source ? source : failure.file)).fileName();
  if (name.isEmpty()) return QStringLiteral("Zerova could not convert the file.");
  const QString quoted = QStringLiteral("\u201C%1\u201D").arg(name);
  if (failure.cancelled) return QStringLiteral("Zerova stopped converting %1.").arg(quoted);
  if (at_source) return QStringLiteral("Zerova could not convert %1.").arg(quoted);
  return QStringLiteral("Zerova could not write %1.").arg(quoted);
}

}  // namespace

QString AsSentence(const QString& text) {
  QString sentence = text;
  if (sentence.isEmpty()) return sentence;
  sentence[0] = sentence[0].toUpper();
  if (!sentence.endsWith(QLatin1Char('.')) && !sentence.endsWith(QLatin1Char('!')) &&
      !sentence.endsWith(QLatin1Char('?')))
    sentence += QLatin1Char('.');
  return sentence;
}

void ShowDone(QWidget* parent, const QString& message, const QString& informative) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), message,
                  QMessageBox::Ok, parent);
  box.setInformativeText(informative);
  FitInformativeText(box, informative);
  box.exec();
}

void ShowFailure(QWidget* parent, const FailureMessage& failure, const std::string& source) {
  QMessageBox box(failure.cancelled ? QMessageBox::Information : QMessageBox::Critical,
                  QString::fromLatin1(kApplicationTitle), Headline(failure, source),
                  QMessageBox::Ok, parent);
  box.setInformativeText(AsSentence(QString::fromStdString(PrintableText(failure.detail))));
  const std::string& file = failure.file.empty() ? source : failure.file;
  if (!file.empty()) box.setDetailedText(QFileInfo(DecodedPath(file)).absoluteFilePath());
  box.exec();
}

bool AskToStopConversion(QWidget* parent, bool reading) {
  const QString what = reading ? QStringLiteral(
                                     "Stop the conversion? The workbook is still being read; "
                                     "nothing has been written yet.")
                               : QStringLiteral(
                                     "Stop the conversion? The incomplete document will be "
                                     "removed.");
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(kApplicationTitle), what,
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace zerova
