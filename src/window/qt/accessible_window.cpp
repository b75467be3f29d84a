#include "window/qt/accessible_window.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "window/qt/form2_window.h"

namespace zerova {
namespace {

class Form2Interface final : public QAccessibleWidget {
 public:
  explicit Form2Interface(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

  int childCount() const override { return static_cast<int>(NamedChildren().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QAccessibleInterface*> children = NamedChildren();
    return index >= 0 && index < children.size() ? children[index] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return static_cast<int>(NamedChildren().indexOf(const_cast<QAccessibleInterface*>(child)));
  }

 private:
  // Asked anew each time: a label's text may change.
  QList<QAccessibleInterface*> NamedChildren() const {
    QList<QAccessibleInterface*> named;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
      QAccessibleInterface* child = QAccessibleWidget::child(i);
      if (child != nullptr && !child->text(QAccessible::Name).isEmpty()) named.append(child);
    }
    return named;
  }
};

QAccessibleInterface* Form2Factory(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String(Form2Window::staticMetaObject.className())) return nullptr;
  return new Form2Interface(static_cast<QWidget*>(object));
}

}  // namespace

void DescribeForm2AsWindow() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(Form2Factory);
}

}  // namespace zerova
