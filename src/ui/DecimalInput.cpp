#include "ui/DecimalInput.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace rv {

namespace {

/// Turns a typed comma into the point the box's C locale reads as the decimal mark (the C
/// locale would take a comma for a group separator: "1,5" would become 15).
class CCommaAsPoint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->text() != QStringLiteral(",")) return false;
        QKeyEvent point(QEvent::KeyPress, Qt::Key_Period, key->modifiers(), QStringLiteral("."),
                        key->isAutoRepeat(), static_cast<ushort>(key->count()));
        QApplication::sendEvent(watched, &point);
        return true;
    }
};

}  // namespace

QValidator* NewDecimalValidator(QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.,]*")),
                                           parent);
}

void UsePointDecimals(QAbstractSpinBox* box)
{
    // The C locale writes a point and no group separators.
    box->setLocale(QLocale::c());
    box->installEventFilter(new CCommaAsPoint(box));
}

}  // namespace rv
