#include "params/ui/ParamIo.h"

#include "link/SerialLink.h"

#include <QLineEdit>
#include <QPointer>

namespace quarvel {

namespace {
const char* const kTag = "tag";
} // namespace

QString fieldCode(const QLineEdit& field)
{
    return field.property(kTag).toString();
}

void setFieldCode(QLineEdit& field, const QString& code)
{
    field.setProperty(kTag, code);
}

void readParam(SerialLink& link, const QString& address, QLineEdit& field)
{
    const QString code = fieldCode(field);
    if (code.isEmpty() || link.bootLoaderActive()) // no answer can come: keep the text
        return;
    QPointer<QLineEdit> guard(&field); // the window may close while the answer is awaited
    const QString value = link.getValue(address, code);
    if (guard) {
        guard->setText(value);
        guard->setCursorPosition(0); // show a long value from its start
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
