// Every caption shows whole, clear of its neighbours, and the file dialogs show every column;
// CTest runs this at 96 DPI and at 192, scaled by Qt and unscaled.
#include "TestSupport.h"
#include "app/WidthButtons.h"
#include "form/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTimer>
#include <QTreeView>

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void captionsAndFileDialogColumns();
};

namespace {

// Where a label's text or a check or option box's indicator shows, in parent coordinates.
QRect captionBox(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text().isEmpty()
                   ? QRect()
                   : QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                         label->sizeHint(), label->geometry());
    const bool radio = qobject_cast<const QRadioButton*>(w);
    if (!radio && !qobject_cast<const QCheckBox*>(w))
        return {};
    QStyleOptionButton option;
    option.initFrom(w);
    return w->style()
        ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator,
                         &option, w)
        .translated(w->pos());
}

// Whether a caption needs more room than it has.
bool cut(const QWidget* w) {
    if (const auto* button = qobject_cast<const QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->fontMetrics().horizontalAdvance(button->text()) >
               button->style()
                   ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                   .width();
    }
    const QSize needs = w->sizeHint(), has = w->size();
    return !captionBox(w).isEmpty() &&
           (needs.width() > has.width() || needs.height() > has.height());
}

} // namespace

// At full width: a narrower window only hides whole columns, so it shows no caption or neighbour
// that the full one does not.
void TestLayout::captionsAndFileDialogColumns() {
    QApplication::setStyle(QStringLiteral("Fusion")); // as main() does
    // The file dialog keeps its state in the user's settings: not this user's.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    // A run meant for another screen must be on it: "DPI x device pixel ratio".
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QList<QByteArray> meant = qgetenv("BRENMOOR_TEST_SCREEN").split('x');
    if (meant.size() == 2) {
        QCOMPARE(screen->logicalDotsPerInchX(), meant[0].toDouble());
        QCOMPARE(screen->devicePixelRatio(), meant[1].toDouble());
    }
    Terminal w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w, 20000));
    w.widthButtons().setWidthTwips(WidthButtons::Full);
    // Tall enough for the port row below the design height.
    w.resize(w.width(), Twips::toPixels(10500));
    WAIT_VERIFY(w.hexFrame->isVisibleTo(&w)); // the resize shows the columns

    const auto shown = [&w](const QWidget* c) {
        return c->isVisibleTo(&w) && c->mapTo(&w, QPoint(0, 0)).x() < w.width();
    };
    QStringList faults;
    int captions = 0;
    QList<QWidget*> parents{&w};
    for (QGroupBox* frame : w.findChildren<QGroupBox*>())
        parents << frame;
    for (QWidget* parent : parents) {
        if (!shown(parent))
            continue;
        QList<QWidget*> siblings;
        for (QWidget* c : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (shown(c))
                siblings << c;
        for (QWidget* c : siblings) {
            if (cut(c))
                faults << c->objectName() + ": cut off";
            const QRect box = captionBox(c);
            if (box.isEmpty())
                continue;
            ++captions;
            for (QWidget* other : siblings) {
                if (other == c || qobject_cast<QGroupBox*>(other))
                    continue;
                const QRect otherBox = captionBox(other);
                // Two captions clash where they show; any other control where it stands.
                if (box.intersects(otherBox.isEmpty() ? other->geometry() : otherBox) &&
                    (otherBox.isEmpty() || c < other))
                    faults << c->objectName() + " overlaps " + other->objectName();
            }
        }
    }
    QVERIFY(captions > 15);

    // Size, Type and Date show whole beside the name, without scrolling, in both file dialogs.
    QDir().mkdir(QStringLiteral("programs")); // the window's working directory
    for (const char* name : {"blink.bas", "notes.txt", "flash-image.bin"})
        QVERIFY(writeFile(QString::fromLatin1(name), QByteArray(12345, 'x')));
    for (bool save : {false, true}) {
        QTimer::singleShot(0, [&faults] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* view = dialog ? dialog->findChild<QTreeView*>() : nullptr;
            // The folder is read in the background; the columns follow what it shows.
            const auto cutColumns = [view] {
                const QHeaderView* header = view->header();
                QString columns = view->model()->rowCount(view->rootIndex()) < 4
                                      ? QStringLiteral("the folder's files did not show")
                                      : QString();
                for (int c = 1; c < header->count(); ++c) {
                    const int needs =
                        qMax(static_cast<const QAbstractItemView*>(view)->sizeHintForColumn(c),
                             header->sectionSizeHint(c));
                    if (header->sectionSize(c) < needs ||
                        header->sectionViewportPosition(c) + header->sectionSize(c) >
                            view->viewport()->width())
                        columns += QString::asprintf(" column %d cut", c);
                }
                return columns;
            };
            if (!view || !QTest::qWaitFor([&] { return cutColumns().isEmpty(); }, 20000))
                faults << (view ? cutColumns() : QStringLiteral("no detail view"));
            if (dialog)
                dialog->close();
        });
        WidgetDialogs dialogs(&w);
        QVERIFY((save ? dialogs.saveFile(QStringLiteral("Save"), "BAS files (*.bas)|*.*")
                      : dialogs.openFile(QStringLiteral("Open"), "All files|*.*"))
                    .isEmpty());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
