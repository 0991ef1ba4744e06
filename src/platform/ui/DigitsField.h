#pragma once
// A text field for a whole number of up to a number of digits: anything else, typed or pasted,
// leaves the field as it was. Wide enough for its digits.

class QLineEdit;
class QWidget;

namespace kestrel {

QLineEdit* DigitsField(int digits, QWidget* parent);

} // namespace kestrel
