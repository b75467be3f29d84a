#include "window/accessible_window.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "window/form2.h"

namespace zerova {
namespace {

QAccessibleInterface* Form2Interface(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(Form2::staticMetaObject.className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void DescribeForm2AsWindow() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Form2Interface);
}

}  // namespace zerova
