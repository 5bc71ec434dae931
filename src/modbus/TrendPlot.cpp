#include "modbus/TrendPlot.h"

#include "modbus/TrendModel.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>

namespace {
constexpr int Left = 56;
constexpr int Right = 64;
constexpr int Top = 26;
constexpr int Bottom = 34;
constexpr int LegendEntries = 8;

const std::array<QColor, 8> CurveColors = {
    QColor(0, 90, 200),  QColor(0, 150, 60),  QColor(160, 0, 160), QColor(200, 120, 0),
    QColor(0, 150, 170), QColor(120, 80, 40), QColor(90, 90, 255), QColor(220, 0, 90)};
const QColor ReplyColor(90, 90, 90);
const QColor TimeoutColor(220, 0, 0);
const QColor ExceptionColor(255, 140, 0);

// A polyline that keeps, for each pixel column, the lowest and the highest point: it looks as
// the full line would, and costs the plot's width however many polls it holds.
class ColumnPath {
public:
    void add(const QPointF& at) {
        const int column = int(at.x());
        if (open_ && column == column_) {
            low_ = qMax(low_, at.y()); // y grows downwards
            high_ = qMin(high_, at.y());
            return;
        }
        flush();
        open_ ? path.lineTo(at) : path.moveTo(at);
        column_ = column;
        low_ = high_ = at.y();
        open_ = true;
    }
    void gap() {
        flush();
        open_ = false;
    }
    QPainterPath finish() {
        flush();
        return path;
    }

private:
    void flush() {
        if (!open_ || low_ == high_)
            return;
        path.lineTo(column_, low_);
        path.lineTo(column_, high_);
        low_ = high_;
    }

    QPainterPath path;
    int column_ = 0;
    double low_ = 0;
    double high_ = 0;
    bool open_ = false;
};

QString clockText(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

TrendPlot::TrendPlot(const TrendModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void TrendPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area(Left, Top, width() - Left - Right, height() - Top - Bottom);
    p.setPen(Qt::lightGray);
    p.drawRect(area);
    const auto& polls = model_.polls();
    if (polls.empty() || area.width() < 10 || area.height() < 10) {
        p.setPen(Qt::darkGray);
        p.drawText(area, Qt::AlignCenter,
                   tr("No polls yet: right-click the MODBUS panel, or Ctrl+click its Send"));
        return;
    }

    const qint64 firstMs = polls.front().atMs;
    const qint64 spanMs = qMax<qint64>(1, polls.back().atMs - firstMs);
    int low = 65535, high = 0, slowest = 1;
    for (const TrendPoll& poll : polls) {
        for (quint16 v : poll.values) {
            low = qMin(low, int(v));
            high = qMax(high, int(v));
        }
        slowest = qMax(slowest, int(poll.replyMs));
    }
    if (low > high)
        low = high = 0;
    if (low == high)
        ++high;
    auto x = [&](qint64 ms) {
        return area.left() + double(ms - firstMs) * area.width() / spanMs;
    };
    auto yValue = [&](int v) {
        return area.bottom() - double(v - low) * area.height() / (high - low);
    };
    auto yReply = [&](int ms) {
        return area.bottom() - double(ms) * area.height() / slowest;
    };

    // Horizontal grid and both axes' numbers.
    p.setPen(QColor(235, 235, 235));
    for (int i = 1; i < 4; ++i)
        p.drawLine(area.left(), area.top() + area.height() * i / 4, area.right(),
                   area.top() + area.height() * i / 4);
    p.setPen(Qt::black);
    const QRect leftAxis(0, area.top() - 8, Left - 6, area.height() + 16);
    p.drawText(leftAxis, Qt::AlignRight | Qt::AlignTop, QString::number(high));
    p.drawText(leftAxis, Qt::AlignRight | Qt::AlignBottom, QString::number(low));
    p.setPen(ReplyColor);
    const QRect rightAxis(area.right() + 6, area.top() - 8, Right - 6, area.height() + 16);
    p.drawText(rightAxis, Qt::AlignLeft | Qt::AlignTop, tr("%1 ms").arg(slowest));
    p.drawText(rightAxis, Qt::AlignLeft | Qt::AlignBottom, tr("0 ms"));
    p.setPen(Qt::black);
    const QRect timeAxis(area.left(), area.bottom() + 14, area.width(), Bottom - 14);
    p.drawText(timeAxis, Qt::AlignLeft | Qt::AlignVCenter, clockText(firstMs));
    p.drawText(timeAxis, Qt::AlignRight | Qt::AlignVCenter, clockText(firstMs + spanMs));

    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(area.adjusted(0, -1, 1, 1));
    const QList<quint16> registers = model_.registers();
    for (qsizetype r = 0; r < registers.size(); ++r) {
        ColumnPath curve;
        for (const TrendPoll& poll : polls) {
            const int index = poll.values.isEmpty() ? -1 : registers[r] - poll.firstRegister;
            if (index < 0 || index >= poll.values.size())
                curve.gap(); // a timeout or a reply without this register
            else
                curve.add(QPointF(x(poll.atMs), yValue(poll.values[index])));
        }
        // One pixel wide: a wider pen is stroked as a polygon, 25 ms for 2,000 polls, and at
        // 10 ms a paint that long costs the poller its periods.
        p.setPen(QPen(CurveColors[r % CurveColors.size()], 1));
        p.drawPath(curve.finish());
    }
    ColumnPath replies;
    for (const TrendPoll& poll : polls) {
        if (poll.replyMs < 0)
            replies.gap();
        else
            replies.add(QPointF(x(poll.atMs), yReply(poll.replyMs)));
    }
    p.setPen(QPen(ReplyColor, 1, Qt::DashLine));
    p.drawPath(replies.finish());

    // Timeouts and exceptions stand on the time axis.
    p.setClipping(false);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const TrendPoll& poll : polls) {
        if (poll.outcome == TrendPoll::Outcome::Reply)
            continue;
        const bool timeout = poll.outcome == TrendPoll::Outcome::Timeout;
        p.setPen(QPen(timeout ? TimeoutColor : ExceptionColor, 2));
        const int at = int(x(poll.atMs));
        p.drawLine(at, area.bottom() + 2, at, area.bottom() + 11);
    }

    // The legend across the top.
    int left = Left;
    auto entry = [&](const QColor& color, const QString& text, Qt::PenStyle style) {
        p.setPen(QPen(color, 2, style));
        p.drawLine(left, Top / 2, left + 16, Top / 2);
        p.setPen(Qt::black);
        const int textWidth = p.fontMetrics().horizontalAdvance(text);
        p.drawText(left + 20, 0, textWidth + 4, Top, Qt::AlignVCenter, text);
        left += 20 + textWidth + 14;
    };
    for (qsizetype r = 0; r < registers.size() && r < LegendEntries; ++r)
        entry(CurveColors[r % CurveColors.size()], tr("reg %1").arg(registers[r]), Qt::SolidLine);
    entry(ReplyColor, tr("reply time"), Qt::DashLine);
    entry(TimeoutColor, tr("timeout"), Qt::SolidLine);
    entry(ExceptionColor, tr("exception"), Qt::SolidLine);
}
