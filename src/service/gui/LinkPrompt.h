#pragma once
// How the service screens report the outcome of a radio operation: the message box with the
// result's text (values filled in) and a row in the main window's log.

#include <QString>

#include "link/Transfer.h"

class QWidget;

namespace rv {

class CFormControls;

/// Gives every control of a built form its accessible name: a field its label's text, a
/// button or check box its own text (without the mnemonic).
void NameFormControls(const CFormControls& controls);

/// The text of a result, "#n" when the language file has none.
QString LinkResultText(const LinkResult& result);
/// Shows the result's message (information on success, a warning when no radio answered or
/// the band differs, an error otherwise) and logs it under operation.
void ReportLinkResult(QWidget* parent, const QString& operation, const LinkResult& result);

/// Wait cursor for the length of a radio operation.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

}  // namespace rv
