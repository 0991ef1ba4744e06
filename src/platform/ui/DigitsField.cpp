#include "platform/ui/DigitsField.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace kestrel {

QLineEdit* DigitsField(int digits, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QString("[0-9]{0,%1}").arg(digits)), field));
  field->setMaxLength(digits);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(digits + 2, '0')));
  return field;
}

} // namespace kestrel
