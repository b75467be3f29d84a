// Form2 on the offscreen platform: its layout, its states, and each way the
// program ends. The file dialog and the end of the program are stood in for;
// message boxes are the real ones, answered as a user would.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>

#include "services/sparse_sheet.h"
#include "support/memory_file_system.h"
#include "ui/form2.h"

namespace zerova {
namespace {

// Answers the file dialog with a fixed path ("" is a cancel).
class FakeOpenDialog final : public OpenDialog {
 public:
  FakeOpenDialog(QString answer, int* shown) : answer_(std::move(answer)), shown_(shown) {}
  QString Choose(QWidget*, const QStringList&) override {
    ++*shown_;
    return answer_;
  }

 private:
  QString answer_;
  int* shown_;
};

// Notes, at the moment the run opens the workbook, whether the progress line is
// visible and has been painted; then hands back `sheet`.
class WatchingService final : public SpreadsheetService {
 public:
  WatchingService(std::function<bool()> progress_shown, std::unique_ptr<Worksheet> sheet)
      : progress_shown_(std::move(progress_shown)), sheet_(std::move(sheet)) {}
  std::unique_ptr<Worksheet> Open(const std::string&) override {
    shown_at_open = progress_shown_();
    return std::move(sheet_);
  }
  static inline bool shown_at_open = false;

 private:
  std::function<bool()> progress_shown_;
  std::unique_ptr<Worksheet> sheet_;
};

// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// What a message box showed, and what the window looked like behind it.
struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  bool convert_enabled = true, progress_visible = false;
};

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void Layout_data();
  void Layout();
  void LooksAsLaidOut_data();
  void LooksAsLaidOut();
  void FormatHelpWrapsOntoTwoLines();
  void ClicksMoveThroughStates_data();
  void ClicksMoveThroughStates();
  void StartsWithFocusOnSelectAndTabsInOrder();
  void DialogOffersOnlyExcelFiles();
  void ExitBeforeSelectingEndsAndWritesNothing();
  void ConvertShowsProgressThenCompletionAndEnds();
  void ConvertEnds_data();
  void ConvertEnds();

 private:
  // A window whose dialog answers `answer`, with the given spreadsheet and file services.
  Form2& MakeForm(QString answer, std::unique_ptr<SpreadsheetService> spreadsheets = nullptr,
                  std::unique_ptr<FileSystem> file_system = nullptr);
  // Answers the next message box with OK, noting what it showed.
  void AnswerNextMessageBox();
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::unique_ptr<Form2> form_;
  int dialogs_shown_ = 0;
  std::optional<int> end_status_;
  std::optional<SeenBox> seen_box_;
  QTemporaryDir work_dir_;
  QString old_dir_;
};

void Form2Test::init() {
  dialogs_shown_ = 0;
  end_status_.reset();
  seen_box_.reset();
  old_dir_ = QDir::currentPath();
  QVERIFY(work_dir_.isValid());
  QDir(work_dir_.path()).removeRecursively();
  QVERIFY(QDir().mkpath(work_dir_.path()));
  QDir::setCurrent(work_dir_.path());
}

void Form2Test::cleanup() {
  form_.reset();
  QDir::setCurrent(old_dir_);
}

Form2& Form2Test::MakeForm(QString answer, std::unique_ptr<SpreadsheetService> spreadsheets,
                           std::unique_ptr<FileSystem> file_system) {
  Form2Platform platform;
  platform.open_dialog = std::make_unique<FakeOpenDialog>(std::move(answer), &dialogs_shown_);
  platform.spreadsheets = std::move(spreadsheets);
  platform.file_system = std::move(file_system);
  platform.end_program = [this](int status) { end_status_ = status; };
  form_ = std::make_unique<Form2>(std::move(platform));
  return *form_;
}

void Form2Test::AnswerNextMessageBox() {
  auto* timer = new QTimer(this);
  timer->setInterval(10);
  connect(timer, &QTimer::timeout, this, [this, timer, tries = 0]() mutable {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr && ++tries < 500) return;
    timer->deleteLater();
    if (box == nullptr) return;
    seen_box_ = SeenBox{box->windowTitle(),
                        box->text(),
                        box->icon(),
                        static_cast<int>(box->buttons().size()),
                        form_->Command1->isEnabled(),
                        form_->Label3->isVisible()};
    box->button(QMessageBox::Ok)->click();
  });
  timer->start();
}

// Every control's place, in pixels at 15 twips each.
void Form2Test::Layout_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("pixels");
  QTest::newRow("Shape1") << "Shape1" << QRect(8, 8, 585, 249);
  QTest::newRow("Label2") << "Label2" << QRect(216, 16, 161, 25);
  QTest::newRow("Command2") << "Command2" << QRect(216, 48, 161, 25);
  QTest::newRow("Command1") << "Command1" << QRect(216, 80, 161, 25);
  QTest::newRow("Command3") << "Command3" << QRect(216, 112, 161, 25);
  QTest::newRow("Label4") << "Label4" << QRect(24, 152, 561, 17);
  QTest::newRow("Label5") << "Label5" << QRect(24, 176, 561, 33);
  QTest::newRow("Label3") << "Label3" << QRect(192, 216, 177, 17);
  QTest::newRow("Label1") << "Label1" << QRect(144, 232, 265, 17);
}

void Form2Test::Layout() {
  QFETCH(QString, name);
  QFETCH(QRect, pixels);
  Form2& form = MakeForm("");
  QCOMPARE(form.windowTitle(), QString("Zerova"));
  QCOMPARE(form.size(), QSize(599, 263));
  QCOMPARE(form.minimumSize(), form.maximumSize());
  QCOMPARE(form.findChild<QWidget*>(name)->geometry(), pixels);
}

// Caption, font, text colour and alignment of each label and button; what the
// window shows at a few points: back colour, button face, frame line, and the
// labels' transparent back.
void Form2Test::LooksAsLaidOut_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<double>("points");
  QTest::addColumn<bool>("bold");
  QTest::addColumn<bool>("italic");
  QTest::addColumn<QColor>("colour");  // invalid: the system's button-text colour
  QTest::addColumn<int>("alignment");
  const int left = Qt::AlignLeft | Qt::AlignTop;
  QTest::newRow("Label2 title") << "Label2"
                                << "Zerova" << 12.0 << true << false << QColor(192, 0, 0)
                                << int(Qt::AlignHCenter | Qt::AlignTop);
  QTest::newRow("Label4 note") << "Label4"
                               << "Note: The Excel file should conform to the following format:"
                               << 9.75 << false << false << QColor(128, 0, 0) << left;
  QTest::newRow("Label5 format help")
      << "Label5"
      << "The first row will contain the node labels, and the column corresponding to it will "
         "contain the node values."
      << 9.75 << false << true << QColor(0, 0, 255) << left;
  QTest::newRow("Label3 progress")
      << "Label3"
      << "Processing . . . . . . . . " << 9.75 << true << false << QColor(0, 64, 0) << left;
  QTest::newRow("Label1 credit") << "Label1"
                                 << "" << 9.75 << true << false << QColor() << left;
  QTest::newRow("Command2 Select") << "Command2"
                                   << "Select Your Excel" << 9.75 << true << false << QColor() << 0;
  QTest::newRow("Command1 Convert") << "Command1"
                                    << "Convert to XML" << 9.75 << true << false << QColor() << 0;
  QTest::newRow("Command3 Exit") << "Command3"
                                 << "Exit" << 9.75 << true << false << QColor() << 0;
}

void Form2Test::LooksAsLaidOut() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(double, points);
  QFETCH(bool, bold);
  QFETCH(bool, italic);
  QFETCH(QColor, colour);
  QFETCH(int, alignment);
  Form2& form = MakeForm("");
  auto* control = form.findChild<QWidget*>(name);
  const QColor button_text = QApplication::palette().color(QPalette::Active, QPalette::ButtonText);

  QCOMPARE(control->font().family(), QString("Verdana"));
  QCOMPARE(control->font().pointSizeF(), points);
  QCOMPARE(control->font().bold(), bold);
  QCOMPARE(control->font().italic(), italic);
  if (auto* label = qobject_cast<QLabel*>(control)) {
    QCOMPARE(label->text(), caption);
    QCOMPARE(int(label->alignment()), alignment);
    QVERIFY(label->wordWrap());
    QVERIFY(!label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::WindowText), colour.isValid() ? colour : button_text);
  } else {
    auto* button = qobject_cast<QPushButton*>(control);
    QCOMPARE(button->text(), caption);
    QVERIFY(!button->isDefault() && !button->autoDefault());
    QCOMPARE(button->palette().color(QPalette::Active, QPalette::ButtonText), button_text);
  }

  // The rendered window, with every control enabled and visible as laid out.
  form.Command1->setEnabled(true);
  form.Label3->setVisible(true);
  const QImage image = form.grab().toImage();
  QCOMPARE(image.pixelColor(3, 3), QColor(255, 192, 128));      // back colour
  QCOMPARE(image.pixelColor(8, 100), QColor(Qt::black));        // Shape1's left line
  QCOMPARE(image.pixelColor(9, 100), QColor(255, 192, 128));    // inside the frame: no fill
  QCOMPARE(image.pixelColor(590, 211), QColor(255, 192, 128));  // Label5's back, empty part
  QCOMPARE(image.pixelColor(220, 66), QColor(255, 128, 0));     // Select's face
  QCOMPARE(image.pixelColor(370, 130), QColor(255, 128, 0));    // Exit's face
}

void Form2Test::FormatHelpWrapsOntoTwoLines() {
  Form2& form = MakeForm("");
  const QImage image = form.Label5->grab().toImage();
  const auto inked = [&image](int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y).blue() > image.pixelColor(x, y).red() + 64) return true;
      }
    }
    return false;
  };
  const int half = image.height() / 2;
  QVERIFY2(inked(0, half) && inked(half, image.height()), "the text is not on two lines");
  QVERIFY(form.Label5->heightForWidth(form.Label5->width()) > form.Label4->height());
}

// Rows of clicks from the start state, and the state they leave.
void Form2Test::ClicksMoveThroughStates_data() {
  QTest::addColumn<QString>("answer");  // the dialog's answer; "" is a cancel
  QTest::addColumn<int>("selects");     // clicks on Select
  QTest::addColumn<bool>("select_enabled");
  QTest::addColumn<bool>("convert_enabled");
  QTest::addColumn<int>("dialogs");
  QTest::newRow("start state") << "/data/a.xls" << 0 << true << false << 0;
  QTest::newRow("file chosen") << "/data/a.xls" << 1 << false << true << 1;
  QTest::newRow("cancelled") << "" << 1 << false << true << 1;
  QTest::newRow("select works once") << "/data/a.xls" << 2 << false << true << 1;
}

void Form2Test::ClicksMoveThroughStates() {
  QFETCH(QString, answer);
  QFETCH(int, selects);
  QFETCH(bool, select_enabled);
  QFETCH(bool, convert_enabled);
  QFETCH(int, dialogs);
  Form2& form = MakeForm(answer);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  for (int i = 0; i < selects; ++i) Click(form.Command2);
  QCOMPARE(form.Command2->isEnabled(), select_enabled);
  QCOMPARE(form.Command1->isEnabled(), convert_enabled);
  QVERIFY(form.Command3->isEnabled());
  QVERIFY(!form.Label3->isVisible());
  QCOMPARE(dialogs_shown_, dialogs);
  QCOMPARE(form.SourcePath, selects > 0 ? answer : QString());
  QCOMPARE(form.cd1.Filter, selects > 0 ? QString("(Excel File)|*.xls") : QString());
  QVERIFY(!end_status_.has_value());
}

void Form2Test::StartsWithFocusOnSelectAndTabsInOrder() {
  Form2& form = MakeForm("/data/a.xls");
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QCOMPARE(QApplication::focusWidget(), form.Command2);
  // With every button enabled, Tab goes Convert, Select, Exit; labels never take the focus.
  form.Command1->setEnabled(true);
  form.Command1->setFocus();
  QWidget* expected[] = {form.Command2, form.Command3, form.Command1};
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
}

// The real dialog: one file type, "(Excel File)", listing only *.xls files.
void Form2Test::DialogOffersOnlyExcelFiles() {
  for (const char* name : {"a.xls", "b.xlsx", "c.txt"}) {
    QFile file(work_dir_.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  CommonDialog cd1(nullptr);
  cd1.Filter = "(Excel File)|*.xls";
  QStringList types, listed;
  QTimer::singleShot(0, this, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    dialog->setDirectory(work_dir_.path());
    auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
    for (int i = 0; combo != nullptr && i < combo->count(); ++i) types << combo->itemText(i);
    auto* view = dialog->findChild<QListView*>("listView");
    QVERIFY(view != nullptr);
    const auto names = [view] {
      QStringList shown;
      const QModelIndex root = view->rootIndex();
      for (int row = 0; row < view->model()->rowCount(root); ++row) {
        shown << view->model()->index(row, 0, root).data().toString();
      }
      return shown;
    };
    QTRY_COMPARE(names(), QStringList("a.xls"));
    listed = names();
    dialog->reject();
  });
  cd1.ShowOpen();
  QCOMPARE(types, QStringList("(Excel File)"));
  QCOMPARE(listed, QStringList("a.xls"));
  QCOMPARE(cd1.FileName, QString());
}

void Form2Test::ExitBeforeSelectingEndsAndWritesNothing() {
  Form2& form = MakeForm("/data/a.xls");
  Click(form.Command3);
  QCOMPARE(end_status_, std::optional<int>(0));
  Click(form.Command2);  // no handler runs once the program has ended
  QCOMPARE(dialogs_shown_, 0);
  QVERIFY(QDir(work_dir_.path()).isEmpty());
}

void Form2Test::ConvertShowsProgressThenCompletionAndEnds() {
  auto sheet = std::make_unique<SparseSheet>();
  sheet->Put(1, 1, CellValue::Text("Name"));
  sheet->Put(2, 1, CellValue::Text("Ada"));
  sheet->Seal();
  PaintCounter progress_paints;
  Form2* form = nullptr;
  auto files = std::make_unique<testing::MemoryFileSystem>();
  testing::MemoryFileSystem& disk = *files;
  WatchingService::shown_at_open = false;
  auto service = std::make_unique<WatchingService>(
      [&] { return form->Label3->isVisible() && progress_paints.paints > 0; }, std::move(sheet));
  form = &MakeForm("/data/names.xls", std::move(service), std::move(files));
  form->Label3->installEventFilter(&progress_paints);
  form->show();
  QVERIFY(QTest::qWaitForWindowExposed(form));

  Click(form->Command2);
  AnswerNextMessageBox();
  Click(form->Command1);

  QVERIFY(WatchingService::shown_at_open);
  QVERIFY(seen_box_.has_value());
  QCOMPARE(seen_box_->buttons, 1);
  QCOMPARE(end_status_, std::optional<int>(0));
  QCOMPARE(QString::fromStdString(disk.Contents("xmlstructure.xml")),
           QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>\r\n<node id=\"n1\" "
                   "lbl=\"Name\">\r\n<value>Ada</value>\r\n</node>\r\n</Main>\r\n"));
  QCOMPARE(form->windowTitle(), QString("Zerova"));
}

// Convert with the real services: the fixture's document and the completion
// message with status 0, or an error report with status 1 and no document.
void Form2Test::ConvertEnds_data() {
  QTest::addColumn<QString>("answer");
  QTest::addColumn<QString>("message");
  QTest::addColumn<int>("status");
  const QString fixture = ZEROVA_TEST_DATA "/basic/input.xls";
  QTest::newRow("real fixture") << fixture << "XML created successfully" << 0;
  QTest::newRow("cancelled selection") << ""
                                       << "no spreadsheet file was chosen" << 1;
  QTest::newRow("missing file") << "/nonexistent/a.xls"
                                << "/nonexistent/a.xls: no such file" << 1;
  QTest::newRow("a folder") << "/"
                            << "/: is a folder, not a spreadsheet file" << 1;
}

void Form2Test::ConvertEnds() {
  QFETCH(QString, answer);
  QFETCH(QString, message);
  QFETCH(int, status);
  Form2& form = MakeForm(answer);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  Click(form.Command2);
  AnswerNextMessageBox();
  Click(form.Command1);
  QVERIFY2(seen_box_.has_value(), "no message box");
  QCOMPARE(seen_box_->title, QString("Dizuzize"));
  QCOMPARE(seen_box_->text, message);
  QCOMPARE(seen_box_->icon == QMessageBox::NoIcon, status == 0);
  QVERIFY(!seen_box_->convert_enabled && seen_box_->progress_visible);
  QCOMPARE(end_status_, std::optional<int>(status));
  QFile written("xmlstructure.xml"), expected(ZEROVA_TEST_DATA "/basic/expected.xml");
  if (status != 0) {
    QVERIFY(!written.exists());
    return;
  }
  QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
  QCOMPARE(written.readAll(), expected.readAll());
}

}  // namespace zerova

QTEST_MAIN(zerova::Form2Test)
#include "form2_test.moc"
