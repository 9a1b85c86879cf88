#include "gui/widgets/CColorButton.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using omnar::gui::widgets::CColorButton;

namespace {

// Colours no other part of the drawing uses, so every pixel tells its origin.
const QColor kFill(0, 255, 0);
const QColor kCaption(255, 0, 0);
const QColor kDisabledFill(40, 40, 200);
const QColor kHighlight(230, 200, 10);
const QColor kLight(200, 120, 30);
const QColor kShadow(90, 60, 160);
const QColor kDarkShadow(20, 90, 40);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGrey(0x80, 0x80, 0x80);

constexpr int kW = 96;
constexpr int kH = 48;

void configure(CColorButton& b, const QString& caption)
{
    b.setText(caption);
    b.setFixedSize(kW, kH);
    QFont f = b.font();
    f.setPixelSize(14);
    f.setStyleStrategy(QFont::NoAntialias); // caption pixels in exactly their colour
    b.setFont(f);
    b.setColours(kCaption, kFill);
    b.setDisabledBackgroundColour(kDisabledFill);
    b.setBevelColours(kHighlight, kLight, kShadow, kDarkShadow);
}

QImage shot(CColorButton& b)
{
    return b.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor at(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// Bounding box of the pixels in colour c.
QRect inkBox(const QImage& img, const QColor& c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Runs of rows that hold pixels in colour c: one per caption line.
int inkBands(const QImage& img, const QColor& c)
{
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < img.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < img.width() && !ink; ++x)
            ink = at(img, x, y) == c;
        if (ink && !inBand)
            ++bands;
        inBand = ink;
    }
    return bands;
}

} // namespace

class ColourButtonTest : public QObject {
    Q_OBJECT

private slots:
    void raisedBevelAroundTheFill();
    void pressedIsSunkenWithTheCaptionDownRight();
    void disabledCaptionIsEmbossed();
    void focusedOrDefaultGetsABlackOutline();
    void multiLineCaptionIsACentredBlock();
    void alignmentBitsPlaceTheCaption();
    void colourStepAndAccessibility();
};

void ColourButtonTest::raisedBevelAroundTheFill()
{
    CColorButton b;
    configure(b, QStringLiteral("000"));
    const QImage img = shot(b);
    QCOMPARE(at(img, kW / 2, 0), kHighlight);
    QCOMPARE(at(img, 0, kH / 2), kHighlight);
    QCOMPARE(at(img, kW / 2, kH - 1), kDarkShadow);
    QCOMPARE(at(img, kW - 1, kH / 2), kDarkShadow);
    QCOMPARE(at(img, kW / 2, 1), kLight);
    QCOMPARE(at(img, 1, kH / 2), kLight);
    QCOMPARE(at(img, kW / 2, kH - 2), kShadow);
    QCOMPARE(at(img, kW - 2, kH / 2), kShadow);
    QCOMPARE(at(img, 2, 2), kFill);
    QCOMPARE(at(img, kW - 3, kH - 3), kFill);
    QVERIFY(!inkBox(img, kCaption).isEmpty());
    // no outline, no focus frame
    QCOMPARE(inkBox(img, kBlack), QRect());
}

void ColourButtonTest::pressedIsSunkenWithTheCaptionDownRight()
{
    CColorButton b;
    configure(b, QStringLiteral("005"));
    const QRect released = inkBox(shot(b), kCaption);

    b.setDown(true);
    const QImage img = shot(b);
    for (const QPoint p : {QPoint(kW / 2, 0), QPoint(0, kH / 2), QPoint(kW / 2, kH - 1), QPoint(kW - 1, kH / 2)})
        QCOMPARE(at(img, p.x(), p.y()), kDarkShadow);
    for (const QPoint p : {QPoint(kW / 2, 1), QPoint(1, kH / 2), QPoint(kW / 2, kH - 2), QPoint(kW - 2, kH / 2)})
        QCOMPARE(at(img, p.x(), p.y()), kShadow);

    const QRect pressed = inkBox(img, kCaption);
    QCOMPARE(pressed.size(), released.size());
    QCOMPARE(pressed.topLeft() - released.topLeft(), QPoint(2, 2));
}

void ColourButtonTest::disabledCaptionIsEmbossed()
{
    CColorButton b;
    configure(b, QStringLiteral("047"));
    const QRect enabled = inkBox(shot(b), kCaption);
    b.setEnabled(false);
    const QImage img = shot(b);
    QCOMPARE(at(img, 3, 3), kDisabledFill);
    // the caption colour is not used when disabled
    QCOMPARE(inkBox(img, kCaption), QRect());

    const QRect grey = inkBox(img, kGrey);
    const QRect white = inkBox(img, kWhite);
    QVERIFY(!grey.isEmpty() && !white.isEmpty());
    // grey where an enabled caption sits
    QCOMPARE(grey.bottomRight(), enabled.bottomRight());
    // white shows down-right of it
    QCOMPARE(white.bottomRight() - grey.bottomRight(), QPoint(2, 2));
}

void ColourButtonTest::focusedOrDefaultGetsABlackOutline()
{
    QWidget window;
    auto* b = new CColorButton(&window);
    configure(*b, QStringLiteral("001"));
    auto* other = new QPushButton(QStringLiteral("x"), &window);
    other->move(0, kH + 4);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    QVERIFY(b->hasFocus());

    QImage img = shot(*b);
    for (const QPoint p : {QPoint(kW / 2, 0), QPoint(0, kH / 2), QPoint(kW / 2, kH - 1), QPoint(kW - 1, kH / 2)})
        QCOMPARE(at(img, p.x(), p.y()), kBlack);
    // The raised bevel moves one pixel in.
    QCOMPARE(at(img, kW / 2, 1), kHighlight);
    QCOMPARE(at(img, kW / 2, 2), kLight);
    QCOMPARE(at(img, kW / 2, kH - 2), kDarkShadow);
    QCOMPARE(at(img, kW - 3, kH / 2), kShadow);
    // The dotted focus frame, four pixels in.
    QCOMPARE(at(img, 4, 4), kBlack);
    QCOMPARE(at(img, 5, 4), kFill);
    QCOMPARE(at(img, 6, 4), kBlack);
    QCOMPARE(at(img, 4, 6), kBlack);

    other->setFocus();
    b->setDefault(true);
    img = shot(*b);
    QCOMPARE(at(img, kW / 2, 0), kBlack);
    // the default button has no focus frame
    QCOMPARE(at(img, 4, 4), kFill);
}

void ColourButtonTest::multiLineCaptionIsACentredBlock()
{
    CColorButton b;
    configure(b, QStringLiteral("AB\nCD"));
    QCOMPARE(inkBands(shot(b), kCaption), 1);

    b.setMultiLine(true);
    const QImage img = shot(b);
    QCOMPARE(inkBands(img, kCaption), 2);
    const QRect block = inkBox(img, kCaption);
    const int lineHeight = QFontMetrics(b.font()).height();
    QVERIFY2(qAbs(block.top() - (kH - 1 - block.bottom())) <= lineHeight / 2, "vertically centred as a block");
    QVERIFY2(qAbs(block.left() - (kW - 1 - block.right())) <= 6, "horizontally centred");
}

void ColourButtonTest::alignmentBitsPlaceTheCaption()
{
    CColorButton b;
    configure(b, QStringLiteral("8"));
    const QRect centred = inkBox(shot(b), kCaption);

    b.setCaptionAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QRect topLeft = inkBox(shot(b), kCaption);
    QVERIFY(topLeft.left() < centred.left());
    QVERIFY(topLeft.left() <= 6);
    QVERIFY(topLeft.top() < centred.top());

    b.setCaptionAlignment(Qt::AlignRight | Qt::AlignBottom);
    const QRect bottomRight = inkBox(shot(b), kCaption);
    QVERIFY(bottomRight.right() > centred.right());
    QVERIFY(bottomRight.right() >= kW - 8);
    QVERIFY(bottomRight.bottom() > centred.bottom());

    // Both bits of a direction centre in it.
    b.setCaptionAlignment(Qt::AlignLeft | Qt::AlignRight | Qt::AlignTop | Qt::AlignBottom);
    QCOMPARE(inkBox(shot(b), kCaption).left(), centred.left());
}

void ColourButtonTest::colourStepAndAccessibility()
{
    CColorButton b;
    configure(b, QStringLiteral("003"));
    b.setColours(Qt::white, QColor(169, 169, 169));
    QCOMPARE(b.textColour(), QColor(Qt::white));
    const QImage img = shot(b);
    QCOMPARE(at(img, 3, 3), QColor(169, 169, 169));
    QVERIFY(!inkBox(img, kWhite).isEmpty());

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&b);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("003"));
    QSignalSpy clicked(&b, &QPushButton::clicked);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(clicked.count(), 1); // an animated click
}

QTEST_MAIN(ColourButtonTest)
#include "colour_button_test.moc"
