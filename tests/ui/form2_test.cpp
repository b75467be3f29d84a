// Form2 on the offscreen platform: its layout, its states, and each way the
// program ends. The file dialog and the end of the program are stood in for;
// message boxes are the real ones, answered as a user would.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <optional>

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

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

  Form2& MakeForm(QString answer, std::unique_ptr<SpreadsheetService> spreadsheets = nullptr) {
    dir_.emplace();
    QDir::setCurrent(dir_->path());
    dialogs_.clear();
    end_status_.reset();
    box_.clear();
    Form2Platform platform{std::make_unique<FakeOpenDialog>(answer, &dialogs_),
                           std::move(spreadsheets), nullptr,
                           [this](int status) { end_status_ = status; }};
    form_ = std::make_unique<Form2>(std::move(platform));
    form_->show();
    if (!QTest::qWaitForWindowActive(form_.get())) qWarning("the window never became active");
    return *form_;
  }
  // Answers the next message box with OK, noting its title, text, whether it has
  // no icon and one button, and whether Convert was enabled and progress shown behind it.
  void AnswerNextMessageBox(int tries = 500) {
    QTimer::singleShot(10, this, [this, tries] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr && tries > 0) AnswerNextMessageBox(tries - 1);
      if (box == nullptr) return;
      box_ = {box->windowTitle(), box->text()};
      for (bool b : {box->icon() == QMessageBox::NoIcon, box->buttons().size() == 1,
                     form_->Command1->isEnabled(), form_->Label3->isVisible()})
        box_ << QString::number(b);
      box->button(QMessageBox::Ok)->click();
    });
  }
  void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  std::unique_ptr<Form2> form_;
  QList<QStringList> dialogs_;
  std::optional<int> end_status_;
  QStringList box_;
  std::optional<QTemporaryDir> dir_;

 private slots:
  void cleanup() { form_.reset(); }

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
    QCOMPARE(QApplication::focusWidget(), form.Command2);
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

  // Select asks once, offering Excel files; a cancel is a choice of nothing.
  void SelectAsksOnce() {
    for (auto [answer, clicks] :
         {std::pair<QString, int>{"/data/a.xls", 1}, {"", 1}, {"/a.xls", 2}}) {
      Form2& form = MakeForm(answer);
      for (int i = 0; i < clicks; ++i) Click(form.Command2);
      QCOMPARE(dialogs_, QList<QStringList>{QStringList("(Excel File) (*.xls)")});
      QCOMPARE(form.SourcePath, answer);
      QVERIFY(!form.Command2->isEnabled() && form.Command1->isEnabled());
      QVERIFY(form.Command3->isEnabled() && !form.Label3->isVisible() && !end_status_);
    }
  }

  void ExitBeforeSelectingEndsAndWritesNothing() {
    Form2& form = MakeForm("/data/a.xls");
    Click(form.Command3);
    QCOMPARE(end_status_, std::optional<int>(0));
    Click(form.Command2);  // no handler runs once the program has ended
    QVERIFY(dialogs_.isEmpty() && QDir(dir_->path()).isEmpty());
  }

  // Convert with the real services: the fixture's document, the progress line
  // painted before the workbook is read, the completion message and status 0; or
  // the error in a message box, status 1 and no document.
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
      QCOMPARE(box_, (QStringList{"Dizuzize", message, ok ? "1" : "0", "1", "0", "1"}));
      QCOMPARE(end_status_, std::optional<int>(ok ? 0 : 1));
      QFile written("xmlstructure.xml"), expected(ZEROVA_TEST_DATA "/basic/expected.xml");
      QCOMPARE(written.exists(), ok);
      if (!ok) continue;
      QVERIFY(watching->painted);
      QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
      QCOMPARE(written.readAll(), expected.readAll());
    }
  }
};

}  // namespace zerova

QTEST_MAIN(zerova::Form2Test)
#include "form2_test.moc"
