#include "form/Dialogs.h"

#include "form/Twips.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTreeView>

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

// Twips: 800 x 420 pixels at 96 DPI.
constexpr int FileDialogWidth = 12000;
constexpr int FileDialogHeight = 6300;

// Qt's own file dialog opens narrower than its detail columns, each sized for a sample text
// shorter than what it shows here ("128 bytes", "plain text document", a date with seconds):
// Size, Type and Date showed cut. They take their contents' width and the name the rest, in a
// dialog wide enough for all four. A platform's native dialog has no such view and is left be.
QString chooseFile(QFileDialog& dialog) {
    if (auto* view = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        dialog.resize(Twips::toPixels(FileDialogWidth), Twips::toPixels(FileDialogHeight));
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
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
    QFileDialog dialog(parent_, title, QString(), qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chooseFile(dialog);
}

QString WidgetDialogs::saveFile(const QString& title, const QString& filter) {
    QFileDialog dialog(parent_, title, QString(), qtFilter(filter));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chooseFile(dialog);
}

QString Dialogs::askTransferFile(bool save, const QString& filter) {
    const QString path = save ? saveFile(QString(), filter) : openFile(QString(), filter);
    if (path.isEmpty())
        message(QCoreApplication::applicationName(), QStringLiteral("Cancel"));
    return path;
}
