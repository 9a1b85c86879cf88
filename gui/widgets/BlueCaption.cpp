#include "gui/widgets/BlueCaption.h"

#include <QApplication>
#include <QGroupBox>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionGroupBox>

namespace omnar::gui::widgets {

namespace {

const char* const kBlueCaptionProperty = "omnarBlueTitle";

class BlueTitleStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        if (control == CC_GroupBox && widget && widget->property(kBlueCaptionProperty).toBool()) {
            if (const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option)) {
                QStyleOptionGroupBox blue(*box);
                blue.textColor = kCaptionBlue;
                blue.palette.setColor(QPalette::WindowText, kCaptionBlue);
                QProxyStyle::drawComplexControl(control, &blue, painter, widget);
                return;
            }
        }
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
};

// One instance for the application's life: widgets must never outlive their style.
QStyle* blueTitleStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new BlueTitleStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

} // namespace

void markBlueCaption(QWidget* widget)
{
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        box->setProperty(kBlueCaptionProperty, true);
        box->setStyle(blueTitleStyle());
        return;
    }
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, kCaptionBlue);
    widget->setPalette(p);
}

} // namespace omnar::gui::widgets
