#include "form/Dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
    return QFileDialog::getOpenFileName(parent_, title, QString(), filter);
}

QString WidgetDialogs::saveFile(const QString& title, const QString& filter) {
    return QFileDialog::getSaveFileName(parent_, title, QString(), filter);
}
