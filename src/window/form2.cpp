#include "window/form2.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstdio>

#include "conversion/conversion_run.h"
#include "conversion/failure_message.h"
#include "conversion/stop_texts.h"
#include "formats/registry.h"
#include "services/error.h"
#include "services/workbook_file.h"
#include "window/accessible_window.h"
#include "window/marshalled_hooks.h"
#include "window/message_boxes.h"

namespace zerova {
namespace {

// The part of the progress bar's range that reading the workbook fills; the
// lines written fill the rest.
constexpr int kReadingShare = 200;

// What the window adds to a failure: it asks for passwords itself, and
// converts the active sheet alone.
constexpr FailureHints kHints = {"", "",
                                 "; save the workbook with a worksheet active to convert it here"};

// The one local file, not a folder, that a drag brings; empty text for anything else.
QString DraggedFile(const QMimeData* data) {
  const QList<QUrl> urls = data != nullptr ? data->urls() : QList<QUrl>();
  if (urls.size() != 1 || !urls.first().isLocalFile()) return QString();
  const QString path = urls.first().toLocalFile();
  return QFileInfo(path).isFile() ? path : QString();
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

Form2::Form2(Form2Platform platform, QWidget* parent)
    : QWidget(parent), cd1(this, std::move(platform.open_dialog)), platform_(std::move(platform)) {
  if (!platform_.password_prompt) platform_.password_prompt = NewPasswordDialog();
  passwords_ = std::make_unique<WindowPasswords>(this, std::move(platform_.password_prompt));
  if (!platform_.spreadsheets) platform_.spreadsheets = NewSpreadsheetService(passwords_.get());
  if (!platform_.file_system) platform_.file_system = NewLocalFileSystem();
  if (!platform_.end_program)
    platform_.end_program = [](int status) { QCoreApplication::exit(status); };

  DescribeForm2AsWindow();
  CreateControls();
  setAcceptDrops(true);
  connect(Command1, &QPushButton::clicked, this, [this] { Guarded([this] { Command1_Click(); }); });
  connect(Command2, &QPushButton::clicked, this, [this] { Guarded([this] { Command2_Click(); }); });
  connect(Command3, &QPushButton::clicked, this, [this] { Guarded([this] { Command3_Click(); }); });
  Form_Load();
}

// A run still under way is stopped after its line, and waited for.
Form2::~Form2() {
  if (hooks_) hooks_->Close();
  if (worker_) worker_->wait();
}

void Form2::Form_Load() {
  Command1->setEnabled(false);
  Label3->setVisible(false);
  ProgressBar1->setVisible(false);
}

// Select: ask for the file once; a cancel is a choice of nothing.
void Form2::Command2_Click() {
  // Excel files first and chosen, then every workbook Zerova reads, then any file.
  cd1.Filter = QString::fromStdString(FileDialogFilter());
  cd1.ShowOpen();
  ShowChosen(cd1.FileName);
}

void Form2::ShowChosen(const QString& path) {
  SourcePath = path;
  Command2->setEnabled(false);
  Command1->setEnabled(true);
  Command1->setFocus();
  if (path.isEmpty()) return;
  const QFileInfo file(path);
  setWindowTitle(QStringLiteral("%1 \u2013 Zerova").arg(file.fileName()));
  Label2->setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

bool Form2::Choosing() const { return SourcePath.isEmpty() && !converting_ && !ended_; }

// The file is opened and closed again, as the run will open it, to show at once
// why it cannot be read.
void Form2::OpenFile(const QString& path) {
  if (!Choosing()) return;
  try {
    WorkbookFile readable(QFile::encodeName(path).toStdString());
  } catch (...) {
    ReportFailure(std::current_exception(), path);
    return;
  }
  ShowChosen(path);
}

void Form2::dragEnterEvent(QDragEnterEvent* event) {
  if (!Choosing() || DraggedFile(event->mimeData()).isEmpty() || !TakeAsCopy(*event))
    event->ignore();
}

// Opened once the drop is over, so that a failure box does not hold up the
// program the file was dragged from. (Qt delivers no drop that the drag's
// entry refused.)
void Form2::dropEvent(QDropEvent* event) {
  const QString path = DraggedFile(event->mimeData());
  if (path.isEmpty() || !TakeAsCopy(*event)) {
    event->ignore();
    return;
  }
  QMetaObject::invokeMethod(
      this, [this, path] { OpenFile(path); }, Qt::QueuedConnection);
}

// Convert: the conversion run, on a worker thread; the run ends the program.
// A second click that comes before the run has disabled the button is ignored.
void Form2::Command1_Click() {
  if (converting_) return;
  hooks_ = std::make_unique<MarshalledHooks>(static_cast<RunHooks&>(*this));
  run_ = std::make_unique<ConversionRun>(*platform_.spreadsheets, *platform_.file_system, *hooks_);
  const std::string source_path = QFile::encodeName(SourcePath).toStdString();
  converting_ = true;
  worker_.reset(QThread::create([this, source_path] { RunConversion(source_path); }));
  worker_->start();
}

void Form2::RunConversion(const std::string& source_path) {
  try {
    run_->Run(source_path);
  } catch (...) {
    hooks_->Post([this, failure = std::current_exception()] {
      Guarded([failure] { std::rethrow_exception(failure); });
    });
  }
}

// Exit: at once, or, during a conversion, once the user agrees to stop it.
void Form2::Command3_Click() {
  if (converting_) {
    AskToStop();
    return;
  }
  End(0);
}

void Form2::AskToStop() {
  if (asking_) return;
  asking_ = true;
  hooks_->AskingToStop();
  const bool stop = AskToStopConversion(this, !writing_);
  asking_ = false;
  hooks_->Answer(stop);
}

void Form2::Guarded(const std::function<void()>& handler) {
  if (ended_) return;
  try {
    handler();
  } catch (...) {
    // Cancelling the password question ends the run with a refusal of the
    // workbook; the user chose it, so it is noted, not shown as an error.
    if (passwords_->declined()) {
      std::fprintf(stderr, "zerova: %s: %s\n",
                   PrintableText(QFile::encodeName(SourcePath).toStdString()).c_str(),
                   kNoPasswordGiven);
    } else {
      ReportFailure(std::current_exception(), SourcePath);
    }
    End(1);
  }
}

// Also on stderr, for whoever started the window from a terminal.
void Form2::ReportFailure(const std::exception_ptr& failure, const QString& path) {
  const std::string source = QFile::encodeName(path).toStdString();
  const FailureMessage message = DescribeFailure(failure, source, kHints);
  std::fprintf(stderr, "zerova: %s\n", message.line.c_str());
  ShowFailure(this, message, source);
}

void Form2::End(int status) {
  ended_ = true;
  platform_.end_program(status);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
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

void Form2::closeEvent(QCloseEvent* event) {
  if (converting_ && !ended_) {
    event->ignore();
    AskToStop();
    return;
  }
  QWidget::closeEvent(event);
}

// Convert disabled, so no second run can start, and the progress line shown,
// both painted now, before the run goes on to read the workbook.
void Form2::RunStarted() {
  Command1->setEnabled(false);
  Command1->repaint();
  Label3->setVisible(true);
  Label3->repaint();
  ProgressBar1->setValue(0);
  ProgressBar1->setVisible(true);
}

// Writing fills the rest of the bar, by the lines written.
void Form2::ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) {
  writing_ = true;
  const std::int64_t rest = ProgressBar1->maximum() - kReadingShare;
  ProgressBar1->setValue(kReadingShare + static_cast<int>(lines_written * rest / lines_total));
}

// The document's full path under the message, so the user knows where it went.
// The run waits on its thread meanwhile, so its path may be read here.
void Form2::ShowCompletion(const std::string& message, const std::vector<std::string>& notes) {
  QString details =
      QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(run_->document_path())));
  for (const std::string& note : notes) {
    details += QStringLiteral("\n\n") + AsSentence(QString::fromStdString(note));
  }
  ShowDone(this, QString::fromStdString(message), details);
}

// Reading fills the first part of the bar, by the input consumed.
void Form2::ShowInputRead(std::uint64_t done, std::uint64_t total) {
  const std::uint64_t part =
      std::min(done, total) * static_cast<std::uint64_t>(kReadingShare) / total;
  ProgressBar1->setValue(static_cast<int>(part));
}

// The completion box has been seen: the program ends.
void Form2::RunFinished() { End(0); }

}  // namespace zerova
