#include "params/ui/ParamIo.h"

#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QLineEdit>
#include <QPointer>

namespace quarvel {

namespace {
const char* const kTag = "tag";
const char* const kBlankedByRead = "blankedByRead";
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

Answer writeParam(SerialLink& link, const QString& address, QLineEdit& field)
{
    const QString code = fieldCode(field);
    if (code.isEmpty())
        return Answer::Confirmed; // nothing to write
    return link.setValue(address, code, field.text());
}

} // namespace quarvel
