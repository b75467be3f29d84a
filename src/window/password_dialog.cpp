#include "window/password_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>

namespace zerova {
namespace {

class PasswordDialog final : public PasswordPrompt {
 public:
  std::optional<QString> Ask(QWidget* parent, const QString& file_name,
                             bool previous_was_wrong) override {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromLatin1(kPasswordDialogTitle));
    auto* question = new QLabel(&dialog);
    question->setObjectName(QStringLiteral("question"));
    question->setWordWrap(true);
    QString text =
        QStringLiteral("The workbook \u201C%1\u201D is password-protected.").arg(file_name);
    text += previous_was_wrong ? QStringLiteral("\nThe password is wrong. Type it again:")
                               : QStringLiteral("\nType its password:");
    question->setText(text);
    auto* entry = new QLineEdit(&dialog);
    entry->setObjectName(QStringLiteral("password"));
    entry->setEchoMode(QLineEdit::Password);
    entry->setAccessibleName(QStringLiteral("Password"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addWidget(entry);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(360);
    entry->setFocus();

    const bool accepted = dialog.exec() == QDialog::Accepted;
    std::optional<QString> password;
    if (accepted) password = entry->text();
    entry->clear();
    return password;
  }
};

}  // namespace

std::unique_ptr<PasswordPrompt> NewPasswordDialog() { return std::make_unique<PasswordDialog>(); }

WindowPasswords::WindowPasswords(QWidget* window, std::unique_ptr<PasswordPrompt> prompt)
    : window_(window), prompt_(std::move(prompt)) {}

std::optional<SecretBytes> WindowPasswords::Password(const std::string& file,
                                                     bool previous_was_wrong) {
  if (QThread::currentThread() == window_->thread()) return AskHere(file, previous_was_wrong);
  std::optional<SecretBytes> answer;
  QMetaObject::invokeMethod(
      window_, [&] { answer = AskHere(file, previous_was_wrong); }, Qt::BlockingQueuedConnection);
  return answer;
}

std::optional<SecretBytes> WindowPasswords::AskHere(const std::string& file,
                                                    bool previous_was_wrong) {
  const QString name = QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).fileName();
  std::optional<QString> typed = prompt_->Ask(window_, name, previous_was_wrong);
  if (!typed) {
    declined_ = true;
    return std::nullopt;
  }
  QByteArray utf8 = typed->toUtf8();
  SecretBytes password(utf8.begin(), utf8.end());
  utf8.fill('\0');
  typed->fill(QChar(0));
  return password;
}

}  // namespace zerova
