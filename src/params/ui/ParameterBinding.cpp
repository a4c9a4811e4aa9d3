#include "params/ui/ParameterBinding.h"

#include "link/CommandFraming.h"
#include "link/Prompter.h"
#include "link/SerialLink.h"
#include "params/ParameterTable.h"
#include "params/ProfilePresets.h"
#include "params/ui/ParamIo.h"
#include "ui/BusyPointer.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include <algorithm>

namespace quarvel {

ParameterBinding::ParameterBinding(SerialLink& link, QVector<QLineEdit*> parameters, QVector<QLineEdit*> reports,
                                   QObject* parent)
    : QObject(parent), m_link(link), m_parameters(std::move(parameters)), m_reports(std::move(reports))
{
    for (QLineEdit* field : std::as_const(m_parameters))
        field->installEventFilter(this);
}

bool ParameterBinding::eventFilter(QObject* watched, QEvent* event)
{
    // Compared as QObject: a field being destroyed still sends events, and is no QLineEdit by then.
    const auto found = std::find_if(m_parameters.cbegin(), m_parameters.cend(),
                                    [watched](const QLineEdit* field) { return field == watched; });
    const int index = found == m_parameters.cend() ? -1 : static_cast<int>(found - m_parameters.cbegin());
    if (index < 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // A typed character: letters, digits, blank, Backspace, Enter, Escape, control letters;
        // not Delete, arrows, Home, End or function keys, which carry no character, and not Tab
        // or Shift+Tab, which only move the focus.
        const int k = key->key();
        const bool character =
            !key->text().isEmpty() && k != Qt::Key_Delete && k != Qt::Key_Tab && k != Qt::Key_Backtab;
        if (character)
            keyPressed(index, key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window or a message box taking the focus is not the field losing it; writing
        // then would raise the rejection message again and again.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            focusLost(index);
    }
    return QObject::eventFilter(watched, event); // nothing is filtered or swallowed
}

void ParameterBinding::keyPressed(int index, bool enter)
{
    m_dirty = true;
    clearBlankedByRead(*m_parameters[index]);
    if (enter)
        write(index);
}

void ParameterBinding::focusLost(int index)
{
    // Passing through a field that a failed read emptied would write the empty text over the
    // instrument's value (a display line holding "?" reads as a refusal).
    if (blankedByRead(*m_parameters[index]))
        return;
    write(index);
}

void ParameterBinding::write(int index)
{
    if (send(index) == Answer::Unanswered)
        tellUnanswered();
}

Answer ParameterBinding::send(int index)
{
    const Answer answer = writeParam(m_link, kInstrumentAddress, *m_parameters[index]);
    setUnsent(index, answer == Answer::Unanswered);
    return answer;
}

void ParameterBinding::setUnsent(int index, bool unsent)
{
    if (unsent)
        m_unsent.insert(index);
    else
        m_unsent.remove(index);
    markUnsent(*m_parameters[index], unsent);
}

bool ParameterBinding::sendUnsent()
{
    BusyScope scope(m_link);
    QPointer<ParameterBinding> alive(this);
    QList<int> fields = m_unsent.values();
    std::sort(fields.begin(), fields.end());
    for (int i = 0; alive && i < fields.size(); ++i)
        send(fields[i]);
    return alive && m_unsent.isEmpty();
}

QStringList ParameterBinding::unsentValues() const
{
    QList<int> fields = m_unsent.values();
    std::sort(fields.begin(), fields.end());
    QStringList lines;
    for (int i : fields) {
        const QLineEdit& field = *m_parameters[i];
        lines << QStringLiteral("%1 (%2): %3").arg(field.accessibleName(), fieldCode(field), field.text());
    }
    return lines;
}

void ParameterBinding::forgetUnsent(const QStringList& codes)
{
    for (int i : m_unsent.values()) {
        if (codes.contains(fieldCode(*m_parameters[i])))
            setUnsent(i, false);
    }
}

void ParameterBinding::tellUnanswered()
{
    if (!m_link.bootLoaderActive()) // nothing is sent then, so nothing can be answered
        m_link.prompter().inform(m_link.unansweredMessage());
}

void ParameterBinding::reloadParameters()
{
    BusyPointer busy;
    BusyScope scope(m_link);
    QPointer<ParameterBinding> alive(this);
    // A value the instrument never confirmed (it was away or silent) is the user's only copy: the
    // field keeps it, and the next write of the field (Enter, or the focus leaving it) sends it.
    const auto read = [&](int i) {
        if (!m_unsent.contains(i))
            readParam(m_link, kInstrumentAddress, *m_parameters[i]);
    };
    read(0);
    for (int i = 0; alive && i < m_parameters.size(); ++i)
        read(i);
    for (int j = 0; alive && j < m_reports.size(); ++j)
        readParam(m_link, kInstrumentAddress, *m_reports[j]);
}

void ParameterBinding::updateReport()
{
    BusyScope scope(m_link);
    QPointer<ParameterBinding> alive(this);
    bool answered = true;
    for (int j = 0; alive && j < m_reports.size(); ++j)
        answered &= readParam(m_link, kInstrumentAddress, *m_reports[j]);
    if (alive && answered)
        emit reportUpdated();
    else if (alive)
        emit reportNotRead();
}

void ParameterBinding::applyPreset(const std::array<int, 5>& fields, int presetIndex)
{
    const auto& presets = profilePresets();
    if (presetIndex < 0 || presetIndex >= presets.size())
        return;
    const auto values = presets[presetIndex].values();
    for (size_t k = 0; k < fields.size(); ++k)
        m_parameters[fields[k]]->setText(values[k]);
    m_dirty = true;
    BusyScope scope(m_link);
    QPointer<ParameterBinding> alive(this);
    bool unanswered = false;
    for (size_t k = 0; alive && k < fields.size(); ++k)
        unanswered |= send(fields[k]) == Answer::Unanswered;
    if (alive && unanswered)
        tellUnanswered(); // once for the preset, not once per field
}

} // namespace quarvel
