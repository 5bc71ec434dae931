#pragma once

#include <QString>

class QWidget;

// Error numbers shown in the "Error#N" boxes. The description beside them is the operating
// system's or Qt's own text.
namespace ErrorNumber {
constexpr int FileNotFound = 53;
constexpr int DeviceIo = 57;
constexpr int PermissionDenied = 70;
constexpr int PathAccess = 75;
constexpr int InvalidPortNumber = 8002;
constexpr int PortOpen = 8005;
constexpr int PortUnavailable = 8012;
} // namespace ErrorNumber

// Every modal dialog the program shows goes through here, so tests can answer them without a
// screen and never wait on one.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Title "Error#N", the description as text, a critical icon and an OK button.
    virtual void errorBox(int number, const QString& description) = 0;
    virtual void message(const QString& title, const QString& text) = 0;
    // Empty result when the operator cancels.
    virtual QString openFile(const QString& title, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& filter) = 0;
};

class WidgetDialogs : public Dialogs {
public:
    explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}
    void errorBox(int number, const QString& description) override;
    void message(const QString& title, const QString& text) override;
    QString openFile(const QString& title, const QString& filter) override;
    QString saveFile(const QString& title, const QString& filter) override;

private:
    QWidget* parent_;
};

// The error number for a failed file operation.
int fileErrorNumber(int qtFileError);
