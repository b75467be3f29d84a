// Form2 on the offscreen platform: the file chosen, given or dropped; the
// conversion on its worker thread with its progress, the password asked for,
// and each way a run ends. The file dialog, the password question (but where
// the real ones are tried) and the end of the program are stood in for;
// message boxes are the real ones, answered as a user would.
#include <unistd.h>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <optional>

#include "services/forwarding_file_system.h"
#include "support/document.h"
#include "support/memory_file_system.h"
#include "window/form2_messages.h"
#include "window/qt/form2_window.h"

namespace zerova {
namespace {

// Answers the file dialog with a fixed path ("" is a cancel), counting the questions.
struct FakeOpenDialog final : OpenDialog {
  FakeOpenDialog(QString a, int* asked) : answer(std::move(a)), asked(asked) {}
  QString Choose(QWidget*, const QStringList&) override { return ++*asked, answer; }
  QString answer;
  int* asked;
};

// One labelled column whose document has exactly 1000 lines; `clipped` when
// its reader dropped columns past the sheet's limit.
struct ThousandLineSheet final : Worksheet {
  explicit ThousandLineSheet(bool clipped = false) : clipped(clipped) {}
  CellView Cell(std::int64_t row, std::int64_t column) const override {
    return column == 1 && row <= 997 ? text : empty;
  }
  SheetClipping Clipped() const override { return {false, clipped}; }
  CellValue text = CellValue::Text("x");
  CellValue empty;
  bool clipped;
};

// The steps of a slow conversion, each waiting for a permit the test hands out:
// the ten 64 KB pieces of the workbook read, then each line written.
struct Steps {
  QSemaphore permits;
  std::atomic<int> taken = 0;
  void Take() { permits.acquire(), ++taken; }
};

// Reads the thousand-line sheet's workbook in ten pieces, reporting each.
struct SlowReader final : SpreadsheetService {
  explicit SlowReader(std::shared_ptr<Steps> s) : steps(std::move(s)) {}
  std::unique_ptr<Workbook> Open(const SpreadsheetInput&, ReadProgress* progress) override {
    constexpr std::uint64_t kPiece = 64 * 1024;
    for (std::uint64_t piece = 1; piece <= 10; ++piece) {
      steps->Take();
      progress->Reached(piece * kPiece, 10 * kPiece);
    }
    return std::make_unique<test::GivenWorkbook>(std::make_unique<ThousandLineSheet>());
  }
  std::shared_ptr<Steps> steps;
};

const std::unique_ptr<FileSystem> kLocalDisk = NewLocalFileSystem();

// The local disk, where each line is a step.
struct SlowWriter final : ForwardingFileSystem {
  explicit SlowWriter(std::shared_ptr<Steps> s)
      : ForwardingFileSystem(*kLocalDisk), steps(std::move(s)) {}
  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    steps->Take();
    ForwardingFileSystem::AppendLineToFile(path, line, locked);
  }
  std::shared_ptr<Steps> steps;
};

// The lines "zerova: ..." this process writes on stderr (file descriptor 2)
// from the capture's making until ProgramLines.
class StderrCapture {
 public:
  StderrCapture() : file_(std::tmpfile()), saved_(::dup(2)) {
    std::fflush(stderr);
    ::dup2(::fileno(file_), 2);
  }
  ~StderrCapture() { ProgramLines(), std::fclose(file_); }
  QStringList ProgramLines() {
    if (saved_ >= 0) std::fflush(stderr), ::dup2(saved_, 2), ::close(saved_), saved_ = -1;
    std::rewind(file_);
    QStringList lines;
    for (char line[4096]; std::fgets(line, sizeof line, file_) != nullptr;) {
      if (QByteArray(line).startsWith("zerova: ")) lines << QString::fromUtf8(line).trimmed();
    }
    return lines;
  }

 private:
  std::FILE* file_;
  int saved_;
};

// Answers the password dialog from a list (nullopt: Cancel), noting each question
// as "NAME" or "NAME (wrong)", and whether it was asked on the GUI thread.
struct FakePasswordPrompt final : PasswordPrompt {
  FakePasswordPrompt(QList<std::optional<QString>> a, QStringList* q) : answers(a), questions(q) {}
  std::optional<QString> Ask(QWidget*, const PasswordQuestion& question) override {
    const bool gui = QThread::currentThread() == QCoreApplication::instance()->thread();
    questions->append(QString::fromStdString(question.file_name) +
                      (question.previous_was_wrong ? " (wrong)" : "") +
                      (gui ? "" : " (off the GUI thread)"));
    return answers.isEmpty() ? std::nullopt : answers.takeFirst();
  }
  QList<std::optional<QString>> answers;
  QStringList* questions;
};

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

  Form2Window& MakeForm(QString answer, std::unique_ptr<SpreadsheetService> spreadsheets = nullptr,
                        std::unique_ptr<FileSystem> file_system = nullptr, bool real_dialog = false,
                        QList<std::optional<QString>> passwords = {}) {
    dir_.emplace();
    QDir::setCurrent(dir_->path());
    end_status_.reset();
    boxes_.clear();
    questions_.clear();
    dialogs_ = 0;
    Form2Platform platform{
        real_dialog ? nullptr : std::make_unique<FakeOpenDialog>(answer, &dialogs_),
        std::move(spreadsheets), std::move(file_system),
        [this](int status) { end_status_ = status; },
        std::make_unique<FakePasswordPrompt>(passwords, &questions_)};
    form_ = std::make_unique<Form2Window>(std::move(platform));
    form_->show();
    if (!QTest::qWaitForWindowActive(form_.get())) qWarning("the window never became active");
    return *form_;
  }
  // Answers the next message box with `button` after calling `before`, noting its
  // title, text, informative and detailed text, whether it has no icon, and
  // whether Convert was enabled and progress shown behind it.
  void AnswerNextMessageBox(QMessageBox::StandardButton button = QMessageBox::Ok,
                            std::function<void()> before = {}, int tries = 500) {
    QTimer::singleShot(10, this, [this, button, before, tries] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr && box->button(button) == nullptr) box = nullptr;  // not this one yet
      if (box == nullptr && tries > 0) AnswerNextMessageBox(button, before, tries - 1);
      if (box == nullptr) return;
      QStringList seen{box->windowTitle(), box->text(), box->informativeText(),
                       box->detailedText()};
      for (bool b : {box->icon() == QMessageBox::NoIcon, form_->Command1->isEnabled(),
                     form_->Label3->isVisible()})
        seen << QString::number(b);
      boxes_.append(seen);
      if (before) before();
      box->button(button)->click();
    });
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  QByteArray Document() {
    QFile file("xmlstructure.xml");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
  }

  std::unique_ptr<Form2Window> form_;
  std::optional<int> end_status_;
  QList<QStringList> boxes_;
  std::shared_ptr<Steps> steps_;  // the slow conversion's, when there is one
  std::optional<QTemporaryDir> dir_;
  QStringList questions_;
  int dialogs_ = 0;

 private slots:
  // A run left waiting for its steps is let go, so the window can end it.
  void cleanup() {
    if (steps_) steps_->permits.release(1 << 20);
    steps_.reset();
    form_.reset();
  }

  // The real dialog offers Excel files first, chosen, then every workbook Zerova
  // reads, then any file, each with its patterns shown.
  void TheDialogOffersExcelFilesFirst() {
    Form2Window& form = MakeForm("", nullptr, nullptr, true);
    QStringList filters;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      poll.stop();
      filters = dialog->nameFilters() << dialog->selectedNameFilter();
      if (dialog->testOption(QFileDialog::HideNameFilterDetails)) filters << "(patterns hidden)";
      dialog->reject();
    });
    poll.start(20);
    Click(form.Command2);
    // Last, the filter chosen.
    QCOMPARE(filters, (QStringList{"(Excel File) (*.xls)",
                                   "(All Workbooks) (*.xls *.xlsx *.xlsm *.xlsb *.ods *.fods *.xml "
                                   "*.htm *.html *.csv *.tsv)",
                                   "(All Files) (*)", "(Excel File) (*.xls)"}));
    QVERIFY(form.SourcePath().isEmpty());
  }

  // Select asks once, whatever the answer: it stays disabled, and Convert takes
  // the focus.
  void SelectWorksOnce_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("a file") << "/any.xls";
    QTest::newRow("cancelled") << "";
  }
  void SelectWorksOnce() {
    QFETCH(QString, answer);
    Form2Window& form = MakeForm(answer);
    Click(form.Command2);
    Click(form.Command2);
    QTest::keyClick(form.Command2, Qt::Key_Return);
    QCOMPARE(dialogs_, 1);
    QCOMPARE(form.SourcePath(), answer);
    QVERIFY(!form.Command2->isEnabled());
    QVERIFY(form.Command1->isEnabled() && form.Command1->hasFocus());
    QVERIFY(form.close());  // an idle window closes without a question
  }

  // Before a file is chosen (at the start, or after a cancelled Select) and
  // before Convert, a file given at the start or one local file dropped becomes
  // the choice, named in the title, its full path the title label's tooltip; a
  // given file that cannot be read is shown in the failure box instead, and the
  // window stays in its start state. A drop of anything else, or once a file is
  // chosen or a conversion has begun, is refused.
  void OpensAFileGivenOrDropped_data() {
    QTest::addColumn<QString>("before");       // "start", "cancelled", "chosen", "converting"
    QTest::addColumn<QStringList>("dropped");  // paths or addresses; none: `given` is given
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("box");  // text, informative text
    const QString book = ZEROVA_TEST_DATA "/basic/input.xls", none = "/nonexistent-zerova/b.xls";
    const QStringList no_box;
    QTest::newRow("given") << "start" << QStringList{} << book << true << no_box;
    QTest::newRow("given, missing")
        << "start" << QStringList{} << none << false
        << QStringList{"Zerova could not convert \u201Cb.xls\u201D.", "No such file."};
    QTest::newRow("given, a folder")
        << "start" << QStringList{} << ZEROVA_TEST_DATA "/basic" << false
        << QStringList{"Zerova could not convert \u201Cbasic\u201D.",
                       "Is a folder, not a spreadsheet file."};
    QTest::newRow("given after a choice") << "chosen" << QStringList{} << book << false << no_box;
    QTest::newRow("dropped") << "start" << QStringList{book} << book << true << no_box;
    QTest::newRow("dropped after a cancel")
        << "cancelled" << QStringList{book} << book << true << no_box;
    QTest::newRow("two dropped") << "start" << QStringList{book, book} << book << false << no_box;
    QTest::newRow("a folder dropped")
        << "start" << QStringList{ZEROVA_TEST_DATA} << "" << false << no_box;
    QTest::newRow("a missing file dropped")
        << "start" << QStringList{none} << "" << false << no_box;
    QTest::newRow("an address dropped")
        << "start" << QStringList{"https://example.com/b.xls"} << "" << false << no_box;
    QTest::newRow("dropped after a choice")
        << "chosen" << QStringList{book} << book << false << no_box;
    QTest::newRow("dropped while converting")
        << "converting" << QStringList{book} << book << false << no_box;
  }
  void OpensAFileGivenOrDropped() {
    QFETCH(QString, before);
    QFETCH(QStringList, dropped);
    QFETCH(QString, given);
    QFETCH(bool, taken);
    QFETCH(QStringList, box);
    steps_ = std::make_shared<Steps>();  // holds a conversion at its start
    Form2Window& form =
        MakeForm(before == "chosen" ? "/any.xls" : "", std::make_unique<SlowReader>(steps_));
    if (before != "start") Click(form.Command2);
    if (before == "converting") Click(form.Command1);
    const QString earlier = form.SourcePath();
    if (!box.isEmpty()) AnswerNextMessageBox();
    if (dropped.isEmpty()) {
      form.OpenFile(given);
    } else {
      QVERIFY(form.acceptDrops());
      QMimeData data;
      QList<QUrl> urls;
      for (const QString& item : dropped)
        urls << (item.startsWith('/') ? QUrl::fromLocalFile(item) : QUrl(item));
      data.setUrls(urls);
      // Proposed as a move (Shift held); taken as a copy, so the file stays where it is.
      const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction;
      QDragEnterEvent enter(QPoint(9, 9), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
      QApplication::sendEvent(&form, &enter);
      QCOMPARE(enter.isAccepted(), taken);  // the cursor says whether it may be dropped
      QDropEvent drop(QPointF(9, 9), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
      QCOMPARE(drop.proposedAction(), Qt::MoveAction);
      QApplication::sendEvent(&form, &drop);
      QCOMPARE(drop.isAccepted(), taken);
      if (taken) QCOMPARE(drop.dropAction(), Qt::CopyAction);
    }
    const QString chosen = taken ? given : earlier;
    QTRY_COMPARE(form.SourcePath(), chosen);
    QTest::qWait(20);
    QCOMPARE(boxes_.value(0).mid(1, 2), box);
    QCOMPARE(form.windowTitle(),
             chosen.isEmpty() ? "Zerova" : QFileInfo(chosen).fileName() + " \u2013 Zerova");
    QCOMPARE(form.Label2->toolTip(), chosen);
    if (before == "start") QCOMPARE(form.Command2->isEnabled(), !taken);
    QCOMPARE(form.Command1->hasFocus(), before != "converting" && (taken || before != "start"));
    QVERIFY(!end_status_);
  }

  // The password question names the file, says when the last password was wrong,
  // masks what is typed into a field named for screen readers, and answers it
  // on Enter, or nothing on Escape.
  void ThePasswordDialogAsksForTheFile_data() {
    QTest::addColumn<bool>("wrong");
    QTest::addColumn<int>("key");
    QTest::addRow("first") << false << int(Qt::Key_Return);
    QTest::addRow("again") << true << int(Qt::Key_Return);
    QTest::addRow("cancelled") << false << int(Qt::Key_Escape);
  }
  void ThePasswordDialogAsksForTheFile() {
    QFETCH(bool, wrong);
    QFETCH(int, key);
    QWidget window;
    window.show();
    QStringList seen;
    QTimer::singleShot(10, this, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      auto* entry = dialog->findChild<QLineEdit*>();
      seen << dialog->windowTitle() << dialog->findChild<QLabel*>()->text()
           << entry->accessibleName() << QString::number(entry->echoMode())
           << QString::number(entry->hasFocus());
      QTest::keyClicks(entry, "secret");
      QTest::keyClick(entry, Qt::Key(key));
    });
    const std::optional<QString> typed =
        NewPasswordDialog()->Ask(&window, PasswordQuestionFor("b.xls", wrong));
    QCOMPARE(seen, (QStringList{
                       "Password",
                       QString("The workbook \u201Cb.xls\u201D is password-protected.\n") +
                           (wrong ? "The password is wrong. Type it again:" : "Type its password:"),
                       "Password", QString::number(QLineEdit::Password), "1"}));
    QCOMPARE(typed, key == Qt::Key_Escape ? std::nullopt : std::optional<QString>("secret"));
  }

  // Convert with the real services, or a sheet that was clipped: the document,
  // the completion box with the document's full path (and the note on what was
  // left out) and status 0; or a box naming the file and the reason, status 1
  // and no document. A protected workbook's password is asked on the GUI thread
  // by the file's name, again after a wrong one; Cancel there ends quietly: a
  // note on stderr, no box, status 1.
  void ConvertEnds_data() {
    using Answers = QList<std::optional<QString>>;
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("clipped");       // the sheet reached past column 16,384
    QTest::addColumn<bool>("folder_there");  // a folder stands where the document goes
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("box");  // text, informative, detailed text
    QTest::addColumn<QString>("said");     // on stderr
    // Given at the start and converted with Enter on the focused Convert, not chosen with Select.
    QTest::addColumn<bool>("given");
    const QString basic = ZEROVA_TEST_DATA "/basic/input.xls", right = "pässwörd";
    const QString rc4 = ZEROVA_TEST_DATA "/encrypted-xls-rc4/input.xls";
    const QString ok = "XML created successfully", path = "(the document's path)";
    // The basic workbook's note under the path: the cells its table leaves out.
    const QString done = path +
                         "\n\n6 filled cells below an empty cell or right of an empty label were "
                         "left out, the first at E1: the first empty cell ends a column, and the "
                         "first empty label ends the table.";
    const QStringList once{"input.xls"}, twice{"input.xls", "input.xls (wrong)"};
    QTest::newRow("clear") << basic << false << false << Answers{} << QStringList{}
                           << QStringList{ok, done, ""} << "" << false;
    QTest::newRow("clear, given") << basic << false << false << Answers{} << QStringList{}
                                  << QStringList{ok, done, ""} << "" << true;
    QTest::newRow("password") << rc4 << false << false << Answers{right} << once
                              << QStringList{ok, done, ""} << "" << false;
    QTest::newRow("wrong, then right") << rc4 << false << false << Answers{QString("secret"), right}
                                       << twice << QStringList{ok, done, ""} << "" << false;
    QTest::newRow("clipped") << "/any.xls" << true << false << Answers{} << QStringList{}
                             << QStringList{ok,
                                            path +
                                                "\n\nThe sheet has cells past column 16,384 "
                                                "(XFD); they were left out, as Excel leaves "
                                                "them out.",
                                            ""}
                             << "" << false;
    QTest::newRow("cancelled password")
        << rc4 << false << false << Answers{std::nullopt} << once << QStringList{}
        << "zerova: " + rc4 + ": no password was given; the conversion was cancelled" << false;
    QTest::newRow("no such file") << "/nonexistent-zerova/book.xls" << false << false << Answers{}
                                  << QStringList{}
                                  << QStringList{"Zerova could not convert \u201Cbook.xls\u201D.",
                                                 "No such file.", "/nonexistent-zerova/book.xls"}
                                  << "zerova: /nonexistent-zerova/book.xls: no such file" << false;
    QTest::newRow("document cannot be written")
        << basic << false << true << Answers{} << QStringList{}
        << QStringList{"Zerova could not write \u201Cxmlstructure.xml\u201D.",
                       "Could not open the file for writing: Is a directory.",
                       "(the document's path)"}
        << "zerova: (the document's path): could not open the file for writing: Is a directory"
        << false;
  }
  void ConvertEnds() {
    QFETCH(QString, file);
    QFETCH(bool, clipped);
    QFETCH(bool, folder_there);
    QFETCH(QList<std::optional<QString>>, answers);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, box);
    QFETCH(QString, said);
    QFETCH(bool, given);
    auto sheet =
        clipped
            ? std::make_unique<test::GivenSheetService>(std::make_unique<ThousandLineSheet>(true))
            : nullptr;
    Form2Window& form = MakeForm(file, std::move(sheet), nullptr, false, answers);
    const QString document = QDir(dir_->path()).absoluteFilePath("xmlstructure.xml");
    if (folder_there) QVERIFY(QDir().mkdir(document));
    box.replaceInStrings("(the document's path)", document);
    said.replace("(the document's path)", document);
    StderrCapture errors;
    given ? form.OpenFile(file) : Click(form.Command2);
    AnswerNextMessageBox();
    if (given) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    if (!given) Click(form.Command1);
    QTRY_VERIFY(end_status_.has_value());
    const bool ok = box.value(0) == "XML created successfully";
    const QList<QStringList> shown{
        {"Dizuzize", box.value(0), box.value(1), box.value(2), ok ? "1" : "0", "0", "1"}};
    QCOMPARE(boxes_, box.isEmpty() ? QList<QStringList>{} : shown);
    QCOMPARE(errors.ProgramLines(), said.isEmpty() ? QStringList{} : QStringList{said});
    QCOMPARE(questions_, questions);
    QCOMPARE(end_status_, std::optional<int>(ok ? 0 : 1));
    QCOMPARE(QFileInfo(document).isFile(), ok);
    QVERIFY(form.close());  // once the run has ended, without a question
    if (!ok || clipped) return;
    QFile expected(ZEROVA_TEST_DATA "/basic/expected.xml");
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(Document(), expected.readAll());
  }

  // Exit or closing the window during a conversion asks first, saying what Yes
  // does, and the run pauses meanwhile. Yes while reading: the run stops before
  // the input ends and the earlier document is left byte for byte. Yes while
  // writing: the run stops after the line it is on and the document is removed.
  // Either way a box says so and the status is 1. No: the run goes on to its
  // end. Throughout, Convert stays disabled (a double click starts one run) and
  // the bar moves: its first fifth by the input read, the rest by the lines.
  void AsksBeforeStoppingAConversion_data() {
    QTest::addColumn<int>("steps");  // taken before the question: 10 read, then lines
    QTest::addColumn<bool>("by_closing");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<QString>("stopped");  // the box after Yes
    const QString reading = "The conversion was cancelled before anything was written.";
    const QString writing = "The conversion was cancelled; the incomplete document was removed.";
    QTest::newRow("reading, Exit, yes") << 3 << false << true << reading;
    QTest::newRow("reading, close, yes") << 3 << true << true << reading;
    QTest::newRow("reading, Exit, no") << 3 << false << false << "";
    QTest::newRow("writing, Exit, yes") << 110 << false << true << writing;
    QTest::newRow("writing, close, yes") << 110 << true << true << writing;
    QTest::newRow("writing, Exit, no") << 110 << false << false << "";
    QTest::newRow("writing, close, no") << 110 << true << false << "";
  }
  void AsksBeforeStoppingAConversion() {
    QFETCH(int, steps);
    QFETCH(bool, by_closing);
    QFETCH(bool, stop);
    QFETCH(QString, stopped);
    const auto slow = steps_ = std::make_shared<Steps>();
    Form2Window& form = MakeForm("/any.xls", std::make_unique<SlowReader>(slow),
                                 std::make_unique<SlowWriter>(slow));
    const QByteArray earlier = "<?xml version=\"1.0\"?><Main>earlier</Main>\n";
    {
      QFile f("xmlstructure.xml");
      QVERIFY(f.open(QIODevice::WriteOnly) && f.write(earlier) > 0);
    }
    Click(form.Command2);
    Click(form.Command1);
    Click(form.Command1);
    slow->permits.release(steps);
    const bool reading = steps <= 10;
    QTRY_COMPARE(form.ProgressBar1->value(),
                 reading ? steps * 20 : 200 + (steps - 10) * 800 / 1000);
    QVERIFY(form.ProgressBar1->isVisible() && form.Label3->isVisible());
    QVERIFY(!form.Command1->isEnabled() && !end_status_);
    if (reading) QCOMPARE(Document(), earlier);
    // While the question is open the run may finish its step, but goes no further.
    AnswerNextMessageBox(stop ? QMessageBox::Yes : QMessageBox::No, [&] {
      slow->permits.release(2000);
      QTRY_COMPARE(slow->taken.load(), steps + 1);
      QTest::qWait(50);
      QCOMPARE(slow->taken.load(), steps + 1);
    });
    AnswerNextMessageBox(QMessageBox::Ok, {}, 1000);  // the completion, or what the stop did
    by_closing ? void(form.close()) : Click(form.Command3);
    QTRY_VERIFY(end_status_.has_value());
    QCOMPARE(boxes_.size(), 2);
    QCOMPARE(boxes_.first().mid(0, 2),
             (QStringList{"Dizuzize", reading ? "Stop the conversion? The workbook is still being "
                                                "read; nothing has been written yet."
                                              : "Stop the conversion? The incomplete document "
                                                "will be removed."}));
    QCOMPARE(end_status_, std::optional<int>(stop ? 1 : 0));
    if (stop) {
      QCOMPARE(boxes_.last().mid(1, 2),
               (QStringList{"Zerova stopped converting \u201Cany.xls\u201D.", stopped}));
      QCOMPARE(slow->taken.load(), steps + 1);
      QCOMPARE(Document(), reading ? earlier : QByteArray("(none)"));
    } else {
      QCOMPARE(slow->taken.load(), 1010);
      QCOMPARE(Document().count('\n'), 1000);
      QCOMPARE(form.ProgressBar1->value(), 1000);
    }
  }
};

}  // namespace zerova

QTEST_MAIN(zerova::Form2Test)
#include "form2_test.moc"
