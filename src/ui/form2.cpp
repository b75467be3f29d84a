#include "ui/form2.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <new>

#include "conversion/conversion_run.h"
#include "services/error.h"

namespace zerova {
namespace {

// A modal message box with one OK button, titled with the application title.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QString::fromLatin1(kApplicationTitle), text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace

Form2::Form2(Form2Platform platform, QWidget* parent)
    : QWidget(parent), cd1(this, std::move(platform.open_dialog)), platform_(std::move(platform)) {
  if (!platform_.spreadsheets) platform_.spreadsheets = NewSpreadsheetService();
  if (!platform_.file_system) platform_.file_system = NewLocalFileSystem();
  if (!platform_.end_program)
    platform_.end_program = [](int status) { QCoreApplication::exit(status); };

  CreateControls();
  connect(Command1, &QPushButton::clicked, this, [this] { Guarded(&Form2::Command1_Click); });
  connect(Command2, &QPushButton::clicked, this, [this] { Guarded(&Form2::Command2_Click); });
  connect(Command3, &QPushButton::clicked, this, [this] { Guarded(&Form2::Command3_Click); });
  Form_Load();
}

Form2::~Form2() = default;

void Form2::Form_Load() {
  Command1->setEnabled(false);
  Label3->setVisible(false);
}

// Select: ask for the file once; a cancel is a choice of nothing.
void Form2::Command2_Click() {
  cd1.Filter = QStringLiteral("(Excel File)|*.xls");
  cd1.ShowOpen();
  SourcePath = cd1.FileName;
  Command2->setEnabled(false);
  Command1->setEnabled(true);
}

// Convert: the conversion run, which ends the program itself.
void Form2::Command1_Click() {
  run_ = std::make_unique<ConversionRun>(*platform_.spreadsheets, *platform_.file_system,
                                         static_cast<WindowHooks&>(*this));
  run_->Run(QFile::encodeName(SourcePath).toStdString());
}

// Exit.
void Form2::Command3_Click() { End(0); }

void Form2::Guarded(void (Form2::*handler)()) {
  if (ended_) return;
  try {
    (this->*handler)();
  } catch (const Error& e) {
    ReportFailure(QString::fromStdString(e.what()));
  } catch (const std::bad_alloc&) {
    ReportFailure(QStringLiteral("not enough memory to finish"));
  } catch (const std::exception& e) {
    ReportFailure(QString::fromStdString(e.what()));
  }
}

// Also on stderr, for whoever started the window from a terminal.
void Form2::ReportFailure(const QString& description) {
  std::fprintf(stderr, "zerova: %s\n", description.toLocal8Bit().constData());
  ShowMessage(this, QMessageBox::Critical, description);
  End(1);
}

void Form2::End(int status) {
  ended_ = true;
  platform_.end_program(status);
}

void Form2::DisableConvert() {
  Command1->setEnabled(false);
  Command1->repaint();
}

// The run keeps the thread until it ends the program, so the line is painted
// now rather than on the next pass of the event loop.
void Form2::ShowProgress() {
  Label3->setVisible(true);
  Label3->repaint();
}

void Form2::ShowCompletion(const std::string& message) {
  ShowMessage(this, QMessageBox::NoIcon, QString::fromStdString(message));
}

void Form2::EndProgram() { End(0); }

}  // namespace zerova
