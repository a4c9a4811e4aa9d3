#include "link/ui/DialogPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace quarvel {

namespace {

const QString kTitle = QStringLiteral("Quarvel");

// A busy pointer must not hide a question from the user.
class NormalPointer {
public:
    NormalPointer() : m_restore(QApplication::overrideCursor() != nullptr)
    {
        if (m_restore)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalPointer()
    {
        if (m_restore)
            QApplication::restoreOverrideCursor();
    }

private:
    bool m_restore;
};

QString filterFor(const QString& pattern)
{
    return QStringLiteral("%1 (%1);;All files (*)").arg(pattern);
}

} // namespace

void DialogPrompter::inform(const QString& text)
{
    NormalPointer pointer;
    QMessageBox::information(m_parent, kTitle, text, QMessageBox::Ok);
}

bool DialogPrompter::askYesNo(const QString& text)
{
    NormalPointer pointer;
    return QMessageBox::question(m_parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

QString DialogPrompter::askText(const QString& prompt)
{
    NormalPointer pointer;
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, kTitle, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QString DialogPrompter::openFileName(const QString& title, const QString& pattern, const QString& initial)
{
    NormalPointer pointer;
    return QFileDialog::getOpenFileName(m_parent, title, initial.contains(QLatin1Char('*')) ? QString() : initial,
                                        filterFor(pattern));
}

QStringList DialogPrompter::openFileNames(const QString& title, const QString& pattern, const QString& initial)
{
    NormalPointer pointer;
    return QFileDialog::getOpenFileNames(m_parent, title, initial.contains(QLatin1Char('*')) ? QString() : initial,
                                         filterFor(pattern));
}

QString DialogPrompter::saveFileName(const QString& title, const QString& pattern, const QString& initial)
{
    NormalPointer pointer;
    return QFileDialog::getSaveFileName(m_parent, title, initial.contains(QLatin1Char('*')) ? QString() : initial,
                                        filterFor(pattern));
}

} // namespace quarvel
