#include "window/qt/form2_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include "window/qt/accessible_window.h"
#include "window/qt/message_box.h"

namespace zerova {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string PathOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The local path of each item a drag brings; "" for one that is no local file.
std::vector<std::string> DraggedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  for (const QUrl& url : data != nullptr ? data->urls() : QList<QUrl>())
    files.push_back(url.isLocalFile() ? PathOf(url.toLocalFile()) : std::string());
  return files;
}

// Accepts the drag as a copy, whatever the source proposes (often a move, which
// would have it remove the file once dropped); false when it offers no copy.
bool TakeAsCopy(QDropEvent& event) {
  if (!(event.possibleActions() & Qt::CopyAction)) return false;
  event.setDropAction(Qt::CopyAction);
  event.accept();
  return true;
}

}  // namespace

Form2Window::Form2Window(Form2Platform platform, QWidget* parent)
    : QWidget(parent), platform_(std::move(platform)) {
  if (!platform_.open_dialog) platform_.open_dialog = NewQtOpenDialog();
  if (!platform_.password_prompt) platform_.password_prompt = NewPasswordDialog();
  if (!platform_.end_program)
    platform_.end_program = [](int status) { QCoreApplication::exit(status); };

  DescribeForm2AsWindow();
  CreateControls();
  setAcceptDrops(true);
  form_ = std::make_unique<Form2>(
      static_cast<Form2View&>(*this),
      Form2Services{std::move(platform_.spreadsheets), std::move(platform_.file_system)});
}

Form2Window::~Form2Window() { form_.reset(); }

void Form2Window::OpenFile(const QString& path) { form_->OpenFile(PathOf(path)); }

QString Form2Window::SourcePath() const {
  return QFile::decodeName(QByteArray::fromStdString(form_->SourcePath));
}

QWidget* Form2Window::Widget(Control control) const {
  return widgets_[static_cast<std::size_t>(control)];
}

void Form2Window::SetEnabled(Control control, bool enabled) {
  Widget(control)->setEnabled(enabled);
}

void Form2Window::SetVisible(Control control, bool visible) {
  Widget(control)->setVisible(visible);
}

void Form2Window::PaintNow(Control control) { Widget(control)->repaint(); }

void Form2Window::SetFocus(Control control) { Widget(control)->setFocus(); }

void Form2Window::SetToolTip(Control control, const std::string& text) {
  Widget(control)->setToolTip(Text(text));
}

void Form2Window::SetTitle(const std::string& title) { setWindowTitle(Text(title)); }

void Form2Window::SetProgress(int value) { ProgressBar1->setValue(value); }

void Form2Window::ShowMessage(const Message& message) { ShowMessageBox(this, message); }

bool Form2Window::AskYesNo(const Message& question) { return AskInMessageBox(this, question); }

// The typed text is wiped once it is copied out.
std::optional<SecretBytes> Form2Window::AskPassword(const PasswordQuestion& question) {
  std::optional<QString> typed = platform_.password_prompt->Ask(this, question);
  if (!typed) return std::nullopt;
  QByteArray utf8 = typed->toUtf8();
  SecretBytes password(utf8.begin(), utf8.end());
  utf8.fill('\0');
  typed->fill(QChar(0));
  return password;
}

std::string Form2Window::ShowOpen(const std::string& filter) {
  return PathOf(platform_.open_dialog->Choose(this, NameFiltersFromFilter(Text(filter))));
}

void Form2Window::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void Form2Window::EndProgram(int status) { platform_.end_program(status); }

bool Form2Window::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      if (!key->isAutoRepeat() && button->isEnabled()) button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void Form2Window::closeEvent(QCloseEvent* event) {
  if (!form_->CloseRequested()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void Form2Window::dragEnterEvent(QDragEnterEvent* event) {
  if (!form_->TakesDrop(DraggedFiles(event->mimeData())) || !TakeAsCopy(*event)) event->ignore();
}

// (Qt delivers no drop that the drag's entry refused.)
void Form2Window::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DraggedFiles(event->mimeData());
  if (!form_->TakesDrop(files) || !TakeAsCopy(*event)) {
    event->ignore();
    return;
  }
  form_->Drop(files);
}

}  // namespace zerova
