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
#include <thread>

#include "support/memory_file_system.h"
#include "ui/form2.h"

namespace zerova {
namespace {

// Answers the file dialog with a fixed path ("" is a cancel), noting the types offered.
struct FakeOpenDialog final : OpenDialog {
  FakeOpenDialog(QString a, QList<QStringList>* s) : answer(std::move(a)), shown(s) {}
  QString Choose(QWidget*, const QStringList& name_filters) override {
    shown->append(name_filters);
    return answer;
  }
  QString answer;
  QList<QStringList>* shown;
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
    dialogs_.clear();
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
  QList<QStringList> dialogs_;
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

  // Select asks once, offering Excel files first, then every workbook Zerova
  // reads, then any file; a cancel is a choice of nothing. Convert takes the focus.
  void SelectAsksOnce() {
    const QStringList offered{
        "(Excel File) (*.xls)",
        "(All Workbooks) (*.xls *.xlsx *.xlsm *.xlsb *.ods *.fods *.xml *.htm *.html *.csv *.tsv)",
        "(All Files) (*)"};
    for (auto [answer, clicks] :
         {std::pair<QString, int>{"/data/a.xls", 1}, {"", 1}, {"/a.xls", 2}}) {
      Form2& form = MakeForm(answer);
      for (int i = 0; i < clicks; ++i) Click(form.Command2);
      QCOMPARE(dialogs_, QList<QStringList>{offered});
      QCOMPARE(form.SourcePath, answer);
      QVERIFY(!form.Command2->isEnabled() && form.Command1->isEnabled());
      QVERIFY(form.Command3->isEnabled() && !form.Label3->isVisible() && !end_status_);
      QCOMPARE(QApplication::focusWidget(), form.Command1);
    }
  }

  // The real dialog shows the same three types, the Excel files chosen.
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
    QCOMPARE(filters.size(), 3);
    QCOMPARE(filters.first(), QString("(Excel File) (*.xls)"));
    QCOMPARE(selected, QString("(Excel File)"));  // shown without its patterns
    QCOMPARE(filters.last(), QString("(All Files) (*)"));
    QVERIFY(form.SourcePath.isEmpty());
  }

  // Enter presses the focused button as Space does: Select, then Convert, which
  // has the focus once the file is chosen.
  void EnterPressesTheFocusedButton() {
    Form2& form = MakeForm(ZEROVA_TEST_DATA "/basic/input.xls");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dialogs_.size(), 1);
    QCOMPARE(QApplication::focusWidget(), form.Command1);
    AnswerNextMessageBox();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTRY_COMPARE(end_status_, std::optional<int>(0));
    QVERIFY(QFile::exists("xmlstructure.xml"));
  }

  void ExitBeforeSelectingEndsAndWritesNothing() {
    Form2& form = MakeForm("/data/a.xls");
    Click(form.Command3);
    QCOMPARE(end_status_, std::optional<int>(0));
    Click(form.Command2);  // no handler runs once the program has ended
    QVERIFY(dialogs_.isEmpty() && QDir(dir_->path()).isEmpty());
  }

  // Convert with the real services: the fixture's document, the progress line
  // painted before the workbook is read, the completion message with the
  // document's full path and status 0; or the error in a message box, status 1
  // and no document.
  void ConvertEnds() {
    const std::tuple<QString, QString, bool> runs[] = {
        {ZEROVA_TEST_DATA "/basic/input.xls", "XML created successfully", true},
        {"", "no spreadsheet file was chosen", false},
        {"/nonexistent/a.xls", "/nonexistent/a.xls: no such file", false}};
    for (const auto& [answer, message, ok] : runs) {
      auto service = std::make_unique<WatchingService>();
      WatchingService* watching = service.get();
      Form2& form = MakeForm(answer, std::move(service));
      form.Label3->installEventFilter(watching);
      Click(form.Command2);
      AnswerNextMessageBox();
      Click(form.Command1);
      QTRY_VERIFY(end_status_.has_value());
      const QString path = ok ? QDir(dir_->path()).absoluteFilePath("xmlstructure.xml") : "";
      QCOMPARE(boxes_,
               (QList<QStringList>{{"Dizuzize", message, path, ok ? "1" : "0", "1", "0", "1"}}));
      QCOMPARE(end_status_, std::optional<int>(ok ? 0 : 1));
      QFile written("xmlstructure.xml"), expected(ZEROVA_TEST_DATA "/basic/expected.xml");
      QCOMPARE(written.exists(), ok);
      if (!ok) continue;
      QVERIFY(watching->painted);
      QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
      QCOMPARE(written.readAll(), expected.readAll());
    }
  }

  // The bar counts thousandths of the document's lines while the window goes on
  // answering; Convert stays disabled and the progress line shown.
  void ShowsTheLinesWrittenAsTheyGo() {
    auto disk = std::make_unique<GatedFileSystem>();
    const auto permits = permits_ = disk->permits;
    Form2& form = MakeForm("/any.xls", std::make_unique<ThousandLineService>(), std::move(disk));
    Click(form.Command2);
    Click(form.Command1);
    Click(form.Command1);  // a double click starts one run
    int released = 0;
    for (int lines : {250, 750}) {
      permits->release(lines - released);
      released = lines;
      QTRY_COMPARE(form.ProgressBar1->value(), lines);
      QVERIFY(form.ProgressBar1->isVisible() && form.Label3->isVisible());
      QVERIFY(!form.Command1->isEnabled() && !end_status_);
    }
    AnswerNextMessageBox();
    permits->release(250);
    QTRY_COMPARE(end_status_, std::optional<int>(0));
    QCOMPARE(form.ProgressBar1->value(), 1000);
  }

  // Exit or closing the window mid-run asks first. Yes: the run stops after the
  // line it is on, the document is removed, status 1. No: the run goes on.
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
    permits->release(100);
    QTRY_COMPARE(form.ProgressBar1->value(), 100);
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
  }

  // Convert meets a password-protected workbook: the dialog names the file and
  // asks again after a wrong password; Cancel ends as any refusal does.
  void ConvertAsksForThePassword_data() {
    QTest::addColumn<QList<std::optional<QString>>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QString>("message");
    const QString name = "input.xls";
    const QString refusal = ZEROVA_TEST_DATA
        "/encrypted-xls-rc4/input.xls: the workbook is "
        "password-protected and ";
    QTest::newRow("right") << QList<std::optional<QString>>{QString("pässwörd")}
                           << QStringList{name} << "XML created successfully";
    QTest::newRow("wrong, then right")
        << QList<std::optional<QString>>{QString("secret"), QString("pässwörd")}
        << QStringList{name, name + " (wrong)"} << "XML created successfully";
    QTest::newRow("cancel") << QList<std::optional<QString>>{std::nullopt} << QStringList{name}
                            << refusal + "needs a password";
    QTest::newRow("wrong, then cancel")
        << QList<std::optional<QString>>{QString("secret"), std::nullopt}
        << QStringList{name, name + " (wrong)"} << refusal + "the password is wrong";
  }
  void ConvertAsksForThePassword() {
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QStringList, questions);
    QFETCH(QString, message);
    Form2& form =
        MakeForm(ZEROVA_TEST_DATA "/encrypted-xls-rc4/input.xls", nullptr, nullptr, false, answers);
    Click(form.Command2);
    AnswerNextMessageBox();
    Click(form.Command1);
    QTRY_VERIFY(end_status_.has_value());
    QCOMPARE(questions_, questions);  // each asked on the GUI thread, from the worker
    QCOMPARE(boxes_.value(0).value(1), message);
    const bool ok = message == "XML created successfully";
    QCOMPARE(end_status_, std::optional<int>(ok ? 0 : 1));
    QFile written("xmlstructure.xml"), expected(ZEROVA_TEST_DATA "/basic/expected.xml");
    QCOMPARE(written.exists(), ok);
    if (!ok) return;
    QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
  }

  // Asked from a worker thread, the window's source asks on the GUI thread and
  // hands the answer back.
  void PasswordsAreAskedOnTheGuiThread() {
    QWidget window;
    QStringList questions;
    WindowPasswords passwords(
        &window, std::make_unique<FakePasswordPrompt>(
                     QList<std::optional<QString>>{QString("kéy"), std::nullopt}, &questions));
    std::optional<SecretBytes> first, second;
    std::atomic<bool> done = false;
    std::thread worker([&] {
      first = passwords.Password("/data/book.xlsx", false);
      second = passwords.Password("/data/book.xlsx", true);
      done = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return done.load(); }, 10000));
    worker.join();
    QCOMPARE(questions, (QStringList{"book.xlsx", "book.xlsx (wrong)"}));
    QVERIFY(first && std::string(first->begin(), first->end()) == "k\xC3\xA9y");
    QVERIFY(!second);
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
