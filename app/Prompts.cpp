#include "app/Prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

QString Prompts::applicationTitle() {
    return QCoreApplication::translate("Prompts", "R7260S调试工具");
}

void DialogPrompts::message(const QString &title, const QString &text) {
    QMessageBox::information(m_parent, title, text, QMessageBox::Ok);
}

bool DialogPrompts::askYesNo(const QString &title, const QString &text) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString DialogPrompts::openFileName(const QString &title, const QString &filter) {
    return QFileDialog::getOpenFileName(m_parent, title, QString(), qtFilter(filter));
}

QString DialogPrompts::saveFileName(const QString &title, const QString &filter) {
    // The window asks about overwriting itself, with its own wording.
    return QFileDialog::getSaveFileName(m_parent, title, QString(), qtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString DialogPrompts::folderName(const QString &title) {
    return QFileDialog::getExistingDirectory(m_parent, title);
}

QString DialogPrompts::qtFilter(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << (parts[i].contains(QLatin1Char('('))
                        ? parts[i]
                        : QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return entries.join(QStringLiteral(";;"));
}
