// Form2 on the offscreen platform: the conversion on its worker thread with its
// progress, the password asked for, and each way a run ends. The file
// dialog and the end of the program are stood in for; message boxes are the
// real ones, answered as a user would.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <optional>

#include "support/document.h"
#include "support/memory_file_system.h"
#include "ui/form2.h"

namespace zerova {
namespace {

// Answers the file dialog with a fixed path ("" is a cancel).
struct FakeOpenDialog final : OpenDialog {
  explicit FakeOpenDialog(QString a) : answer(std::move(a)) {}
  QString Choose(QWidget*, const QStringList&) override { return answer; }
  QString answer;
};

// One labelled column whose document has exactly 1000 lines.
struct ThousandLineSheet final : Worksheet {
  CellView Cell(std::int64_t row, std::int64_t column) const override {
    return column == 1 && row <= 997 ? text : empty;
  }
  CellValue text = CellValue::Text("x");
  CellValue empty;
};

struct ThousandLineService final : SpreadsheetService {
  std::unique_ptr<Workbook> Open(const SpreadsheetInput&, ReadProgress*) override {
    return std::make_unique<test::GivenWorkbook>(std::make_unique<ThousandLineSheet>());
  }
};

const std::unique_ptr<FileSystem> kLocalDisk = NewLocalFileSystem();

// The local disk, where each line waits for a permit the test hands out.
struct GatedFileSystem final : test::FileSystemWrapper {
  GatedFileSystem() : FileSystemWrapper(*kLocalDisk) {}
  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    permits->acquire();
    FileSystemWrapper::AppendLineToFile(path, line, locked);
    ++*lines_written;
  }
  std::shared_ptr<QSemaphore> permits = std::make_shared<QSemaphore>();
  std::shared_ptr<std::atomic<int>> lines_written = std::make_shared<std::atomic<int>>(0);
};

// Answers the password dialog from a list (nullopt: Cancel), noting each question
// as "NAME" or "NAME (wrong)", and whether it was asked on the GUI thread.
struct FakePasswordPrompt final : PasswordPrompt {
  FakePasswordPrompt(QList<std::optional<QString>> a, QStringList* q) : answers(a), questions(q) {}
  std::optional<QString> Ask(QWidget*, const QString& file_name, bool wrong) override {
    const bool gui = QThread::currentThread() == QCoreApplication::instance()->thread();
    questions->append(file_name + (wrong ? " (wrong)" : "") + (gui ? "" : " (off the GUI thread)"));
    return answers.isEmpty() ? std::nullopt : answers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  QStringList* questions;
};

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

  Form2& MakeForm(QString answer, std::unique_ptr<SpreadsheetService> spreadsheets = nullptr,
                  std::unique_ptr<FileSystem> file_system = nullptr, bool real_dialog = false,
                  QList<std::optional<QString>> passwords = {}) {
    dir_.emplace();
    QDir::setCurrent(dir_->path());
    end_status_.reset();
    boxes_.clear();
    questions_.clear();
    Form2Platform platform{real_dialog ? nullptr : std::make_unique<FakeOpenDialog>(answer),
                           std::move(spreadsheets), std::move(file_system),
                           [this](int status) { end_status_ = status; },
                           std::make_unique<FakePasswordPrompt>(passwords, &questions_)};
    form_ = std::make_unique<Form2>(std::move(platform));
    form_->show();
    if (!QTest::qWaitForWindowActive(form_.get())) qWarning("the window never became active");
    return *form_;
  }
  // Answers the next message box with `button` after calling `before`, noting its
  // title, text, informative text, whether it has no icon and one button, and
  // whether Convert was enabled and progress shown behind it.
  void AnswerNextMessageBox(QMessageBox::StandardButton button = QMessageBox::Ok,
                            std::function<void()> before = {}, int tries = 500) {
    QTimer::singleShot(10, this, [this, button, before, tries] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr && box->button(button) == nullptr) box = nullptr;  // not this one yet
      if (box == nullptr && tries > 0) AnswerNextMessageBox(button, before, tries - 1);
      if (box == nullptr) return;
      QStringList seen{box->windowTitle(), box->text(), box->informativeText()};
      for (bool b : {box->icon() == QMessageBox::NoIcon, box->buttons().size() == 1,
                     form_->Command1->isEnabled(), form_->Label3->isVisible()})
        seen << QString::number(b);
      boxes_.append(seen);
      if (before) before();
      box->button(button)->click();
    });
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::unique_ptr<Form2> form_;
  std::optional<int> end_status_;
  QList<QStringList> boxes_;
  std::shared_ptr<QSemaphore> permits_;  // the gated file system's, when there is one
  std::optional<QTemporaryDir> dir_;
  QStringList questions_;

 private slots:
  // A run left waiting on its file system is let go, so the window can end it.
  void cleanup() {
    if (permits_) permits_->release(1 << 20);
    permits_.reset();
    form_.reset();
  }

  // The real dialog offers Excel files first, chosen, then every workbook Zerova
  // reads, then any file.
  void TheDialogOffersExcelFilesFirst() {
    Form2& form = MakeForm("", nullptr, nullptr, true);
    QStringList filters;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      filters = dialog->nameFilters() << dialog->selectedNameFilter();
      dialog->reject();
    });
    poll.start(20);
    Click(form.Command2);
    // Last, the filter chosen: shown without its patterns.
    QCOMPARE(filters, (QStringList{"(Excel File) (*.xls)",
                                   "(All Workbooks) (*.xls *.xlsx *.xlsm *.xlsb *.ods *.fods *.xml "
                                   "*.htm *.html *.csv *.tsv)",
                                   "(All Files) (*)", "(Excel File)"}));
    QVERIFY(form.SourcePath.isEmpty());
  }

  // Convert with the real services: the document, the completion box with the
  // document's full path and status 0; or the error in a box, status 1 and no
  // document. A protected workbook's password is asked on the GUI thread by the
  // file's name, again after a wrong one; Cancel ends as any refusal does.
  void ConvertEnds_data() {
    using Answers = QList<std::optional<QString>>;
    QTest::addColumn<QString>("file");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("message");
    const QString ok = "XML created successfully", right = "pässwörd";
    const QString rc4 = ZEROVA_TEST_DATA "/encrypted-xls-rc4/input.xls";
    const QString refusal = rc4 + ": the workbook is password-protected and ";
    const QStringList once{"input.xls"}, twice{"input.xls", "input.xls (wrong)"};
    QTest::newRow("clear") << ZEROVA_TEST_DATA "/basic/input.xls" << Answers{} << QStringList{}
                           << ok;
    QTest::newRow("password") << rc4 << Answers{right} << once << ok;
    QTest::newRow("wrong, then right") << rc4 << Answers{QString("secret"), right} << twice << ok;
    QTest::newRow("cancel") << rc4 << Answers{std::nullopt} << once << refusal + "needs a password";
  }
  void ConvertEnds() {
    QFETCH(QString, file);
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QStringList, questions);
    QFETCH(QString, message);
    Form2& form = MakeForm(file, nullptr, nullptr, false, answers);
    Click(form.Command2);
    AnswerNextMessageBox();
    Click(form.Command1);
    QTRY_VERIFY(end_status_.has_value());
    const bool ok = message == "XML created successfully";
    const QString path = ok ? QDir(dir_->path()).absoluteFilePath("xmlstructure.xml") : "";
    QCOMPARE(boxes_,
             (QList<QStringList>{{"Dizuzize", message, path, ok ? "1" : "0", "1", "0", "1"}}));
    QCOMPARE(questions_, questions);
    QCOMPARE(end_status_, std::optional<int>(ok ? 0 : 1));
    QFile written("xmlstructure.xml"), expected(ZEROVA_TEST_DATA "/basic/expected.xml");
    QCOMPARE(written.exists(), ok);
    if (!ok) return;
    QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
  }

  // Mid-run the bar's last four fifths count thousandths of the document's lines
  // (its first fifth is the reading), Convert stays
  // disabled (a double click starts one run) and the progress line shown. Exit or
  // closing the window asks first. Yes: the run stops after the line it is on,
  // the document is removed, status 1. No: the run goes on to its end.
  void AsksBeforeStoppingAConversion_data() {
    QTest::addColumn<bool>("by_closing");
    QTest::addColumn<bool>("stop");
    QTest::newRow("Exit, yes") << false << true;
    QTest::newRow("Exit, no") << false << false;
    QTest::newRow("close, yes") << true << true;
    QTest::newRow("close, no") << true << false;
  }
  void AsksBeforeStoppingAConversion() {
    QFETCH(bool, by_closing);
    QFETCH(bool, stop);
    auto disk = std::make_unique<GatedFileSystem>();
    const auto permits = permits_ = disk->permits;
    const auto lines = disk->lines_written;
    Form2& form = MakeForm("/any.xls", std::make_unique<ThousandLineService>(), std::move(disk));
    Click(form.Command2);
    Click(form.Command1);
    Click(form.Command1);
    permits->release(100);
    QTRY_COMPARE(form.ProgressBar1->value(), 200 + 100 * 800 / 1000);
    QVERIFY(form.ProgressBar1->isVisible() && form.Label3->isVisible());
    QVERIFY(!form.Command1->isEnabled() && !end_status_);
    // While the question is open the run may finish its line, but goes no further.
    AnswerNextMessageBox(stop ? QMessageBox::Yes : QMessageBox::No, [&] {
      permits->release(1000);
      QTRY_COMPARE(lines->load(), 101);
      QTest::qWait(50);
      QCOMPARE(lines->load(), 101);
    });
    AnswerNextMessageBox(QMessageBox::Ok, {}, 1000);  // the completion, or what the stop did
    by_closing ? void(form.close()) : Click(form.Command3);
    QTRY_VERIFY(end_status_.has_value());
    QCOMPARE(boxes_.first().mid(0, 2),
             (QStringList{"Dizuzize", "Stop the conversion? The document will be incomplete."}));
    QCOMPARE(end_status_, std::optional<int>(stop ? 1 : 0));
    QCOMPARE(QFile::exists("xmlstructure.xml"), !stop);
    QCOMPARE(lines->load(), stop ? 101 : 1000);
    QCOMPARE(boxes_.size(), 2);
    if (stop)
      QVERIFY(boxes_.last().at(1).contains("cancelled; the incomplete document was removed"));
    else
      QCOMPARE(form.ProgressBar1->value(), 1000);
  }
};

}  // namespace zerova

QTEST_MAIN(zerova::Form2Test)
#include "form2_test.moc"
