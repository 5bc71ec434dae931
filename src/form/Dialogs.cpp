#include "form/Dialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

// "BAS files (*.bas)|*.bas" pairs a description with its patterns; Qt wants
// "BAS files (*.bas)" entries joined by ";;". "*.*" means every file here, also one without a
// dot, which Qt's "*.*" would hide.
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.trimmed() == QLatin1String("*.*"))
            patterns = QStringLiteral("*");
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1Char('('));
        if (paren >= 0)
            description.truncate(paren);
        entries.append(description.trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace

void WidgetDialogs::errorBox(int number, const QString& description) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error#%1").arg(number), description,
                    QMessageBox::Ok, parent_);
    box.exec();
}

void WidgetDialogs::message(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString WidgetDialogs::openFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, QString(), qtFilter(filter));
}

QString WidgetDialogs::saveFile(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, QString(), qtFilter(filter));
}

QString Dialogs::askTransferFile(bool save, const QString& filter) {
    const QString path = save ? saveFile(QString(), filter) : openFile(QString(), filter);
    if (path.isEmpty())
        message(QCoreApplication::applicationName(), QStringLiteral("Cancel"));
    return path;
}
