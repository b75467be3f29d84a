#include "window/qt/password_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

namespace zerova {
namespace {

class PasswordDialog final : public PasswordPrompt {
 public:
  std::optional<QString> Ask(QWidget* parent, const PasswordQuestion& asked) override {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(asked.title));
    auto* question = new QLabel(&dialog);
    question->setObjectName(QStringLiteral("question"));
    question->setWordWrap(true);
    question->setText(QString::fromStdString(asked.text));
    auto* entry = new QLineEdit(&dialog);
    entry->setObjectName(QStringLiteral("password"));
    entry->setEchoMode(QLineEdit::Password);
    entry->setAccessibleName(QString::fromStdString(asked.entry_name));
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

}  // namespace zerova
