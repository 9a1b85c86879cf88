// The Fast Mosaic window's controls: the fixed ones at their places in the
// 660 × 620 window a 1 × 1 wall needs, and the screen cells the core lays out.

#include "core/mosaic/MosaicGrid.h"
#include "core/mosaic/MosaicIds.h"
#include "core/setup/Resolution.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "gui/mosaic/MosaicWidgets.h"
#include "gui/widgets/ButtonActivation.h"
#include "gui/widgets/CColorButton.h"
#include "gui/widgets/CSpinButton.h"
#include "gui/widgets/ControlSet.h"
#include "gui/widgets/QtText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStringList>

#include <cmath>

namespace omnar::gui::mosaic {

using namespace omnar::mosaic;
using namespace omnar::mosaic::ids;

namespace {

// The families the cells ask for, best first: the one the operators know,
// then CJK families a Linux desktop is likely to have. Qt falls back to its
// default font when none is there.
const QStringList& cellFamilies()
{
    static const QStringList families{qs(kCellFontFamily), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                      QStringLiteral("Droid Sans Fallback")};
    return families;
}

// Where each quantity's row sits in its group, and its label.
struct QuantityRow {
    Quantity quantity;
    int inputLabel;
    int outputLabel;
};
constexpr QuantityRow kRows[] = {
    {Quantity::Width, IDC_INPUT_WIDTH_LABEL, IDC_OUTPUT_WIDTH_LABEL},
    {Quantity::Height, IDC_INPUT_HEIGHT_LABEL, IDC_OUTPUT_HEIGHT_LABEL},
    {Quantity::HorizontalStart, IDC_INPUT_HSTART_LABEL, IDC_OUTPUT_HSTART_LABEL},
    {Quantity::VerticalStart, IDC_INPUT_VSTART_LABEL, IDC_OUTPUT_VSTART_LABEL},
};

constexpr int kAddressRadioIds[] = {IDC_ADDRESS_1, IDC_ADDRESS_2, IDC_ADDRESS_3, IDC_ADDRESS_4, IDC_ADDRESS_5,
                                    IDC_ADDRESS_6, IDC_ADDRESS_7, IDC_ADDRESS_8, IDC_ADDRESS_9};

QGroupBox* group()
{
    return new QGroupBox;
}

QLabel* label(Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel;
    l->setAlignment(align);
    return l;
}

// A value field: never typed into, readable (and selectable) all the same.
QLineEdit* valueField()
{
    auto* e = new QLineEdit;
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return e;
}

} // namespace

QFont dialogFont()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(12);
    return f;
}

int pointsToPixels(int points)
{
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont cellFont(int pixelSize)
{
    QFont f = dialogFont();
    f.setFamilies(cellFamilies());
    f.setPixelSize(pixelSize);
    return f;
}

QWidget* CSimpleMosaic::addControl(int id, QWidget* widget, const QRect& rect)
{
    widget->setParent(m_client);
    widget->setObjectName(qs(controlName(id)));
    widget->setGeometry(rect);
    m_controls.insert(id, widget);
    return widget;
}

void CSimpleMosaic::buildControls()
{
    // Groups come first so the controls inside them lie above them.
    addControl(IDC_SPEC_GROUP, group(), {10, 4, 640, 80});
    addControl(IDC_EFFECTS_FRAME, group(), {10, 90, 640, 184});
    addControl(IDC_ADDRESS_GROUP, group(), {10, 280, 236, 112});
    addControl(IDC_MOSAIC_GROUP, group(), {254, 280, 396, 112});
    addControl(IDC_RESOLUTION_GROUP, group(), {262, 296, 240, 44});
    addControl(IDC_MODE_GROUP, group(), {262, 342, 240, 44});
    addControl(IDC_INPUT_GROUP, group(), {10, 398, 316, 182});
    addControl(IDC_OUTPUT_GROUP, group(), {334, 398, 316, 182});

    // Each family of radios is exclusive on its own, though all share a parent.
    auto* presets = new QButtonGroup(this);
    auto* addressRadios = new QButtonGroup(this);
    auto* modes = new QButtonGroup(this);

    // The wall size group: twelve presets in two rows, the typed rows × columns.
    for (std::size_t i = 0; i < kPresets.size(); ++i) {
        auto* radio = new QRadioButton;
        presets->addButton(radio);
        const int column = static_cast<int>(i % 6), row = static_cast<int>(i / 6);
        addControl(kPresets[i].id, radio, {22 + column * 62, 24 + row * 28, 58, 20});
        widgets::setControlText(radio, qs(kPresets[i].caption));
        const int presetId = kPresets[i].id;
        m_activation->onActivated(radio, [this, presetId] { onPreset(presetId); });
    }
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (const auto& [labelId, editId, x] : {std::tuple{IDC_ROWS_LABEL, IDC_ROWS, 410},
                                             std::tuple{IDC_COLUMNS_LABEL, IDC_COLUMNS, 480}}) {
        auto* l = static_cast<QLabel*>(addControl(labelId, label(), {x, 22, 60, 16}));
        auto* e = new QLineEdit;
        e->setValidator(digits);
        addControl(editId, e, {x, 42, 60, 24});
        l->setBuddy(e);
    }
    auto* ok = new QPushButton;
    addControl(IDC_SPEC_OK, ok, {555, 41, 85, 26});
    connect(ok, &QPushButton::clicked, this, &CSimpleMosaic::onSpecificationOk);

    // Device address: radios 1..9, the list 1..255, Connect.
    for (int i = 0; i < 9; ++i) {
        auto* radio = new QRadioButton;
        addressRadios->addButton(radio);
        addControl(kAddressRadioIds[i], radio, {22 + (i % 3) * 38, 300 + (i / 3) * 28, 36, 20});
        widgets::setControlText(radio, QString::number(i + 1));
        const int radioId = kAddressRadioIds[i];
        m_activation->onActivated(radio, [this, radioId] { onAddressRadio(radioId); });
    }
    auto* addresses = new QComboBox;
    for (int a = 1; a <= 255; ++a)
        addresses->addItem(QString::number(a));
    addresses->setMaxVisibleItems(16);
    addControl(IDC_ADDRESS_LIST, addresses, {140, 300, 96, 24});
    // Only the operator's choice counts; the program's selection sends nothing.
    connect(addresses, &QComboBox::activated, this, &CSimpleMosaic::onAddressList);
    auto* connectButton = new QPushButton;
    addControl(IDC_CONNECT, connectButton, {140, 346, 96, 28});
    connect(connectButton, &QPushButton::clicked, this, &CSimpleMosaic::onConnect);

    // Mosaic area: the device's resolution (display only), the mode, Auto
    // Calculate and Detect.
    auto* resolutions = new QComboBox;
    for (int index = 0; index <= setup::kCustomResolutionIndex; ++index)
        resolutions->addItem(qs(setup::resolutionName(index)));
    resolutions->setCurrentIndex(-1);
    resolutions->setEnabled(false);
    addControl(IDC_RESOLUTION_LIST, resolutions, {270, 314, 224, 22});
    for (const auto& [id, x, w, sync] : {std::tuple{IDC_NO_SYNC, 270, 118, false}, std::tuple{IDC_SYNC, 392, 104, true}}) {
        auto* radio = new QRadioButton;
        modes->addButton(radio);
        addControl(id, radio, {x, 360, w, 20});
        const bool s = sync;
        m_activation->onActivated(radio, [this, s] { onMode(s); });
    }
    auto* autoCalculate = new QPushButton;
    addControl(IDC_AUTO_CALCULATE, autoCalculate, {512, 302, 128, 28});
    connect(autoCalculate, &QPushButton::clicked, this, &CSimpleMosaic::onAutoCalculate);
    auto* detect = new QPushButton;
    addControl(IDC_DETECT, detect, {512, 350, 128, 28});
    connect(detect, &QPushButton::clicked, this, &CSimpleMosaic::onDetect);

    // Input and output windows: a row per quantity with its Calculated and
    // Adjusted fields, the Adjusted one with its spin arrows; Set below.
    for (Group g : {Group::Input, Group::Output}) {
        const bool input = g == Group::Input;
        const int gx = input ? 10 : 334;
        addControl(input ? IDC_INPUT_CALCULATED_LABEL : IDC_OUTPUT_CALCULATED_LABEL, label(Qt::AlignCenter),
                   {gx + 116, 416, 80, 16});
        addControl(input ? IDC_INPUT_ADJUSTED_LABEL : IDC_OUTPUT_ADJUSTED_LABEL, label(Qt::AlignCenter),
                   {gx + 206, 416, 90, 16});
        for (int i = 0; i < 4; ++i) {
            const QuantityRow& row = kRows[i];
            const int y = 436 + i * 28;
            auto* l = static_cast<QLabel*>(addControl(input ? row.inputLabel : row.outputLabel, label(), {gx + 8, y, 106, 22}));
            auto* calculated = valueField();
            addControl(valueFieldId(g, row.quantity, Column::Calculated), calculated, {gx + 116, y, 80, 22});
            l->setBuddy(calculated);
            addControl(valueFieldId(g, row.quantity, Column::Adjusted), valueField(), {gx + 206, y, 70, 22});
            auto* spin = new widgets::CSpinButton;
            const int spinControl = spinId(g, row.quantity);
            addControl(spinControl, spin, {gx + 276, y, 18, 22});
            connect(spin, &widgets::CSpinButton::stepped, this,
                    [this, spinControl](int delta) { onSpin(spinControl, delta); });
        }
        auto* set = new QPushButton;
        addControl(input ? IDC_SET_INPUT : IDC_SET_OUTPUT, set, {gx + 206, 548, 88, 26});
        connect(set, &QPushButton::clicked, this, [this, g] { onSet(g); });
    }

    // Exit stays usable while the device works: closing is how the operator
    // ends a wait.
    auto* exitButton = new QPushButton(this);
    exitButton->setObjectName(qs(controlName(IDC_EXIT)));
    exitButton->setGeometry(560, 586, 90, 28);
    exitButton->setDefault(true);
    m_controls.insert(IDC_EXIT, exitButton);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CSimpleMosaic::destroyGrid()
{
    for (QWidget* w : m_cellWidgets) {
        m_controls.remove(m_controls.key(w));
        delete w;
    }
    m_cellWidgets.clear();
}

void CSimpleMosaic::buildGrid(const GridLayout& grid)
{
    destroyGrid();
    applyGeometry(grid.geometry);
    const QFont buttonFont = cellFont(pointsToPixels(kWindowButtonFontPoints));
    const QFont labelFont = cellFont(pointsToPixels(kCellLabelFontPoints));
    for (const CellLayout& cell : grid.cells) {
        QWidget* button = nullptr;
        for (const CellControl& c : cell.controls) {
            const QRect rect(c.rect.left, c.rect.top, c.rect.width(), c.rect.height());
            QWidget* w = nullptr;
            switch (c.kind) {
            case CellControlKind::WindowButton: {
                auto* b = new widgets::CColorButton;
                b->setFont(buttonFont);
                const int window = cell.window;
                connect(b, &QPushButton::clicked, this, [this, window] { onWindowButton(window); });
                w = button = b;
                break;
            }
            case CellControlKind::CellFrame:
                w = new QGroupBox;
                break;
            case CellControlKind::HeightEdit:
            case CellControlKind::WidthEdit: {
                auto* e = new QLineEdit;
                e->setTextMargins(0, 0, 0, 0);
                w = e;
                break;
            }
            case CellControlKind::HeightLabel:
            case CellControlKind::WidthLabel: {
                const Qt::Alignment h = c.align == TextAlign::Centre  ? Qt::AlignHCenter
                                        : c.align == TextAlign::Right ? Qt::AlignRight
                                                                      : Qt::AlignLeft;
                auto* l = label(h | Qt::AlignVCenter);
                l->setFont(labelFont);
                w = l;
                break;
            }
            }
            addControl(c.id, w, rect);
            widgets::setControlText(w, qs(c.text));
            m_cellWidgets.push_back(w);
        }
        // The frame covers the whole cell: below the others, so clicks reach them.
        QWidget* frame = control(IDC_CELL_FRAME_BASE + cell.window);
        frame->setAccessibleName(qs(kCellFrameName.in(m_state.chinese)) + QLatin1Char(' ') +
                                 qs(windowButtonCaption(cell.window)));
        if (button)
            frame->stackUnder(button);
        static_cast<QLabel*>(control(IDC_WIDTH_LABEL_BASE + cell.window))
            ->setBuddy(control(IDC_WIDTH_EDIT_BASE + cell.window));
        static_cast<QLabel*>(control(IDC_HEIGHT_LABEL_BASE + cell.window))
            ->setBuddy(control(IDC_HEIGHT_EDIT_BASE + cell.window));
    }
    // The keyboard reaches the cells right after the wall size, as the
    // eye does, each cell's width, height, then its window button.
    QWidget* previous = control(IDC_SPEC_OK);
    for (const CellLayout& cell : grid.cells)
        for (int id : {IDC_WIDTH_EDIT_BASE, IDC_HEIGHT_EDIT_BASE, IDC_WINDOW_BUTTON_BASE}) {
            QWidget* next = control(id + cell.window);
            QWidget::setTabOrder(previous, next);
            previous = next;
        }
    for (QWidget* w : m_cellWidgets)
        w->show();
    updateEditNames();
}

void CSimpleMosaic::updateEditNames()
{
    // An edit is named by the label beside it (its buddy); a row's two value
    // fields add their column's header, a cell's edits the window number.
    for (QLabel* l : m_client->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        QWidget* buddy = l->buddy();
        if (!buddy)
            continue;
        const int id = m_controls.key(buddy, 0);
        QString name = l->text().trimmed();
        if (valueFieldOf(id)) {
            const bool input = valueFieldOf(id)->group == Group::Input;
            const auto header = [&](int headerId) { return widgets::controlText(control(headerId)).trimmed(); };
            const QString calculated = header(input ? IDC_INPUT_CALCULATED_LABEL : IDC_OUTPUT_CALCULATED_LABEL);
            const QString adjusted = header(input ? IDC_INPUT_ADJUSTED_LABEL : IDC_OUTPUT_ADJUSTED_LABEL);
            buddy->setAccessibleName(name + QLatin1Char(' ') + calculated);
            const Quantity q = valueFieldOf(id)->quantity;
            const Group g = valueFieldOf(id)->group;
            control(valueFieldId(g, q, Column::Adjusted))->setAccessibleName(name + QLatin1Char(' ') + adjusted);
            control(spinId(g, q))->setAccessibleName(name + QLatin1Char(' ') + adjusted);
            continue;
        }
        if (id >= IDC_HEIGHT_EDIT_BASE && id < IDC_WIDTH_EDIT_BASE + kCellIdRange)
            name += QLatin1Char(' ') + qs(windowButtonCaption(id % kCellIdRange));
        buddy->setAccessibleName(name);
    }
    if (QWidget* list = control(IDC_ADDRESS_LIST))
        list->setAccessibleName(qs(kAddressListName.in(m_state.chinese)));
    if (QWidget* list = control(IDC_RESOLUTION_LIST))
        list->setAccessibleName(widgets::controlText(control(IDC_RESOLUTION_GROUP)));
}

} // namespace omnar::gui::mosaic
