#include "params/ui/ParamIo.h"

#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QLineEdit>
#include <QPalette>
#include <QPointer>

namespace quarvel {

namespace {
const char* const kTag = "tag";
const char* const kBlankedByRead = "blankedByRead";
const char* const kOwnToolTip = "ownToolTip";
} // namespace

QString fieldCode(const QLineEdit& field)
{
    return field.property(kTag).toString();
}

void setFieldCode(QLineEdit& field, const QString& code)
{
    field.setProperty(kTag, code);
}

bool readParam(SerialLink& link, const QString& address, QLineEdit& field)
{
    const QString code = fieldCode(field);
    // No answer can come (the boot loader has the line, the instrument is unplugged): keep the
    // text, which is the only copy of the value on this side.
    if (code.isEmpty() || link.bootLoaderActive() || !link.port().isOpen())
        return false;
    QPointer<QLineEdit> guard(&field); // the window may close while the answer is awaited
    const SerialLink::Read read = link.read(address, code);
    if (!guard || !link.port().isOpen())
        return false;
    guard->setText(read.value);
    guard->setCursorPosition(0); // show a long value from its start
    guard->setProperty(kBlankedByRead, read.value.isEmpty());
    return read.status != ReadStatus::Unanswered;
}

bool blankedByRead(const QLineEdit& field)
{
    return field.text().isEmpty() && field.property(kBlankedByRead).toBool();
}

void clearBlankedByRead(QLineEdit& field)
{
    field.setProperty(kBlankedByRead, false);
}

void markUnsent(QLineEdit& field, bool unsent)
{
    const bool marked = field.property(kOwnToolTip).isValid();
    if (unsent == marked)
        return;
    if (unsent) {
        field.setProperty(kOwnToolTip, field.toolTip());
        field.setToolTip(kUnsentNote);
        field.setAccessibleDescription(kUnsentNote);
        QPalette tinted = field.palette();
        tinted.setColor(QPalette::Base, QColor(255, 236, 179)); // pale amber: dark text stays readable
        field.setPalette(tinted);
    } else {
        field.setToolTip(field.property(kOwnToolTip).toString());
        field.setProperty(kOwnToolTip, QVariant());
        field.setAccessibleDescription(QString());
        field.setPalette(QPalette());
    }
}

Answer writeParam(SerialLink& link, const QString& address, QLineEdit& field)
{
    const QString code = fieldCode(field);
    if (code.isEmpty())
        return Answer::Confirmed; // nothing to write
    return link.setValue(address, code, field.text());
}

} // namespace quarvel
