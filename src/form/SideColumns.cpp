// The buffer column (command buffer, keyword help) and the MODBUS column.
#include "form/ClickLabel.h"
#include "form/Columns.h"
#include "form/Controls.h"
#include "form/Twips.h"
#include "form/WidgetFactory.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {
constexpr int BufferRowTop = 480;
constexpr int BufferRowHeight = 225;
constexpr int BufferRowsPerColumn = 32;
constexpr int BufferSubColumnWidth = 2010;
} // namespace

void buildBufferColumn(QWidget* w, Controls& c) {
    auto* f7 = c.bufferFrame = Make::frame(w, "Frame7", "Buffer  (click text to insert text)",
                                           BufferColumnLeft, 0, 4095, 7975);
    c.clearBufferButton =
        Make::button(f7, "Command20", "Clear", 3180, 165, 840, 285, u"Очистить буффер"_s);
    const QFont mono = courierFont(8);
    for (int n = 0; n < 64; ++n) {
        const int left = 60 + (n / BufferRowsPerColumn) * BufferSubColumnWidth;
        const int top = BufferRowTop + (n % BufferRowsPerColumn) * BufferRowHeight;
        auto* l = Make::clickLabel(f7, QStringLiteral("Label13(%1)").arg(n), left, top, 1710,
                                   BufferRowHeight);
        l->setFont(mono);
        c.bufferLabels[n] = l;
        auto* x =
            Make::button(f7, "Command17", "x", left + 1725, top + 15, 225, BufferRowHeight - 15);
        x->setObjectName(QStringLiteral("Command17(%1)").arg(n));
        x->setAccessibleName(QStringLiteral("Delete buffer line %1").arg(n + 1));
        c.deleteLineButtons[n] = x;
    }

    auto* f8 = c.helpFrame = Make::frame(w, "Frame8", "Help (click text to insert text)",
                                         BufferColumnLeft, 7975, 4095, 1495);
    static const int columns[3] = {120, 1500, 2820};
    for (int i = 0; i < 15; ++i) {
        auto* l = Make::clickLabel(f8, QStringLiteral("Label14(%1)").arg(i), columns[i % 3],
                                   240 + (i / 3) * 240, 1215, 255);
        l->setFont(courierFont(9));
        c.helpLabels[i] = l;
    }

    c.addToBufferButton = Make::button(w, "Command21", "ADD", BufferColumnLeft, 9480, 720, 375,
                                       u"Скопировать в буффер "_s);
    c.clearLineButton = Make::button(w, "Command22", "X", BufferColumnLeft + 735, 9480, 375, 375,
                                     u"Очистить строку"_s);
    c.creditLabel = Make::label(w, "Label16", AuthorCredit, 11100, 9480, 1665, 210);
    c.webAddressLabel = Make::clickLabel(w, "Label15", 11100, 9680, 1665, 210);
    c.webAddressLabel->setText(QString::fromLatin1(MakerWebAddress).remove("https://").chopped(1));
    QPalette link = c.webAddressLabel->palette();
    link.setColor(QPalette::WindowText, QColor(0, 0, 192));
    c.webAddressLabel->setPalette(link);
    for (QLabel* l : {c.creditLabel, static_cast<QLabel*>(c.webAddressLabel)})
        l->setFont(twipsFont(l->font(), 120));
}

namespace {
void buildHexMonitor(QWidget* w, Controls& c) {
    auto* f = c.hexFrame = Make::frame(w, "Frame9", "HEX", ModbusColumnLeft, 0, 5535, 2775);
    c.hexEnableCheck = Make::check(f, "Check12", 120, 255, "Enable");
    c.hexEnableLabel = Make::label(f, "Label28", "Enable", 375, 255, 750, 225);
    c.clearHexButton = Make::button(f, "Command6", "Clear", 4560, 180, 855, 315);
    c.hexEdit = Make::textArea(f, "Text1", 120, 555, 5295, 2100, "HEX");
    c.hexEdit->setReadOnly(true);
}

void buildRequestBuilder(QWidget* w, Controls& c) {
    auto* f = c.builderFrame =
        Make::frame(w, "Frame10", "MODBUS", ModbusColumnLeft, 2760, 5535, 2895);
    c.builderHeading = Make::label(f, "Label19", u"Конструктор пакета"_s, 120, 225, 2400, 240);
    c.sendFrameButton = Make::button(f, "Command23", "Send", 3600, 180, 855, 315);
    c.clearFramesButton = Make::button(f, "Command25", "Clear", 4560, 180, 855, 315);

    // One row of captions over one row of fields, in frame order.
    c.addressFunctionLabel = Make::label(f, "Label3", "Addr Fun(hex)", 120, 555, 1140, 210);
    c.deviceAddressEdit = Make::edit(f, "Text5", "10", 120, 765, 480, 285, "Addr");
    c.functionEdit = Make::edit(f, "Text6", "3", 660, 765, 480, 285, "Fun(hex)");
    c.dataAddressLabel = Make::label(f, "Label21", "Addr Param", 1260, 555, 900, 210);
    c.dataAddressEdit = Make::edit(f, "Text9", {}, 1260, 765, 780, 285, "Addr Param");
    c.quantityLabel = Make::label(f, "Label23", "Qty / Data", 2160, 555, 900, 210);
    c.quantityEdit = Make::edit(f, "Text10", {}, 2160, 765, 780, 285, "Qty / Data");
    c.lengthDataLabel = Make::label(f, "Label20", "Len   Data", 3060, 555, 1000, 210);
    c.dataBlockEdit = Make::edit(f, "Text7", {}, 3330, 765, 2085, 285, "Data");
    c.dataBlockCheck = Make::check(f, "Check4", 3060, 795, "Len");

    c.dataAddressHexCheck = Make::check(f, "Check8", 1260, 1110, "Addr Param hex");
    c.dataAddressHexLabel = Make::label(f, "Label22", "hex", 1500, 1110, 330, 225);
    c.dataAddressCheck = Make::check(f, "Check10", 1260, 1380, "Add Addr Param");
    c.dataAddressAddLabel = Make::label(f, "Label25", "Add", 1500, 1380, 330, 225);
    c.quantityHexCheck = Make::check(f, "Check9", 2160, 1110, "Qty / Data hex");
    c.quantityHexLabel = Make::label(f, "Label24", "hex", 2400, 1110, 330, 225);
    c.quantityCheck = Make::check(f, "Check11", 2160, 1380, "Add Qty / Data");
    c.quantityAddLabel = Make::label(f, "Label26", "Add", 2400, 1380, 330, 225);
    c.dataHexOption = Make::option(f, "Option7", 3330, 1110, "Data hex");
    c.dataHexLabel = Make::label(f, "Label4", "hex", 3570, 1110, 330, 225);
    c.dataAsciiOption = Make::option(f, "Option8", 3930, 1110, "Data ascii");
    c.dataAsciiLabel = Make::label(f, "Label17", "ascii", 4170, 1110, 450, 225);
    c.crcCrlfLabel = Make::label(f, "Label18", "CRC  CrLf", 4620, 1110, 800, 210);
    c.crcCheck = Make::check(f, "Check5", 4620, 1380, "CRC");
    c.crlfCheck = Make::check(f, "Check6", 5010, 1380, "CrLf");
    for (QCheckBox* b : {c.dataAddressHexCheck, c.dataAddressCheck, c.quantityHexCheck,
                         c.quantityCheck, c.crcCheck})
        b->setChecked(true);
    c.dataHexOption->setChecked(true);

    c.sentFramesEdit = Make::textArea(f, "Text11", 120, 1680, 5295, 1110, "Sent frames");
    c.sentFramesEdit->setReadOnly(true);

    // The builder's context menu: polling the frame in the fields, and how often.
    c.pollAction = new QAction(QStringLiteral("Poll every N ms"), f);
    c.pollAction->setObjectName(QStringLiteral("mnuPoll"));
    c.pollPeriodMenu = new QMenu(QStringLiteral("Poll period"), f);
    c.pollPeriodMenu->setObjectName(QStringLiteral("mnuPollPeriod"));
}

void buildReplyParser(QWidget* w, Controls& c) {
    auto* f = c.parserFrame =
        Make::frame(w, "Frame11", "MODBUS Parser", ModbusColumnLeft, 5640, 5535, 4215);
    c.parserEnableCheck = Make::check(f, "Check7", 120, 255, "Enable");
    c.parserEnableLabel = Make::label(f, "Label27", "Enable", 375, 255, 750, 225);
    c.clearParserButton = Make::button(f, "Command24", "Clear", 4560, 180, 855, 315);
    c.parserEdit = Make::textArea(f, "Text8", 120, 555, 5295, 3540, "MODBUS Parser");
    c.parserEdit->setReadOnly(true);
}
} // namespace

void buildModbusColumn(QWidget* w, Controls& c) {
    buildHexMonitor(w, c);
    buildRequestBuilder(w, c);
    buildReplyParser(w, c);
}
