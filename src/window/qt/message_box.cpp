#include "window/qt/message_box.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>

namespace zerova {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

// Widens `box` to show `informative` on one line, up to 800 pixels.
void FitInformativeText(QMessageBox& box, const QString& informative) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr || informative.isEmpty()) return;
  const int width = std::min(800, box.fontMetrics().horizontalAdvance(informative) + 40);
  grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// Sets what `message` shows under its first line.
void Fill(QMessageBox& box, const Message& message) {
  if (!message.informative.empty()) box.setInformativeText(Text(message.informative));
  if (!message.details.empty()) box.setDetailedText(Text(message.details));
  if (message.informative_on_one_line) FitInformativeText(box, Text(message.informative));
}

}  // namespace

void ShowMessageBox(QWidget* parent, const Message& message) {
  QMessageBox box(IconOf(message.icon), Text(message.title), Text(message.text), QMessageBox::Ok,
                  parent);
  Fill(box, message);
  box.exec();
}

bool AskInMessageBox(QWidget* parent, const Message& question) {
  QMessageBox box(IconOf(question.icon), Text(question.title), Text(question.text),
                  QMessageBox::Yes | QMessageBox::No, parent);
  Fill(box, question);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace zerova
