#pragma once
// Typed decimal numbers in the program's boxes: a point or a comma as the decimal mark,
// whatever the desktop's language.

class QObject;
class QValidator;
class QAbstractSpinBox;

namespace rv {

/// A validator for typed decimal numbers: digits, and a point or a comma as the decimal mark.
QValidator* NewDecimalValidator(QObject* parent);
/// Makes a number box write a point whatever the desktop's language, and take a typed comma as
/// the decimal mark.
void UsePointDecimals(QAbstractSpinBox* box);

}  // namespace rv
