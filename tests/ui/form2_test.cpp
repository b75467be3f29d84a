// Form2 on the offscreen platform: its layout, its states, the conversion on its
// worker thread with its progress, and each way the program ends. The file
// dialog and the end of the program are stood in for; message boxes are the
// real ones, answered as a user would.
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <optional>

#include "support/memory_file_system.h"
#include "ui/form2.h"

namespace zerova {
namespace {

// Answers the file dialog with a fixed path ("" is a cancel), counting the times asked.
struct FakeOpenDialog final : OpenDialog {
  FakeOpenDialog(QString a, int* n) : answer(std::move(a)), asked(n) {}
  QString Choose(QWidget*, const QStringList&) override {
    ++*asked;
    return answer;
  }
  QString answer;
  int* asked;
};

// The real service, noting whether the widget it filters (the progress line) had
// been painted by the time the run opened the workbook.
struct WatchingService final : QObject, SpreadsheetService {
  std::unique_ptr<Worksheet> Open(const std::string& path) override {
    painted = paints > 0;
    return real->Open(path);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  int paints = 0;
  bool painted = false;
  std::unique_ptr<SpreadsheetService> real = NewSpreadsheetService();
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
  std::unique_ptr<Worksheet> Open(const std::string&) override {
    return std::make_unique<ThousandLineSheet>();
  }
};

FileSystem& LocalDisk() {
  static const std::unique_ptr<FileSystem> disk = NewLocalFileSystem();
  return *disk;
}

// The local disk, where each line waits for a permit the test hands out.
struct GatedFileSystem final : testing::FileSystemWrapper {
  GatedFileSystem() : FileSystemWrapper(LocalDisk()) {}
  void AppendLineToFile(const std::string& path, std::string_view line) override {
    permits->acquire();
    FileSystemWrapper::AppendLineToFile(path, line);
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
    dialogs_ = 0;
    end_status_.reset();
    boxes_.clear();
    questions_.clear();
    Form2Platform platform{
        real_dialog ? nullptr : std::make_unique<FakeOpenDialog>(answer, &dialogs_),
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
  int dialogs_ = 0;
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

  // Each control's place (15 twips to a pixel), caption, and font with the text
  // colour where it is not the system's button-text colour.
  void LooksAsLaidOut_data() {
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("looks");
    const QString bold = "Verdana 9.75 bold";
    QTest::newRow("Label2") << QRect(216, 16, 161, 25) << "Zerova"
                            << "Verdana 12 bold #c00000";
    QTest::newRow("Command2") << QRect(216, 48, 161, 25) << "Select Your Excel" << bold;
    QTest::newRow("Command1") << QRect(216, 80, 161, 25) << "Convert to XML" << bold;
    QTest::newRow("Command3") << QRect(216, 112, 161, 25) << "Exit" << bold;
    QTest::newRow("Label4") << QRect(24, 152, 561, 17)
                            << "Note: The Excel file should conform to the following format:"
                            << "Verdana 9.75 #800000";
    QTest::newRow("Label5") << QRect(24, 176, 561, 33)
                            << "The first row will contain the node labels, and the column "
                               "corresponding to it will contain the node values."
                            << "Verdana 9.75 italic #0000ff";
    QTest::newRow("Label3") << QRect(192, 216, 177, 17) << "Processing . . . . . . . . "
                            << "Verdana 9.75 bold #004000";
    QTest::newRow("Label1") << QRect(144, 232, 265, 17) << "" << bold;
  }
  void LooksAsLaidOut() {
    QFETCH(QRect, pixels);
    QFETCH(QString, caption);
    QFETCH(QString, looks);
    const QWidget* control = MakeForm("").findChild<QWidget*>(QTest::currentDataTag());
    const auto* label = qobject_cast<const QLabel*>(control);
    const QFont f = control->font();
    const QColor c = control->palette().color(QPalette::Active,
                                              label ? QPalette::WindowText : QPalette::ButtonText);
    const bool usual = c == QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
    QCOMPARE(control->geometry(), pixels);
    QCOMPARE(control->property("text").toString(), caption);
    QCOMPARE(QString("%1 %2").arg(f.family()).arg(f.pointSizeF()) + (f.bold() ? " bold" : "") +
                 (f.italic() ? " italic" : "") + (usual ? "" : " " + c.name()),
             looks);
    QCOMPARE(control->property("wordWrap").toBool(), label != nullptr);
    QVERIFY(!control->autoFillBackground() && !control->property("autoDefault").toBool());
    QVERIFY(!control->property("default").toBool());
    const int across = control == form_->Label2 ? Qt::AlignHCenter : Qt::AlignLeft;
    if (label) QCOMPARE(int(label->alignment()), Qt::AlignTop | across);
  }

  // Start state: title, fixed size, Select alone enabled and focused, the progress
  // line hidden; the colours painted; Tab goes Convert, Select, Exit.
  void StartsOnSelectAndTabsInOrder() {
    Form2& form = MakeForm("/data/a.xls");
    QCOMPARE(form.windowTitle(), QString("Zerova"));
    QVERIFY(form.size() == QSize(599, 263) && form.minimumSize() == form.maximumSize());
    QCOMPARE(form.Shape1->geometry(), QRect(8, 8, 585, 249));
    QVERIFY(form.Command2->isEnabled() && !form.Command1->isEnabled());
    QVERIFY(form.Command3->isEnabled() && !form.Label3->isVisible());
    QVERIFY(!form.ProgressBar1->isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Command2);
    // The progress bar lies in the frame's free space, clear of every control.
    const QRect bar = form.ProgressBar1->geometry();
    QCOMPARE(bar, QRect(384, 216, 192, 16));
    QVERIFY(form.Shape1->geometry().adjusted(1, 1, -1, -1).contains(bar));
    for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (control != form.ProgressBar1 && control != form.Shape1)
        QVERIFY2(!control->geometry().intersects(bar), qPrintable(control->objectName()));
    }
    const QImage image = form.grab().toImage();
    const QColor back(255, 192, 128), face(255, 128, 0);
    QCOMPARE(image.pixelColor(3, 3), back);
    QCOMPARE(image.pixelColor(8, 100), QColor(Qt::black));  // Shape1's line, no fill inside
    QCOMPARE(image.pixelColor(9, 100), back);
    QCOMPARE(image.pixelColor(220, 66), face);  // Select, Exit
    QCOMPARE(image.pixelColor(370, 130), face);
    form.Command1->setEnabled(true);
    form.Command1->setFocus();
    for (QWidget* next : {form.Command2, form.Command3, form.Command1}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next);
    }
  }

  // Select asks once; a cancel is a choice of nothing. Convert takes the focus.
  // Enter on the focused button presses it.
  void SelectAsksOnce() {
    for (auto [answer, clicks] :
         {std::pair<QString, int>{"/data/a.xls", 1}, {"", 1}, {"/a.xls", 2}}) {
      Form2& form = MakeForm(answer);
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
      if (clicks == 2) Click(form.Command2);
      QCOMPARE(dialogs_, 1);
      QCOMPARE(form.SourcePath, answer);
      QVERIFY(!form.Command2->isEnabled() && form.Command1->isEnabled());
      QVERIFY(form.Command3->isEnabled() && !form.Label3->isVisible() && !end_status_);
      QCOMPARE(QApplication::focusWidget(), form.Command1);
    }
  }

  // The real dialog offers Excel files first, chosen, then every workbook Zerova
  // reads, then any file.
  void TheDialogOffersExcelFilesFirst() {
    Form2& form = MakeForm("", nullptr, nullptr, true);
    QStringList filters;
    QString selected;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      filters = dialog->nameFilters();
      selected = dialog->selectedNameFilter();
      dialog->reject();
    });
    poll.start(20);
    Click(form.Command2);
    QCOMPARE(filters,
             (QStringList{"(Excel File) (*.xls)",
                          "(All Workbooks) (*.xls *.xlsx *.xlsm *.xlsb *.ods *.fods *.xml *.htm "
                          "*.html *.csv *.tsv)",
                          "(All Files) (*)"}));
    QCOMPARE(selected, QString("(Excel File)"));  // shown without its patterns
    QVERIFY(form.SourcePath.isEmpty());
  }

  void ExitBeforeSelectingEndsAndWritesNothing() {
    Form2& form = MakeForm("/data/a.xls");
    Click(form.Command3);
    QCOMPARE(end_status_, std::optional<int>(0));
    Click(form.Command2);  // no handler runs once the program has ended
    QVERIFY(dialogs_ == 0 && QDir(dir_->path()).isEmpty());
  }

  // Convert with the real services: the document, the progress line painted
  // before the workbook is read, the completion box with the document's full path
  // and status 0; or the error in a box, status 1 and no document. A protected
  // workbook's password is asked on the GUI thread by the file's name, again after
  // a wrong one; Cancel ends as any refusal does.
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
    QTest::newRow("none chosen") << "" << Answers{} << QStringList{}
                                 << "no spreadsheet file was chosen";
    QTest::newRow("missing") << "/nonexistent/a.xls" << Answers{} << QStringList{}
                             << "/nonexistent/a.xls: no such file";
    QTest::newRow("password") << rc4 << Answers{right} << once << ok;
    QTest::newRow("wrong, then right") << rc4 << Answers{QString("secret"), right} << twice << ok;
    QTest::newRow("cancel") << rc4 << Answers{std::nullopt} << once << refusal + "needs a password";
    QTest::newRow("wrong, then cancel") << rc4 << Answers{QString("secret"), std::nullopt} << twice
                                        << refusal + "the password is wrong";
  }
  void ConvertEnds() {
    QFETCH(QString, file);
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QStringList, questions);
    QFETCH(QString, message);
    // The watching service is the real one without a password source: not for the
    // protected workbook.
    auto service = std::make_unique<WatchingService>();
    WatchingService* watching = questions.isEmpty() ? service.get() : nullptr;
    Form2& form = MakeForm(file, watching ? std::move(service) : nullptr, nullptr, false, answers);
    if (watching) form.Label3->installEventFilter(watching);
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
    QVERIFY(!watching || watching->painted);
    QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
  }

  // Mid-run the bar counts thousandths of the document's lines, Convert stays
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
    QTRY_COMPARE(form.ProgressBar1->value(), 100);
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

  // The real dialog: the file's name, a masked entry, OK gives the text, Cancel nothing.
  void PasswordDialogMasksTheEntry() {
    QWidget window;
    window.show();
    const std::unique_ptr<PasswordPrompt> prompt = NewPasswordDialog();
    for (const bool ok : {true, false}) {
      QString question;
      QTimer::singleShot(50, this, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QString("Password"));
        question = dialog->findChild<QLabel*>("question")->text();
        auto* entry = dialog->findChild<QLineEdit*>("password");
        QCOMPARE(entry->echoMode(), QLineEdit::Password);
        QTest::keyClicks(entry, "abc");
        QTest::keyClick(entry, ok ? Qt::Key_Return : Qt::Key_Escape);
      });
      const std::optional<QString> typed = prompt->Ask(&window, "book.xls", !ok);
      QCOMPARE(typed, ok ? std::optional<QString>("abc") : std::nullopt);
      QVERIFY(question.contains("“book.xls” is password-protected"));
      QCOMPARE(question.contains("The password is wrong."), !ok);
    }
  }
};

}  // namespace zerova

QTEST_MAIN(zerova::Form2Test)
#include "form2_test.moc"
