#include "form/FormStyle.h"

#include "form/Twips.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// Twips. The layout gives a check box or option button a 225-twip box and sets fields and
// captions right against it; the style's own indicator, centred, reaches into them.
constexpr int IndicatorSide = 180;
// A frame's title stands this far in from the corner, and the border stops this short of it.
constexpr int TitleIndent = 90;
constexpr int TitleGap = 30;

class FormStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return Twips::toPixels(IndicatorSide);
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    // The window's boxes have no caption of their own: the indicator is all they show.
    QRect subElementRect(SubElement element, const QStyleOption* option,
                         const QWidget* widget) const override {
        const int side = Twips::toPixels(IndicatorSide);
        switch (element) {
        case SE_CheckBoxIndicator:
        case SE_RadioButtonIndicator:
            return QRect(option->rect.topLeft(), QSize(side, side));
        case SE_CheckBoxFocusRect:
        case SE_RadioButtonFocusRect:
            return QRect(option->rect.topLeft(), QSize(side, side)).adjusted(1, 1, -1, -1);
        case SE_CheckBoxClickRect:
        case SE_RadioButtonClickRect:
            return option->rect;
        default:
            return QProxyStyle::subElementRect(element, option, widget);
        }
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        const bool radio = element == CE_RadioButton;
        if (!button || (element != CE_CheckBox && !radio))
            return QProxyStyle::drawControl(element, option, painter, widget);
        // Drawn here: the base style would centre the indicator whatever this style says.
        QStyleOptionButton indicator(*button);
        indicator.rect =
            subElementRect(radio ? SE_RadioButtonIndicator : SE_CheckBoxIndicator, option, widget);
        proxy()->drawPrimitive(radio ? PE_IndicatorRadioButton : PE_IndicatorCheckBox, &indicator,
                               painter, widget);
        if (option->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*option);
            focus.rect = subElementRect(radio ? SE_RadioButtonFocusRect : SE_CheckBoxFocusRect,
                                        option, widget);
            proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
        }
    }

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override {
        QRect r = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control == CC_GroupBox && sub == SC_GroupBoxLabel) {
            const int indent = Twips::toPixels(TitleIndent);
            r.translate(option->direction == Qt::RightToLeft ? -indent : indent, 0);
        }
        return r;
    }

    // The layout sets controls just below a frame's title, where the base style would run the
    // border; the border runs through the middle of the title instead.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
        if (control != CC_GroupBox || !box)
            return QProxyStyle::drawComplexControl(control, option, painter, widget);
        const QRect title = subControlRect(CC_GroupBox, box, SC_GroupBoxLabel, widget);
        const bool titled = !box->text.isEmpty();
        const int line = titled ? title.center().y() : 0;
        QRegion border(box->rect);
        if (titled) {
            const int gap = Twips::toPixels(TitleGap);
            border -= title.adjusted(-gap, 0, gap, 0);
        }
        // A control set on the border itself, as an enable box beside a title, interrupts it
        // as the title does.
        if (widget) {
            for (const QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!child->isHidden() && child->y() <= line)
                    border -= child->geometry();
        }
        if (box->subControls & SC_GroupBoxFrame) {
            painter->save();
            painter->setClipRegion(border, Qt::IntersectClip);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QPen(box->palette.color(QPalette::Window).darker(112), 1));
            painter->setBrush(Qt::NoBrush);
            painter->drawRoundedRect(QRectF(box->rect).adjusted(0.5, line + 0.5, -0.5, -0.5), 2, 2);
            painter->restore();
        }
        QStyleOptionGroupBox label(*box);
        label.subControls = box->subControls & SC_GroupBoxLabel;
        QProxyStyle::drawComplexControl(CC_GroupBox, &label, painter, widget);
    }
};

} // namespace

QStyle* formStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new FormStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}
